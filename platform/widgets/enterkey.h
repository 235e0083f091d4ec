#pragma once
// Dialogs whose OK does nothing commit only through a button of their own (Save, Apply):
// Enter, typed in any control, must not press that button, nor any other.
class QDialog;

namespace platform {

// No push button of the dialog is its default button or takes Enter when it has the
// focus (Space and the mouse still press it). Called once the dialog's buttons exist.
void KeepEnterFromButtons(QDialog& dialog);

} // namespace platform
