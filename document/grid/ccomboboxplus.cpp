#include "document/grid/ccomboboxplus.h"

#include "data/cappdatafile.h"
#include "document/session/cmainframebase.h"
#include "data/constants.h"
#include "data/textutil.h"
#include "document/grid/caddnewdatatype.h"
#include "document/grid/celleditorowner.h"
#include "platform/messagebox.h"
#include "platform/widgets/modaldialog.h"
#include "platform/utf16.h"

#include <QKeyEvent>

namespace {

constexpr wchar_t kTypeExistsText[] = L"Type already exists.";

std::wstring Upper(std::wstring text)
{
    StringToUpper(text);
    return text;
}

bool IsBlank(const std::wstring& text) { return text.find_first_not_of(L' ') == std::wstring::npos; }

} // namespace

int FindCellEntry(const std::vector<std::wstring>& entries, const std::wstring& text)
{
    const int count = static_cast<int>(entries.size());
    if (text.empty()) {
        for (int index = 0; index < count; ++index)
            if (IsBlank(entries[static_cast<size_t>(index)]))
                return index;
        return -1;
    }
    const std::wstring prefix = Upper(text);
    for (int step = 1; step <= count; ++step) {
        const int index = step % count;
        if (Upper(entries[static_cast<size_t>(index)]).starts_with(prefix))
            return index;
    }
    return -1;
}

CComboBoxPlus::CComboBoxPlus(CellEditorOwner* owner, QWidget* parent)
    : QComboBox(parent)
    , m_pOwner(owner)
{
    // Only a choice of the user: a selection made by the program never opens the dialog.
    connect(this, &QComboBox::activated, this, &CComboBoxPlus::OnSelChange);
}

void CComboBoxPlus::SelectCellText(const std::wstring& text)
{
    std::vector<std::wstring> entries;
    entries.reserve(static_cast<size_t>(count()));
    for (int index = 0; index < count(); ++index)
        entries.push_back(platform::FromQString(itemText(index)));
    setCurrentIndex(FindCellEntry(entries, text));
    m_bUserChoice = false;
}

bool CComboBoxPlus::event(QEvent* event)
{
    // Tab and Shift+Tab move between cells.
    if (QKeyEvent* key = CellTabKey(event)) {
        keyPressEvent(key);
        return true;
    }
    return QComboBox::event(event);
}

void CComboBoxPlus::keyPressEvent(QKeyEvent* event)
{
    // The keys of the open list go to the list; these are the keys of the closed box, whose
    // arrows never change the selection. Alt+Down opens the list as usual.
    switch (CellNavigationCode(*event)) {
    case 0: QComboBox::keyPressEvent(event); return;
    case 1:
        m_pOwner->m_bShiftTabLeftPending = false;
        platform::SendMessage(m_pOwner, UM_CELL_LEFT, 0, 0);
        break;
    case 2:
        m_pOwner->m_bTabRightPending = false;
        platform::SendMessage(m_pOwner, UM_CELL_RIGHT, 0, 0);
        break;
    case 3: platform::SendMessage(m_pOwner, UM_CELL_UP, 0, 0); break;
    default: platform::SendMessage(m_pOwner, UM_CELL_DOWN, 0, 0); break;
    }
    event->accept();
}

void CComboBoxPlus::OnSelChange(int index)
{
    if (index < 0)
        return;
    m_bUserChoice = true;
    if (platform::FromQString(itemText(index)) != STR_NEW_TYPE_ENTRY)
        return;

    CAddNewDataType dialog;
    if (platform::RunModal(dialog) != QDialog::Accepted) {
        setCurrentIndex(0);
        return;
    }
    const std::wstring& name = dialog.m_strTypeName;
    if (name.empty())
        return; // the selection stays on "New Type..."
    const std::wstring upperName = Upper(name);
    for (int entry = 0; entry < count(); ++entry) {
        if (Upper(platform::FromQString(itemText(entry))) == upperName) {
            platform::MessageBox(this, kTypeExistsText, STR_PRODUCT_NAME, platform::MB_OK);
            setCurrentIndex(0);
            return;
        }
    }
    addItem(platform::ToQString(name));
    setCurrentIndex(count() - 1);
    if (CAppDataFile* store = MainAppDataFile())
        store->AddTextValue(NODE_DB_DATA_TYPES, name);
}
