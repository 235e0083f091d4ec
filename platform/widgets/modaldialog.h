#pragma once
// Running a dialog modally. Every modal dialog of the program goes through RunModal,
// so that the program shows it with exec() and tests answer it through a handler.
#include <functional>

class QDialog;

namespace platform {

// A test's answer to a dialog. The dialog is shown (not exec'd) while the handler runs;
// the handler may type into it, click its buttons or close it. Its return value is what
// RunModal returns (a QDialog::DialogCode or a button id).
using DialogHandler = std::function<int(QDialog& dialog)>;

// Shows the dialog modally and returns its result (QDialog::Accepted or Rejected, or the
// value given to done()).
int RunModal(QDialog& dialog);

// Replaces the real modal loop (tests); an empty handler restores it. Returns the old one.
DialogHandler SetDialogHandler(DialogHandler handler);

} // namespace platform
