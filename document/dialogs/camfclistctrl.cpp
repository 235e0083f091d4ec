#include "document/dialogs/camfclistctrl.h"

#include <QHeaderView>
#include <QStyledItemDelegate>

namespace {

// Draws each cell with the colours its list gives for the cell's row.
class StripeDelegate : public QStyledItemDelegate {
public:
    explicit StripeDelegate(CAMFCListCtrl* list)
        : QStyledItemDelegate(list)
        , m_pList(list)
    {
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->palette.setColor(QPalette::Text, m_pList->OnGetCellTextColor(index.row()));
        option->backgroundBrush = m_pList->OnGetCellBkColor(index.row());
    }

private:
    CAMFCListCtrl* m_pList;
};

} // namespace

CAMFCListCtrl::CAMFCListCtrl(QWidget* parent)
    : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setColumnCount(0);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setItemDelegate(new StripeDelegate(this));
}

void CAMFCListCtrl::AddColumn(const QString& title, int width)
{
    const int column = columnCount();
    setColumnCount(column + 1);
    headerItem()->setText(column, title);
    header()->resizeSection(column, width);
}

QColor CAMFCListCtrl::OnGetCellTextColor(int row) const
{
    if (!m_bColor)
        return palette().color(QPalette::Text);
    return row % 2 == 0 ? QColor(128, 0, 0) : QColor(Qt::black);
}

QColor CAMFCListCtrl::OnGetCellBkColor(int row) const
{
    if (!m_bColor)
        return palette().color(QPalette::Base);
    return row % 2 == 0 ? QColor(253, 241, 249) : QColor(196, 238, 254);
}
