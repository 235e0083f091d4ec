#pragma once
// A view whose printout is previewed inside the main window: the preview replaces the
// main window's central widget (its menu, tool bars and docked panes are hidden
// meanwhile) until the preview's Close or Print, and the main window's contents come back
// as they were. The derived view supplies the printer, the layout and the print command.
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

class CDataAccess;
class CMyPreviewView;
class CReportRenderer;
class CReportSource;
class QMainWindow;
class QPaintDevice;
class QPrinter;

inline constexpr wchar_t STR_COMMAND_FAILED[] = L"Command failed.";

class CWrapperView : public QWidget {
    Q_OBJECT
public:
    explicit CWrapperView(QWidget* parent = nullptr);
    // A preview still showing ends first.
    ~CWrapperView() override;

    // Shows the report of the datasheet model in print preview. False when the preview
    // cannot be set up (no main window to host it: "Command failed.") or one is showing.
    bool PrintPreview(CDataAccess* data);
    bool PrintPreview(std::unique_ptr<CReportSource> source);
    // Closes the preview and gives the main window its contents back.
    void EndPrintPreview();
    bool IsPreviewShowing() const;
    CMyPreviewView* GetPreview() const;

    // The print command: the print dialog, then the print job. True when pages were printed.
    virtual bool OnFilePrint(CReportSource& source) = 0;
    // The printer whose settings the print dialog edits; its pages are the preview's pages.
    virtual QPrinter& GetPrinter() = 0;

    QPointer<QMainWindow> m_pPreviewFrame; // the main window the preview runs in

protected:
    // Fonts and layout of the report on the preview's device, as the preview begins; the
    // printing state ends with OnEndPrinting when it closes.
    virtual std::unique_ptr<CReportRenderer> OnBeginPrinting(CReportSource& source, const QPaintDevice& device) = 0;
    virtual void OnEndPrinting() {}

private:
    QPointer<CMyPreviewView> m_pPreview;
    QPointer<QWidget> m_pSavedCentral; // the main window's central widget while the preview shows
    QPointer<QWidget> m_pSavedFocus;
    std::vector<QPointer<QWidget>> m_arrHiddenBars;
};
