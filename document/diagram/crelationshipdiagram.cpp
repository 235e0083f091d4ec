#include "document/diagram/crelationshipdiagram.h"

#include "document/diagram/cdiagramtablewnd.h"
#include "data/cadbsqlexception.h"
#include "document/session/currentdatabase.h"
#include "platform/utf16.h"

#include <QEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

// Steps needed to bring an extent of `extent` pixels into a view of `view` pixels.
int ScrollMax(int extent, int view, int step) { return extent > view ? (extent - view + step - 1) / step : 0; }

} // namespace

CRelationshipDiagram::CRelationshipDiagram(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    // One step of the bar is one step of the diagram, by line and by page alike.
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setSingleStep(1);
        bar->setPageStep(1);
        bar->setRange(0, 0);
    }
}

void CRelationshipDiagram::BuildRelationshipDiagram(const ForeignKeyMap& map)
{
    if (m_bBuilt)
        return;
    m_bBuilt = true;
    m_layout = LayoutRelationshipDiagram(map);
    m_arrEntryWindows.assign(map.m_arrEntries.size(), nullptr);
    for (const ForeignKeyMapEntry& entry : map.m_arrEntries)
        m_arrChildren.push_back(entry.m_arrChildren);
    for (int index : m_layout.m_arrOrder) {
        const ForeignKeyMapEntry& entry = map.m_arrEntries[static_cast<size_t>(index)];
        auto* window = new CDiagramTableWnd(platform::ToQString(entry.m_strTableName), m_images, viewport());
        window->setGeometry(m_layout.m_arrRects[static_cast<size_t>(index)]);
        std::vector<CADbSqlFieldInfo> fields;
        try {
            GetTableFields(entry.m_strTableName, fields);
        } catch (const CADbSqlException&) {
            // A table whose columns cannot be read shows an empty list.
            fields.clear();
        }
        window->FillDiagramTableWindow(fields);
        window->installEventFilter(this);
        window->show();
        m_arrWindows.push_back(window);
        m_arrEntryWindows[static_cast<size_t>(index)] = window;
    }
    UpdateDiagramScrollRanges(viewport()->width(), viewport()->height());
    viewport()->update();
}

CDiagramTableWnd* CRelationshipDiagram::GetWindow(int entry) const
{
    if (entry < 0 || entry >= static_cast<int>(m_arrEntryWindows.size()))
        return nullptr;
    return m_arrEntryWindows[static_cast<size_t>(entry)];
}

std::vector<QLine> CRelationshipDiagram::DiagramLinks() const
{
    std::vector<QLine> lines;
    for (size_t parent = 0; parent < m_arrChildren.size(); ++parent) {
        const CDiagramTableWnd* from = m_arrEntryWindows[parent];
        if (!from)
            continue;
        const QRect p = from->geometry();
        for (int child : m_arrChildren[parent]) {
            const CDiagramTableWnd* to = GetWindow(child);
            // A table's key to itself has no line to draw.
            if (!to || to == from)
                continue;
            lines.emplace_back(QPoint(p.x() + p.width(), p.y() + p.height()), to->geometry().topLeft());
        }
    }
    return lines;
}

void CRelationshipDiagram::UpdateDiagramScrollRanges(int cx, int cy)
{
    // Shrinking a range moves the position into it, and the contents follow.
    horizontalScrollBar()->setRange(0, ScrollMax(m_layout.m_nMaxRight, cx, DIAGRAM_HSCROLL_STEP));
    verticalScrollBar()->setRange(0, ScrollMax(m_layout.m_nMaxBottom, cy, DIAGRAM_VSCROLL_STEP));
}

int CRelationshipDiagram::GetHScrollPos() const { return horizontalScrollBar()->value(); }
int CRelationshipDiagram::GetVScrollPos() const { return verticalScrollBar()->value(); }
int CRelationshipDiagram::GetHScrollMax() const { return horizontalScrollBar()->maximum(); }
int CRelationshipDiagram::GetVScrollMax() const { return verticalScrollBar()->maximum(); }

void CRelationshipDiagram::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::Text), 1));
    for (const QLine& line : DiagramLinks())
        painter.drawLine(line);
}

void CRelationshipDiagram::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateDiagramScrollRanges(viewport()->width(), viewport()->height());
}

void CRelationshipDiagram::scrollContentsBy(int dx, int dy)
{
    // The windows move with the contents; the lines are drawn anew from them.
    viewport()->scroll(dx * DIAGRAM_HSCROLL_STEP, dy * DIAGRAM_VSCROLL_STEP);
    viewport()->update();
}

bool CRelationshipDiagram::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        viewport()->update();
    return QAbstractScrollArea::eventFilter(watched, event);
}
