#pragma once
// The document machinery of the data windows: a document with its views, each view in
// a child frame of the main window's MDI area, and the one template that makes them.
// File New makes a document, then its frame and view (the view's OnCreate runs), then
// the document's OnNewDocument; when that fails, document, frame and view go at once,
// otherwise the frame joins the MDI area, the view's initial update runs and the frame
// is activated. New Window makes one more frame and view on a document that has its
// windows already. The open of a file only runs a new document's OnOpenDocument: it
// makes no frame or view.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CChildFrame;
class CDocTemplate;
class CView;
class QMdiArea;
class QTabBar;

class CDocument {
public:
    CDocument() = default;
    virtual ~CDocument() = default;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    // File New: true keeps the window.
    virtual bool OnNewDocument() { return true; }
    // The open of a file; the document is discarded afterwards whatever it returns.
    virtual bool OnOpenDocument(const std::wstring&) { return false; }
    // Closes every frame of the document and then frees it: the caller must not use
    // the document afterwards.
    void OnCloseDocument();

    // The frames show the title; when the document has several, each its number after a
    // colon ("Album:1", "Album:2"), in the order they were made.
    void SetTitle(const std::wstring& title);
    const std::wstring& GetTitle() const { return m_strTitle; }
    // addToRecent enters the file in the recent-file list.
    void SetPathName(const std::wstring& path, bool addToRecent = true);
    const std::wstring& GetPathName() const { return m_strPathName; }

    const std::vector<CView*>& GetViews() const { return m_arrViews; }
    CDocTemplate* GetDocTemplate() const { return m_pTemplate; }

private:
    friend class CDocTemplate;
    friend class CView;
    void AddView(CView* view);
    // The last view of a document gone frees the document; otherwise the frames left
    // are numbered anew.
    void RemoveView(CView* view);
    void UpdateFrameTitles();

    std::wstring m_strTitle;
    std::wstring m_strPathName;
    std::vector<CView*> m_arrViews;
    CDocTemplate* m_pTemplate = nullptr;
    bool m_bClosing = false;
};

class CView : public QWidget {
    Q_OBJECT
public:
    CView();
    // Leaves its document, which goes with its last view.
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    CChildFrame* GetParentFrame() const;

    // The view's window exists and knows its document; -1 refuses the window.
    virtual int OnCreate() { return 0; }
    // After the document's OnNewDocument succeeded.
    virtual void OnInitialUpdate() {}
    // The view's frame became the active one (activate true) or stopped being it.
    virtual void OnActivateView(bool, CView*, CView*) {}

private:
    friend class CDocument;
    CDocument* m_pDocument = nullptr;
};

// The frame of one data window in the MDI area; deleted when it closes.
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit CChildFrame(QWidget* parent = nullptr);

    CView* GetActiveView() const;
    // Shows the frame, makes it the MDI area's active window and gives it the keyboard.
    void ActivateFrame();

    // The frame's tab in a tabbed area, which keeps its windows in the order of its tabs:
    // the area's tab bar and the tab's index on it; no tab bar when the area shows no
    // tabs or none for the frame.
    struct Tab {
        QTabBar* m_pTabBar = nullptr;
        int m_nIndex = -1;
    };
    Tab GetTab() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowTitleOnTab();
};

class CDocTemplate {
public:
    using DocumentFactory = std::function<std::unique_ptr<CDocument>()>;
    using ViewFactory = std::function<CView*()>;

    CDocTemplate(DocumentFactory makeDocument, ViewFactory makeView);
    // Closes every document first.
    ~CDocTemplate();
    CDocTemplate(const CDocTemplate&) = delete;
    CDocTemplate& operator=(const CDocTemplate&) = delete;

    // The area the frames are made in; without one a frame is a window of its own.
    void SetMdiArea(QMdiArea* area);
    QMdiArea* GetMdiArea() const { return m_pMdiArea; }

    // File New for the pending request (g_openRequest), which it consumes whatever the
    // result: the document whose window stays, null when none does.
    CDocument* OpenNewDocument();
    // New Window: another frame and view on the document, activated; null when the view
    // refuses its window.
    CView* OpenNewWindow(CDocument* document);
    // The open of a file: a document's OnOpenDocument with the path, and the document
    // discarded; the handler's result.
    bool OpenDocumentFile(const std::wstring& path);
    // Closes every document with its windows.
    void CloseAllDocuments();

    // The open documents in the order they were made.
    std::vector<CDocument*> GetDocuments() const;
    // The view of the active frame; null when none is active.
    CView* GetActiveView() const { return m_pActiveView; }

private:
    friend class CChildFrame;
    friend class CDocument;
    // Frees the document (its frames are gone).
    void RemoveDocument(CDocument* document);
    // A frame outside the area with a new view of the document in it, not yet created.
    CChildFrame* CreateNewFrame(CDocument* document);
    // The frame of a created view joins the area with its title; the view's initial
    // update runs and the frame is activated.
    void InitialUpdateFrame(CDocument* document, CChildFrame* frame);
    void OnFrameActivated(QMdiSubWindow* frame);

    DocumentFactory m_makeDocument;
    ViewFactory m_makeView;
    std::vector<std::unique_ptr<CDocument>> m_arrDocuments;
    QPointer<QMdiArea> m_pMdiArea;
    QPointer<CView> m_pActiveView;
    QMetaObject::Connection m_activation;
};
