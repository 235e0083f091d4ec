#include "document/report/cwrapperview.h"

#include "data/constants.h"
#include "document/report/cdatasheetreportsource.h"
#include "document/report/cmypreviewview.h"
#include "document/report/creportrenderer.h"
#include "platform/messagebox.h"
#include "platform/widgets/presenters.h"

#include <QApplication>
#include <QDockWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPrinter>
#include <QStatusBar>
#include <QToolBar>

CWrapperView::CWrapperView(QWidget* parent)
    : QWidget(parent)
{
}

CWrapperView::~CWrapperView() { EndPrintPreview(); }

bool CWrapperView::IsPreviewShowing() const { return !m_pPreview.isNull(); }

CMyPreviewView* CWrapperView::GetPreview() const { return m_pPreview; }

bool CWrapperView::PrintPreview(CDataAccess* data)
{
    return PrintPreview(data ? std::make_unique<CDatasheetReportSource>(*data) : nullptr);
}

bool CWrapperView::PrintPreview(std::unique_ptr<CReportSource> source)
{
    if (IsPreviewShowing())
        return false;
    auto* frame = qobject_cast<QMainWindow*>(platform::MainWindow());
    if (!frame || !source) {
        platform::MessageBox(nullptr, STR_COMMAND_FAILED, STR_PRODUCT_NAME, platform::MB_OK | platform::MB_ICONWARNING);
        return false;
    }
    m_pPreviewFrame = frame;

    QPrinter& printer = GetPrinter();
    std::unique_ptr<CReportRenderer> renderer = OnBeginPrinting(*source, printer);
    auto* preview = new CMyPreviewView(*this, std::move(source), std::move(renderer), printer.pageLayout());
    m_pPreview = preview;

    // The frame shows nothing but the preview: its bars and panes step aside.
    m_pSavedFocus = QApplication::focusWidget();
    m_arrHiddenBars.clear();
    const auto hide = [this](QWidget* bar) {
        if (bar && bar->isVisible()) {
            m_arrHiddenBars.emplace_back(bar);
            bar->hide();
        }
    };
    hide(frame->menuWidget());
    for (QToolBar* bar : frame->findChildren<QToolBar*>(Qt::FindDirectChildrenOnly))
        hide(bar);
    for (QDockWidget* dock : frame->findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly))
        hide(dock);
    m_pSavedCentral = frame->takeCentralWidget();
    frame->setCentralWidget(preview);
    preview->show();
    preview->setFocus();
    return true;
}

void CWrapperView::EndPrintPreview()
{
    if (!m_pPreview)
        return;
    OnEndPrinting();
    CMyPreviewView* preview = m_pPreview;
    m_pPreview = nullptr;
    QMainWindow* frame = m_pPreviewFrame;
    if (frame && frame->centralWidget() == preview)
        frame->takeCentralWidget();
    // The preview may be running its own button's handler: it goes once that returns.
    preview->hide();
    preview->deleteLater();

    if (frame && m_pSavedCentral) {
        frame->setCentralWidget(m_pSavedCentral);
        m_pSavedCentral->show();
    }
    m_pSavedCentral = nullptr;
    for (const QPointer<QWidget>& bar : m_arrHiddenBars)
        if (bar)
            bar->show();
    m_arrHiddenBars.clear();
    if (m_pSavedFocus)
        m_pSavedFocus->setFocus();
    m_pSavedFocus = nullptr;
    if (frame)
        if (auto* status = frame->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly))
            status->clearMessage();
}
