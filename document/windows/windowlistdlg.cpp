#include "document/windows/windowlistdlg.h"

#include "document/session/cmainframebase.h"
#include "document/windows/doctemplate.h"
#include "platform/utf16.h"
#include "platform/widgets/modaldialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Each entry keeps its window; a window gone meanwhile is passed over.
constexpr int WINDOW_ROLE = Qt::UserRole;

QMdiSubWindow* WindowOf(const QListWidgetItem* item)
{
    return item ? item->data(WINDOW_ROLE).value<QPointer<QMdiSubWindow>>().data() : nullptr;
}

} // namespace

WindowListDialog::WindowListDialog(QMdiArea* area, QWidget* parent)
    : QDialog(parent)
    , m_pArea(area)
    , m_pList(new QListWidget(this))
    , m_pActivate(new QPushButton(QStringLiteral("&Activate"), this))
    , m_pClose(new QPushButton(QStringLiteral("&Close"), this))
{
    setWindowTitle(platform::ToQString(STR_WINDOW_LIST_TITLE));
    m_pList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_pActivate);
    buttons->addWidget(m_pClose);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_pList, 1);
    layout->addLayout(buttons);
    m_pActivate->setDefault(true);
    connect(m_pActivate, &QPushButton::clicked, this, &WindowListDialog::OnActivate);
    connect(m_pClose, &QPushButton::clicked, this, &WindowListDialog::OnCloseWindows);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_pList, &QListWidget::itemSelectionChanged, this, &WindowListDialog::UpdateButtons);
    connect(m_pList, &QListWidget::itemActivated, this, &WindowListDialog::OnActivate);
    resize(420, 260);
    Fill();
}

int WindowListDialog::DoModal()
{
    return platform::RunModal(*this);
}

void WindowListDialog::Fill()
{
    m_pList->clear();
    if (!m_pArea)
        return;
    for (QMdiSubWindow* window : m_pArea->subWindowList()) {
        auto* item = new QListWidgetItem(window->windowTitle(), m_pList);
        item->setData(WINDOW_ROLE, QVariant::fromValue(QPointer<QMdiSubWindow>(window)));
        if (window == m_pArea->activeSubWindow())
            m_pList->setCurrentItem(item);
        // A window closed here renumbers the other windows of its document.
        connect(window, &QWidget::windowTitleChanged, this, [this, window](const QString& title) {
            for (int i = 0; i < m_pList->count(); ++i)
                if (WindowOf(m_pList->item(i)) == window)
                    m_pList->item(i)->setText(title);
        });
    }
    UpdateButtons();
}

void WindowListDialog::UpdateButtons()
{
    const qsizetype chosen = m_pList->selectedItems().size();
    m_pActivate->setEnabled(chosen == 1);
    m_pClose->setEnabled(chosen > 0);
}

void WindowListDialog::OnActivate()
{
    const QList<QListWidgetItem*> chosen = m_pList->selectedItems();
    if (chosen.size() != 1)
        return;
    if (auto* frame = qobject_cast<CChildFrame*>(WindowOf(chosen.front())))
        frame->ActivateFrame();
    else if (QMdiSubWindow* window = WindowOf(chosen.front()); window && m_pArea)
        m_pArea->setActiveSubWindow(window);
    accept();
}

void WindowListDialog::OnCloseWindows()
{
    for (QListWidgetItem* item : m_pList->selectedItems()) {
        QMdiSubWindow* window = WindowOf(item);
        // As the window's own Close: not while a report is previewed or printed.
        if (window && g_pMainFrame && !g_pMainFrame->CanCloseFrame())
            break;
        if (window && !window->close())
            break;
        delete item;
    }
    UpdateButtons();
}
