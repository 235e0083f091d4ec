#include "platform/widgets/listbox.h"

#include "platform/utf16.h"
#include "platform/widgets/stringlistsearch.h"

namespace platform {

ListBox::ListBox(bool sorted, QWidget* parent)
    : QListWidget(parent)
    , m_bSorted(sorted)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

int ListBox::AddString(const std::wstring& text)
{
    const QString entry = ToQString(text);
    const int index =
        m_bSorted ? SortedInsertIndex(count(), [this](int i) { return item(i)->text(); }, entry) : count();
    insertItem(index, entry);
    return index;
}

int ListBox::SelectString(int startAfter, const std::wstring& text)
{
    const int index =
        FindEntryPrefix(count(), [this](int i) { return item(i)->text(); }, startAfter, ToQString(text));
    if (index >= 0)
        setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    return index;
}

int ListBox::GetCurSel() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

std::wstring ListBox::GetText(int index) const
{
    const QListWidgetItem* entry = item(index);
    return entry ? FromQString(entry->text()) : std::wstring();
}

} // namespace platform
