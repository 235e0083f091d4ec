#pragma once
// What the dialogs that show an object's stored statement share: their layout (the
// statement's edit above a row of buttons) and the look-up of the statement in a schema
// list.
#include <QString>

#include <initializer_list>
#include <string>

class CADbSqlQuery;
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

// Walks the whole rows of a schema list (type, name, tbl_name, rootpage, sql) in order and
// stops at the first whose key column equals the name ignoring ASCII case, as the engine
// matches names: then the edit shows the row's statement as stored (nothing for NULL) and
// storedName takes the row's name as the database writes it. The list's statement is
// finalized. False when no row matches.
bool ShowStoredStatement(CADbSqlQuery& rows, int keyColumn, const std::wstring& name, std::wstring& storedName,
                         QPlainTextEdit& edit);

// The trigger's statement as ShowStoredStatement shows it, looked for in the main schema
// and then in the temporary one; temporary tells whether it was found there.
bool ShowStoredTrigger(const std::wstring& name, std::wstring& storedName, QPlainTextEdit& edit, bool& temporary);

// The columns of a whole schema row that the viewers match on.
inline constexpr int SCHEMA_NAME_COLUMN = 1;
inline constexpr int SCHEMA_TABLE_COLUMN = 2;
inline constexpr int SCHEMA_SQL_COLUMN = 4;
