#pragma once
// One table of the relationship diagram: a small window with the table's name as its
// caption, by which the user drags it, a size grip at its lower right corner, and the
// list of the table's columns: "Name" (a key picture beside a primary-key column),
// "Type" as declared, "Not Null" ("True" or "False") and "Default Value".
#include "data/cadbsqlfieldinfo.h"

#include <QFrame>

#include <vector>

class CObjectImageList;
class QLabel;
class QTreeWidget;

inline constexpr wchar_t STR_DIAGRAM_COL_NAME[] = L"Name";
inline constexpr wchar_t STR_DIAGRAM_COL_TYPE[] = L"Type";
inline constexpr wchar_t STR_DIAGRAM_COL_NOT_NULL[] = L"Not Null";
inline constexpr wchar_t STR_DIAGRAM_COL_DEFAULT[] = L"Default Value";
inline constexpr wchar_t STR_DIAGRAM_TRUE[] = L"True";
inline constexpr wchar_t STR_DIAGRAM_FALSE[] = L"False";

class CDiagramTableWnd : public QFrame {
    Q_OBJECT
public:
    CDiagramTableWnd(const QString& table, const CObjectImageList& images, QWidget* parent);

    // Fills the list with the table's columns; a table whose columns could not be read
    // (an empty list) gets neither columns nor rows.
    void FillDiagramTableWindow(const std::vector<CADbSqlFieldInfo>& fields);

    QString GetTableName() const;
    QTreeWidget* GetList() const { return m_pList; }
    QLabel* GetCaption() const { return m_pCaption; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const CObjectImageList& m_images;
    QLabel* m_pCaption = nullptr;
    QTreeWidget* m_pList = nullptr;
    bool m_bDragging = false;
    QPoint m_dragOffset; // from the window's top left to the pointer, in the parent's pixels
};
