#pragma once
// The print dialog, in which the user picks the printer and the pages to print. Tests
// answer it through a handler, which may point the printer at a PDF file.
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

} // namespace platform
