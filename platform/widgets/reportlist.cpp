#include "platform/widgets/reportlist.h"

#include "platform/utf16.h"
#include "platform/widgets/plaintext.h"

#include <QHeaderView>

namespace platform {

ReportList::ReportList(QWidget* parent)
    : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(true);
}

void ReportList::SetColumn(const QString& title)
{
    setColumnCount(1);
    setHeaderLabels({title});
    headerItem()->setTextAlignment(0, Qt::AlignLeft | Qt::AlignVCenter);
}

void ReportList::AddRow(const std::wstring& text)
{
    auto* item = new QTreeWidgetItem(QStringList{ToQString(text)});
    item->setToolTip(0, PlainToolTip(item->text(0)));
    if (m_bCheckBoxes)
        item->setCheckState(0, Qt::Unchecked);
    addTopLevelItem(item);
}

std::wstring ReportList::RowText(int row) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? FromQString(item->text(0)) : std::wstring();
}

bool ReportList::IsChecked(int row) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    return item && item->checkState(0) == Qt::Checked;
}

void ReportList::SetChecked(int row, bool checked)
{
    if (QTreeWidgetItem* item = topLevelItem(row))
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

int ReportList::FirstSelectedRow() const
{
    for (int row = 0; row < topLevelItemCount(); ++row)
        if (topLevelItem(row)->isSelected())
            return row;
    return -1;
}

} // namespace platform
