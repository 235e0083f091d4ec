#include "document/windows/doctemplate.h"

#include "document/session/openrequest.h"
#include "platform/recentfiles.h"
#include "platform/utf16.h"
#include "platform/widgets/plaintext.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMenu>
#include <QTabBar>

#include <algorithm>

void CDocument::OnCloseDocument()
{
    m_bClosing = true;
    std::vector<QPointer<QWidget>> windows;
    for (CView* view : m_arrViews) {
        QWidget* window = view->GetParentFrame();
        if (!window)
            window = view;
        if (std::find(windows.begin(), windows.end(), window) == windows.end())
            windows.emplace_back(window);
    }
    // Each frame takes its views along; a view leaves the document as it goes.
    for (const QPointer<QWidget>& window : windows)
        delete window.data();
    if (m_pTemplate)
        m_pTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const std::wstring& title)
{
    m_strTitle = title;
    UpdateFrameTitles();
}

void CDocument::UpdateFrameTitles()
{
    std::vector<CChildFrame*> frames;
    for (CView* view : m_arrViews)
        if (CChildFrame* frame = view->GetParentFrame(); frame && std::find(frames.begin(), frames.end(), frame) == frames.end())
            frames.push_back(frame);
    const QString title = platform::ToQString(m_strTitle);
    for (size_t i = 0; i < frames.size(); ++i)
        frames[i]->setWindowTitle(frames.size() == 1 ? title : title + QStringLiteral(":%1").arg(i + 1));
}

void CDocument::SetPathName(const std::wstring& path, bool addToRecent)
{
    m_strPathName = path;
    if (addToRecent)
        platform::RecentFiles().Add(path);
}

void CDocument::AddView(CView* view)
{
    m_arrViews.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view)
{
    std::erase(m_arrViews, view);
    if (m_bClosing)
        return;
    if (!m_arrViews.empty())
        UpdateFrameTitles();
    else if (m_pTemplate)
        m_pTemplate->RemoveDocument(this);
}

CView::CView() = default;

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

CChildFrame* CView::GetParentFrame() const
{
    for (QWidget* parent = parentWidget(); parent; parent = parent->parentWidget())
        if (auto* frame = qobject_cast<CChildFrame*>(parent))
            return frame;
    return nullptr;
}

CChildFrame::CChildFrame(QWidget* parent)
    : QMdiSubWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // Ctrl+W is the main window's Close, which reaches the active data window wherever
    // the focus is; the frame's own menu keeps its other keys.
    if (QMenu* menu = systemMenu())
        for (QAction* action : menu->actions()) {
            QList<QKeySequence> keys = action->shortcuts();
            if (keys.removeAll(QKeySequence(Qt::CTRL | Qt::Key_W)) > 0)
                action->setShortcuts(keys);
        }
    connect(this, &QWidget::windowTitleChanged, this, &CChildFrame::ShowTitleOnTab);
}

void CChildFrame::showEvent(QShowEvent* event)
{
    QMdiSubWindow::showEvent(event);
    ShowTitleOnTab();
}

CChildFrame::Tab CChildFrame::GetTab() const
{
    QMdiArea* area = mdiArea();
    QTabBar* tabs = area ? area->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    const qsizetype index = tabs ? area->subWindowList().indexOf(this) : -1;
    if (index < 0 || index >= tabs->count())
        return {};
    return {tabs, static_cast<int>(index)};
}

void CChildFrame::ShowTitleOnTab()
{
    // The area writes the title on the tab as a button's text, where "&" marks a
    // shortcut letter; this comes after it and writes the title as it stands.
    if (const Tab tab = GetTab(); tab.m_pTabBar)
        tab.m_pTabBar->setTabText(tab.m_nIndex, platform::PlainMenuText(windowTitle()));
}

CView* CChildFrame::GetActiveView() const { return qobject_cast<CView*>(widget()); }

void CChildFrame::ActivateFrame()
{
    show();
    if (QMdiArea* area = mdiArea()) {
        area->setActiveSubWindow(this);
    } else if (CView* view = GetActiveView()) {
        // A frame of its own: the template learns of the activation directly.
        if (CDocument* document = view->GetDocument())
            if (CDocTemplate* docTemplate = document->GetDocTemplate())
                docTemplate->OnFrameActivated(this);
    }
    // The keyboard goes with the window brought forward, also when it was in front
    // already (the area then changes nothing); the view hands it on to what it shows.
    const QWidget* focus = QApplication::focusWidget();
    CView* view = GetActiveView();
    if (view && !(focus && isAncestorOf(focus)))
        view->setFocus();
}

