#pragma once
// The relationship diagram of the open database: a window per table, laid out as the
// forest of its foreign keys, and a line from the lower right corner of every parent's
// window to the upper left corner of each child's window, drawn from the windows' live
// positions, so the lines follow a dragged, resized or scrolled window. The diagram
// scrolls in steps of 40 pixels across and 30 pixels down; the scroll bars' thumbs move
// the contents too. Each diagram holds its own state; the foreign-key map is only read.
#include "document/pictures/cobjectimagelist.h"
#include "document/diagram/diagramlayout.h"

#include <QAbstractScrollArea>
#include <QLine>

#include <vector>

class CDiagramTableWnd;

inline constexpr int DIAGRAM_HSCROLL_STEP = 40;
inline constexpr int DIAGRAM_VSCROLL_STEP = 30;

class CRelationshipDiagram : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit CRelationshipDiagram(QWidget* parent = nullptr);

    // Lays the map's tables out and makes their windows with the columns read from the
    // open database; the diagram is built once, later calls do nothing.
    void BuildRelationshipDiagram(const ForeignKeyMap& map);

    const DiagramLayout& GetLayout() const { return m_layout; }
    // The table windows in the order they were made.
    const std::vector<CDiagramTableWnd*>& GetWindows() const { return m_arrWindows; }
    // The window of a map entry; null outside the map.
    CDiagramTableWnd* GetWindow(int entry) const;
    // The lines as they are drawn now, in the viewport's pixels.
    std::vector<QLine> DiagramLinks() const;

    // The scroll ranges for a viewport of cx by cy pixels: every part of the layout can
    // be scrolled into view, and a layout that fits has no range.
    void UpdateDiagramScrollRanges(int cx, int cy);
    int GetHScrollPos() const;
    int GetVScrollPos() const;
    int GetHScrollMax() const;
    int GetVScrollMax() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CObjectImageList m_images;
    std::vector<std::vector<int>> m_arrChildren; // by map index, as the map had them
    DiagramLayout m_layout;
    std::vector<CDiagramTableWnd*> m_arrWindows;      // creation order
    std::vector<CDiagramTableWnd*> m_arrEntryWindows; // by map index
    bool m_bBuilt = false;
};
