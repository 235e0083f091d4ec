#include "platform/widgets/combobox.h"

#include "platform/names.h"
#include "platform/utf16.h"
#include "platform/widgets/stringlistsearch.h"

namespace platform {

ComboBox::ComboBox(bool sorted, bool editable, QWidget* parent)
    : QComboBox(parent)
    , m_bSorted(sorted)
{
    setEditable(editable);
    if (editable) {
        setInsertPolicy(QComboBox::NoInsert);
        setCompleter(nullptr);
    }
    connect(this, &QComboBox::activated, this, &ComboBox::SelectionChanged);
}

int ComboBox::AddString(const std::wstring& text)
{
    const QString entry = ToQString(text);
    const int index =
        m_bSorted ? SortedInsertIndex(count(), [this](int i) { return itemText(i); }, entry) : count();
    // Adding entries selects none: a drop-down list shows nothing until one is chosen, and
    // an editable box keeps what its edit field held (empty, typed or a value shown).
    const bool noneSelected = currentIndex() < 0;
    const QString editText = isEditable() ? currentText() : QString();
    insertItem(index, entry);
    if (noneSelected) {
        setCurrentIndex(-1);
        if (isEditable())
            setEditText(editText);
    }
    return index;
}

void ComboBox::AddStrings(const std::vector<std::wstring>& texts)
{
    for (const std::wstring& text : texts)
        AddString(text);
}

int ComboBox::SelectString(int startAfter, const std::wstring& text)
{
    const int index = FindEntryPrefix(count(), [this](int i) { return itemText(i); }, startAfter, ToQString(text));
    if (index >= 0)
        setCurrentIndex(index);
    return index;
}

std::wstring ComboBox::GetWindowText() const { return FromQString(currentText()); }

void ComboBox::ShowValue(const std::wstring& value)
{
    if (value.empty())
        return;
    const int index = FindName(count(), [this](int i) { return FromQString(itemText(i)); }, value);
    setCurrentIndex(index);
    if (index < 0 && isEditable())
        setEditText(ToQString(value));
}

} // namespace platform