CDocTemplate::CDocTemplate(DocumentFactory makeDocument, ViewFactory makeView)
    : m_makeDocument(std::move(makeDocument))
    , m_makeView(std::move(makeView))
{
}

CDocTemplate::~CDocTemplate()
{
    QObject::disconnect(m_activation);
    CloseAllDocuments();
}

void CDocTemplate::SetMdiArea(QMdiArea* area)
{
    QObject::disconnect(m_activation);
    m_pMdiArea = area;
    if (area)
        m_activation = QObject::connect(area, &QMdiArea::subWindowActivated, area,
                                        [this](QMdiSubWindow* frame) { OnFrameActivated(frame); });
}

CDocument* CDocTemplate::OpenNewDocument()
{
    // The request serves this File New only, whatever its outcome.
    struct ConsumeRequest {
        ~ConsumeRequest() { g_openRequest = OpenRequest(); }
    } consume;

    m_arrDocuments.push_back(m_makeDocument());
    CDocument* document = m_arrDocuments.back().get();
    document->m_pTemplate = this;

    CChildFrame* frame = CreateNewFrame(document);
    // The frame joins the area only once its document is made: a tabbed area shows a
    // tab for every frame it holds, hidden or not, so a statement that runs without a
    // window (its boxes shown meanwhile) or a document that fails would show an empty
    // "(Untitled)" window behind its box.
    if (frame->GetActiveView()->OnCreate() == -1 || !document->OnNewDocument()) {
        document->OnCloseDocument();
        return nullptr;
    }
    InitialUpdateFrame(document, frame);
    return document;
}

CView* CDocTemplate::OpenNewWindow(CDocument* document)
{
    if (!document || document->m_pTemplate != this)
        return nullptr;
    CChildFrame* frame = CreateNewFrame(document);
    CView* view = frame->GetActiveView();
    if (view->OnCreate() == -1) {
        delete frame;
        return nullptr;
    }
    InitialUpdateFrame(document, frame);
    return view;
}

CChildFrame* CDocTemplate::CreateNewFrame(CDocument* document)
{
    auto* frame = new CChildFrame;
    CView* view = m_makeView();
    document->AddView(view);
    frame->setWidget(view);
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CDocument* document, CChildFrame* frame)
{
    if (m_pMdiArea)
        m_pMdiArea->addSubWindow(frame);
    document->UpdateFrameTitles();
    frame->GetActiveView()->OnInitialUpdate();
    frame->ActivateFrame();
}

bool CDocTemplate::OpenDocumentFile(const std::wstring& path)
{
    const std::unique_ptr<CDocument> document = m_makeDocument();
    document->m_pTemplate = this;
    return document->OnOpenDocument(path);
}

void CDocTemplate::CloseAllDocuments()
{
    while (!m_arrDocuments.empty())
        m_arrDocuments.front()->OnCloseDocument();
}

std::vector<CDocument*> CDocTemplate::GetDocuments() const
{
    std::vector<CDocument*> documents;
    for (const std::unique_ptr<CDocument>& document : m_arrDocuments)
        documents.push_back(document.get());
    return documents;
}

void CDocTemplate::RemoveDocument(CDocument* document)
{
    const auto at = std::find_if(m_arrDocuments.begin(), m_arrDocuments.end(),
                                 [document](const std::unique_ptr<CDocument>& held) { return held.get() == document; });
    if (at == m_arrDocuments.end())
        return;
    // Out of the list first: the document's destructor may close windows that look it up.
    std::unique_ptr<CDocument> freed = std::move(*at);
    m_arrDocuments.erase(at);
}

void CDocTemplate::OnFrameActivated(QMdiSubWindow* frame)
{
    auto* childFrame = qobject_cast<CChildFrame*>(frame);
    CView* next = childFrame ? childFrame->GetActiveView() : nullptr;
    CView* previous = m_pActiveView;
    if (next == previous)
        return;
    m_pActiveView = next;
    if (previous)
        previous->OnActivateView(false, next, previous);
    if (next)
        next->OnActivateView(true, next, previous);
}
