#pragma once
// The program's printer, the print dialog in which the user picks the printer and the
// pages to print, and the page set-up dialog. Tests answer the dialogs through handlers,
// which may point the printer at a PDF file.
#include <functional>

class QPrinter;
class QWidget;

namespace platform {

struct PrintRequest {
    QWidget* owner = nullptr;
    QPrinter* printer = nullptr; // set up by the dialog as the user chose
    int minPage = 1;
    int maxPage = 1;
};

// True to print: the printer then holds the choice, its page range included
// (fromPage() 0 for all pages).
using PrintHandler = std::function<bool(const PrintRequest&)>;

bool RunPrintDialog(const PrintRequest& request);

// Replaces the real dialog (tests); an empty handler restores it. Returns the old one.
PrintHandler SetPrintHandler(PrintHandler handler);

// The one printer of the program: Print Setup edits it, and every report is previewed
// and printed on it. Made on first use; a QApplication must exist.
QPrinter& ApplicationPrinter();

// The page set-up dialog on the program's printer (paper, orientation, margins). True
// when the user accepted the changes.
using PageSetupHandler = std::function<bool(QWidget* owner, QPrinter& printer)>;
bool RunPageSetupDialog(QWidget* owner);
PageSetupHandler SetPageSetupHandler(PageSetupHandler handler);

} // namespace platform
