#pragma once
// How the index, trigger and view designers run their CREATE ... IF NOT EXISTS: a name the
// database holds already is reported, not silently kept.
#include <string>

class QWidget;

// A name that another kind of object holds: tables, views and indexes share their names.
inline constexpr wchar_t STR_NAME_USED_BY_TABLE[] = L"The name <%s> is already used by a table.";
inline constexpr wchar_t STR_NAME_USED_BY_VIEW[] = L"The name <%s> is already used by a view.";
inline constexpr wchar_t STR_NAME_USED_BY_INDEX[] = L"The name <%s> is already used by an index.";

// The object a designer creates.
struct NewObject {
    const wchar_t* type;         // "index", "trigger" or "view"
    const wchar_t* existsFormat; // the box of a name that an object of the type holds, its %s the name
    std::wstring name;
    bool temporary = false; // a temporary trigger: the temporary schema is looked at too
};

// Runs the statement unless the database holds an object with the name already where the
// object would be made (another trigger for a trigger; a table, view or index for an index
// or view), ignoring ASCII case: then the box says so, captioned with the product name,
// and the focus goes to the name's edit. A look-up or a statement that fails is shown as
// the designer's failure. True when the statement ran.
bool CreateObject(QWidget* owner, const NewObject& object, const std::wstring& sql, QWidget* nameEdit);
