#pragma once
// The pending request for the next data window: what to show (a table or view name, a
// statement or a window title) and the kind of window. Whoever asks for a window writes
// the text, then the mode, and then asks the document template for a new document;
// that File New consumes the request, so a later File New never replays it.
#include <string>

// Document kinds (OpenRequest::m_nMode, CTabulonDoc::m_nKind).
inline constexpr int OpenNone = 0;
inline constexpr int OpenTableData = 1;
inline constexpr int OpenRelationships = 2;
inline constexpr int OpenSqlQuery = 3;
inline constexpr int OpenViewData = 5;
inline constexpr int OpenPragmaQuery = 6;
inline constexpr int OpenDatabaseSettings = 7;

inline constexpr wchar_t STR_TABLE_RELATION_TITLE[] = L"<Table Relation>";
inline constexpr wchar_t STR_DATABASE_SETTINGS_TITLE[] = L"Internal Database setting";

struct OpenRequest {
    std::wstring m_strText;
    int m_nMode = OpenNone;
    // Set, the statement, when it runs without a window, shows no success box: the
    // console reports a text of several statements once, at its end.
    bool m_bQuiet = false;
};

// The program's one request (the application object's m_openRequest refers to it).
extern OpenRequest g_openRequest;

// A copy of the request's text.
std::wstring GetOpenRequestText();
