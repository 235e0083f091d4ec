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

// While it lives, the failure boxes this thread shows are counted, and the first of
// them begins with the context's text (a line of its own) when there is one: the
// console says so which of several statements failed, whichever part showed the box.
class FailureContext {
public:
    explicit FailureContext(std::wstring prefix);
    ~FailureContext();
    FailureContext(const FailureContext&) = delete;
    FailureContext& operator=(const FailureContext&) = delete;

    // True once a failure box was shown.
    bool Shown() const { return m_nShown > 0; }

private:
    friend void ShowFailureBox(const std::wstring& text, const wchar_t* code);
    std::wstring m_strPrefix;
    int m_nShown = 0;
    FailureContext* m_pOuter;
};
