#pragma once
// The report view of one datasheet window: the report of its rows as a paged printout,
// always shown first in print preview, printed from the preview's Print button. It
// draws nothing itself; the data view keeps it, hidden, for its window.
#include "document/report/cwrapperview.h"
#include "document/session/reportprinting.h"

#include <QPrinter>

inline constexpr wchar_t STR_PRINT_FAILED[] = L"The print job could not be started.";
inline constexpr wchar_t STR_PRINTING_PAGE[] = L"Printing page %d of %d";

class CChildView : public CWrapperView, public ReportPrinting {
    Q_OBJECT
public:
    explicit CChildView(QWidget* parent = nullptr);

    bool OnFilePrint(CReportSource& source) override;
    QPrinter& GetPrinter() override { return m_printer; }
    // Prints the pages of the printer's page range (all when it has none); a range past
    // the last page ends with the last page.
    bool PrintJob(CReportSource& source);

    // Set from the opening of a preview, and during a print job, to their end; the main
    // window refuses to close while it is set.
    bool m_bPrinting = false;
    bool IsPrinting() const override { return m_bPrinting; }

protected:
    std::unique_ptr<CReportRenderer> OnBeginPrinting(CReportSource& source, const QPaintDevice& device) override;
    void OnEndPrinting() override;

private:
    QPrinter m_printer{QPrinter::HighResolution};
};
