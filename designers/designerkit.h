#pragma once
// What every designer dialog shares besides its records: the value lists it offers, the
// table names it offers, the field picker over a chosen table's columns, and how it shows
// a statement the database refused.
#include <string>
#include <vector>

class CADbSqlException;
class CListFrame;
class QWidget;

namespace platform {
class ComboBox;
}

// Every value list a designer offers starts with one of these entries.
inline constexpr wchar_t VALUE_LIST_EMPTY_ENTRY[] = L"";
inline constexpr wchar_t VALUE_LIST_BLANK_ENTRY[] = L" ";

inline constexpr wchar_t STR_SELECT_TABLE_NAME[] = L"Please select table name.";
inline constexpr wchar_t STR_SELECT_TABLE_NAME_CAPTION[] = L"Select table name";

// Makes the grid of a designer dialog: a list-mode grid in the dialog's font, whose row i
// stays record i (a header click never sorts it), named after its control id.
void CreateDesignerGrid(CListFrame& grid, QWidget* dialog, int controlId);

// The first entry, then the values of the list node in stored order.
std::vector<std::wstring> ValueListEntries(const wchar_t* firstEntry, const std::wstring& node);

// The failure of a designer's statement: the bare failure text in a box captioned with the
// product name. The dialog stays open.
void ShowDesignerFailure(QWidget* owner, const CADbSqlException& e);

// Adds the names of the open database's tables to the box. When they cannot be read, the
// listing has shown its box; a second one, captioned with the product name, repeats the
// text, and the box stays empty.
void FillTableNames(QWidget* owner, platform::ComboBox& box);

// False after the "Please select table name." box when the table name is empty.
bool TableChosen(QWidget* owner, const std::wstring& table);

// The field picker (without a parent window) over the columns of the named table, ticking
// the chosen names; true after its Ok, which replaced the names by the ticked ones. An
// empty name shows the "Please select table name." box, a failing column read the
// designers' failure box; false then, with the names unchanged.
bool PickTableColumns(QWidget* owner, const std::wstring& table, std::vector<std::wstring>& chosen);

// The field picker (without a parent window) over names that are no table's columns (the
// columns of a design), ticking the chosen names; true after its Ok, as above.
bool PickNames(const std::vector<std::wstring>& offered, std::vector<std::wstring>& chosen);
