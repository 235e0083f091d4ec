#pragma once
// The print preview: a bar of commands (Print, Next Page, Prev Page, One/Two Page, Zoom
// In, Zoom Out, Close) above the pages of the report on their paper. Only the pages on
// screen are drawn and only their rows are read, so a report of any length previews at
// once. Keys: Page Down and Page Up turn pages (scroll while zoomed), Home and End go to
// the first and the last page, Escape closes; the wheel turns pages unless zoomed.
#include <QPageLayout>
#include <QWidget>

#include <map>
#include <memory>
#include <vector>

class CReportRenderer;
class CReportSource;
class CWrapperView;
class QLabel;
class QPushButton;
struct ReportTextItem;

inline constexpr wchar_t STR_PREVIEW_PRINT[] = L"&Print...";
inline constexpr wchar_t STR_PREVIEW_NEXT[] = L"&Next Page";
inline constexpr wchar_t STR_PREVIEW_PREV[] = L"Pre&v Page";
inline constexpr wchar_t STR_PREVIEW_ONE_PAGE[] = L"&One Page";
inline constexpr wchar_t STR_PREVIEW_TWO_PAGE[] = L"&Two Page";
inline constexpr wchar_t STR_PREVIEW_ZOOM_IN[] = L"Zoom &In";
inline constexpr wchar_t STR_PREVIEW_ZOOM_OUT[] = L"Zoom &Out";
inline constexpr wchar_t STR_PREVIEW_CLOSE[] = L"&Close";
inline constexpr wchar_t STR_PREVIEW_PAGE[] = L"Page %d";
inline constexpr wchar_t STR_PREVIEW_PAGES[] = L"Pages %d-%d";

// Zoom steps: the whole page (or two) in the window, half-way, the paper's real size.
inline constexpr int PREVIEW_ZOOM_FIT = 0;
inline constexpr int PREVIEW_ZOOM_MIDDLE = 1;
inline constexpr int PREVIEW_ZOOM_FULL = 2;

class CMyPreviewView : public QWidget {
    Q_OBJECT
public:
    // layout: the paper and its printable area, in which the renderer's device pixels lie.
    CMyPreviewView(CWrapperView& printView, std::unique_ptr<CReportSource> source,
                   std::unique_ptr<CReportRenderer> renderer, const QPageLayout& layout, QWidget* parent = nullptr);
    ~CMyPreviewView() override;

    int GetPageCount() const;
    int GetCurrentPage() const { return m_nCurrentPage; } // zero-based
    // 1 or 2; zoomed previews show one page.
    int GetPagesShown() const;
    int GetZoom() const { return m_nZoom; }
    // The zero-based indices of the pages on screen.
    std::vector<int> VisiblePages() const;
    // The scale from the report's device pixels to screen pixels now.
    double PageScale() const;
    const CReportRenderer& Renderer() const { return *m_pRenderer; }

    QPushButton* GetPrintButton() const { return m_pPrint; }
    QPushButton* GetNextButton() const { return m_pNext; }
    QPushButton* GetPrevButton() const { return m_pPrev; }
    QPushButton* GetPagesButton() const { return m_pPages; }
    QPushButton* GetZoomInButton() const { return m_pZoomIn; }
    QPushButton* GetZoomOutButton() const { return m_pZoomOut; }
    QPushButton* GetCloseButton() const { return m_pClose; }
    QWidget* GetPageArea() const { return m_pArea; }

    void OnPreviewPrint();
    void OnPreviewClose();
    void OnNextPage();
    void OnPrevPage();
    void OnNumPageChange();
    void OnZoomIn();
    void OnZoomOut();
    void SetCurrentPage(int page);

    // The page area's drawing: the paper of every page on screen with its texts.
    void PaintPages(QPainter& painter, const QRect& area, const QPoint& scroll);
    // Paper size in screen pixels at the current zoom.
    QSize PaperSize() const;

private:
    void UpdateBar();
    const std::vector<ReportTextItem>& PageItems(int page);

    CWrapperView& m_printView;
    std::unique_ptr<CReportSource> m_pSource;
    std::unique_ptr<CReportRenderer> m_pRenderer;
    QPageLayout m_layout;
    int m_nCurrentPage = 0;
    bool m_bTwoPages = false;
    int m_nZoom = PREVIEW_ZOOM_FIT;
    std::map<int, std::vector<ReportTextItem>> m_pageCache; // texts of the pages on screen

    QPushButton* m_pPrint = nullptr;
    QPushButton* m_pNext = nullptr;
    QPushButton* m_pPrev = nullptr;
    QPushButton* m_pPages = nullptr;
    QPushButton* m_pZoomIn = nullptr;
    QPushButton* m_pZoomOut = nullptr;
    QPushButton* m_pClose = nullptr;
    QLabel* m_pPageLabel = nullptr;
    QWidget* m_pArea = nullptr;
};
