#pragma once
// How the index, trigger and view designers run their CREATE ... IF NOT EXISTS: a name the
// database holds already is reported, not silently kept.
#include <string>

class QWidget;

// The object a designer creates.
struct NewObject {
    const wchar_t* type;         // "index", "trigger" or "view"
    const wchar_t* existsFormat; // the box of a name that exists, its %s the name
    std::wstring name;
    bool temporary = false; // a temporary trigger: the temporary schema is looked at too
};

// Runs the statement unless the database holds an object of the type with the name
// already, ignoring ASCII case: then the box says so, captioned with the product name,
// and the focus goes to the name's edit. A look-up or a statement that fails is shown as
// the designer's failure. True when the statement ran.
bool CreateObject(QWidget* owner, const NewObject& object, const std::wstring& sql, QWidget* nameEdit);
