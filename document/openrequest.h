#pragma once
// The pending request for the next data window: what to show and as which kind. The
// application object holds the one request; a writer sets the text, then the kind, and
// asks for a new document at once, which takes the request.
#include <string>

// The kinds of data window, the document's kind once its view is made.
using DocumentKind = int;
inline constexpr DocumentKind OpenNone = 0;             // no request
inline constexpr DocumentKind OpenTableData = 1;        // text: the table name
inline constexpr DocumentKind OpenRelationships = 2;    // text: "<Table Relation>"
inline constexpr DocumentKind OpenSqlQuery = 3;         // text: the statement
inline constexpr DocumentKind OpenViewData = 5;         // text: the view name
inline constexpr DocumentKind OpenPragmaQuery = 6;      // text: the statement
inline constexpr DocumentKind OpenDatabaseSettings = 7; // text: "Internal Database setting"

inline constexpr wchar_t STR_RELATIONSHIPS_TITLE[] = L"<Table Relation>";
inline constexpr wchar_t STR_DATABASE_SETTINGS_TITLE[] = L"Internal Database setting";

struct OpenRequest {
    std::wstring m_strText;
    DocumentKind m_nMode = OpenNone;
};

// The application object's request (CTabulonApp::m_openRequest), set by its constructor;
// tests point it at one of their own.
extern OpenRequest* g_pOpenRequest;

// A copy of the pending request's text; empty without an application object.
std::wstring GetOpenRequestText();
