#include "document/diagram/cdiagramtablewnd.h"

#include "document/pictures/cobjectimagelist.h"
#include "platform/utf16.h"
#include "platform/widgets/plaintext.h"

#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QSizeGrip>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int kColumnWidths[] = {80, 80, 60, 60};
}

CDiagramTableWnd::CDiagramTableWnd(const QString& table, const CObjectImageList& images, QWidget* parent)
    : QFrame(parent, Qt::SubWindow) // a sub-window, so that the size grip resizes this window
    , m_images(images)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setAutoFillBackground(true);
    setMinimumSize(60, 40);

    // The window is small: caption and list take all of it, the size grip stands below
    // the list's scroll bar, and the further columns show when the user widens the window.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(1, 1, 1, 1);
    column->setSpacing(0);
    column->setSizeConstraint(QLayout::SetNoConstraint);

    m_pCaption = platform::NewLabel(table, this);
    m_pCaption->setAutoFillBackground(true);
    m_pCaption->setBackgroundRole(QPalette::Highlight);
    m_pCaption->setForegroundRole(QPalette::HighlightedText);
    m_pCaption->setContentsMargins(4, 1, 4, 1);
    m_pCaption->setToolTip(platform::PlainToolTip(table));
    // Presses on the caption reach this window, which moves itself.
    m_pCaption->setAttribute(Qt::WA_TransparentForMouseEvents);
    column->addWidget(m_pCaption);

    m_pList = new QTreeWidget(this);
    m_pList->setRootIsDecorated(false);
    m_pList->setUniformRowHeights(true);
    m_pList->setIconSize(QSize(OBJECT_IMAGE_SIZE, OBJECT_IMAGE_SIZE));
    m_pList->setFrameShape(QFrame::NoFrame);
    m_pList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pList->setMinimumSize(1, 1);
    m_pList->setColumnCount(0);
    m_pList->header()->hide();
    column->addWidget(m_pList, 1);

    m_pList->addScrollBarWidget(new QSizeGrip(m_pList), Qt::AlignBottom);
}

QString CDiagramTableWnd::GetTableName() const { return m_pCaption->text(); }

void CDiagramTableWnd::FillDiagramTableWindow(const std::vector<CADbSqlFieldInfo>& fields)
{
    m_pList->clear();
    if (fields.empty())
        return;
    m_pList->setHeaderLabels({platform::ToQString(STR_DIAGRAM_COL_NAME), platform::ToQString(STR_DIAGRAM_COL_TYPE),
                              platform::ToQString(STR_DIAGRAM_COL_NOT_NULL), platform::ToQString(STR_DIAGRAM_COL_DEFAULT)});
    for (int i = 0; i < 4; ++i)
        m_pList->header()->resizeSection(i, kColumnWidths[i]);
    m_pList->header()->show();
    for (const CADbSqlFieldInfo& field : fields) {
        auto* item = new QTreeWidgetItem(m_pList);
        item->setText(0, platform::ToQString(field.m_strName));
        // Every row keeps room for the picture, so that the names stand aligned.
        item->setIcon(0, field.m_nPk != 0 ? m_images.GetIcon(OBJECT_IMAGE_INDEX) : m_images.GetBlankIcon());
        item->setText(1, platform::ToQString(field.m_strType));
        item->setText(2, platform::ToQString(field.m_nNotNull != 0 ? STR_DIAGRAM_TRUE : STR_DIAGRAM_FALSE));
        item->setText(3, platform::ToQString(field.m_strDefault));
    }
}

void CDiagramTableWnd::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_pCaption->geometry().contains(event->position().toPoint())) {
        m_bDragging = true;
        m_dragOffset = event->position().toPoint();
        raise();
        event->accept();
        return;
    }
    QFrame::mousePressEvent(event);
}

void CDiagramTableWnd::mouseMoveEvent(QMouseEvent* event)
{
    if (m_bDragging) {
        move(mapToParent(event->position().toPoint()) - m_dragOffset);
        event->accept();
        return;
    }
    QFrame::mouseMoveEvent(event);
}

void CDiagramTableWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_bDragging && event->button() == Qt::LeftButton) {
        m_bDragging = false;
        event->accept();
        return;
    }
    QFrame::mouseReleaseEvent(event);
}
