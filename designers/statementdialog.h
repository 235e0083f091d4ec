#pragma once
// What the dialogs that show an object's stored statement share: their layout (the
// statement's edit above a row of buttons) and the look-up of the statement in the schema.
#include <QString>

#include <initializer_list>
#include <string>

class QDialog;
class QPlainTextEdit;
class QPushButton;

// Gives the dialog its title, its size in dialog units and its layout: the statement's
// edit fills it above the buttons, which stand in a row at the right in the order given.
// Returns the edit, read-only unless editable.
QPlainTextEdit* LayOutStatementDialog(QDialog& dialog, const QString& title, int width, int height, bool editable,
                                      std::initializer_list<QPushButton*> buttons);
// The viewers' OK: the default button, closing the dialog.
QPushButton* MakeOkButton(QDialog& dialog);

// Looks for the object of the type ("table", "index", "trigger", "view") by its name,
// ignoring ASCII case as the engine matches names, in the main schema and then in the
// temporary one, as the workspace lists them both: the edit then shows the object's
// statement as stored (nothing for NULL), storedName takes the name as the database
// writes it, and temporary tells whether it was found in the temporary schema. False when
// neither holds it; a schema list that fails has shown why, and the temporary one is then
// not read.
bool ShowStoredStatement(const wchar_t* type, const std::wstring& name, std::wstring& storedName, QPlainTextEdit& edit,
                         bool& temporary);
