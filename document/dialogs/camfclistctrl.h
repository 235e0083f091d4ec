#pragma once
// The list of the related-records dialogs: a report list whose rows can be drawn in
// alternating colours.
#include <QColor>
#include <QTreeWidget>

class CAMFCListCtrl : public QTreeWidget {
    Q_OBJECT
public:
    explicit CAMFCListCtrl(QWidget* parent = nullptr);

    // Appends a left-aligned column of the given width in pixels.
    void AddColumn(const QString& title, int width);

    // The colours a row's cells are drawn with: striped while m_bColor is set, else the
    // list's own text and background colours.
    QColor OnGetCellTextColor(int row) const;
    QColor OnGetCellBkColor(int row) const;

    // Striped cell colours; the related-records lists draw stripes.
    bool m_bColor = true;
};
