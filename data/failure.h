#pragma once
// Showing a caught failure with the location code of the place that caught it.
#include "data/cadbsqlexception.h"

#include <string>

// "text\n Location <code>".
std::wstring FailureText(const std::wstring& text, const wchar_t* code);

// A box captioned "Error" with an OK button and the error icon, owned by the main window.
void ShowFailureBox(const std::wstring& text, const wchar_t* code);
void ShowFailureBox(const CADbSqlException& e, const wchar_t* code);

// An error line (type 3) in the caption strip.
void ShowFailureLine(const std::wstring& text, const wchar_t* code);
void ShowFailureLine(const CADbSqlException& e, const wchar_t* code);

