#pragma once
// The one open database: its connection, paths, cached name lists and foreign-key
// map, with the operations that make, fill and use that state.
#include "data/cadbsqlfieldinfo.h"
#include "document/session/foreignkeymap.h"

#include <string>
#include <vector>

extern ForeignKeyMap* g_pForeignKeyMap;
extern std::wstring g_strCurrentDbPath; // what the connection opens; names the saved-query node
extern std::wstring g_strDocDbPath;     // the path handed to the document; the tree's root text
extern std::wstring g_strOpenDbPath;    // non-empty once the connection opened
extern std::vector<std::wstring> g_arrTableNames;
extern std::vector<std::wstring> g_arrIndexNames;
extern std::vector<std::wstring> g_arrTriggerNames;
extern std::vector<std::wstring> g_arrViewNames;

// Makes the connection (unopened) and the empty map where they are missing.
void CreateDatabaseGlobals();
// Closes and deletes the connection and the map, and empties the name lists. Every
// datasheet model first lets go of the connection (its load stopped and waited for).
void DestroyDatabaseGlobals();

// True when the file opens as a database (a missing file is created empty and passes).
bool ProbeDatabaseFile(const std::wstring& path);

// (Opening the connection on g_strCurrentDbPath is CDataAccess::OpenDatabase.)

// Each refills its list from the open database, the main and the temporary schema
// together; LoadTableNames is true when a table exists.
bool LoadTableNames();
void LoadIndexNames();
void LoadTriggerNames();
void LoadViewNames();
// Brings the four name lists and the foreign-key map to what the database holds now.
void LoadSchemaNames();

void BuildForeignKeyMap();
void IndexForeignKeyMap();

// The stored text of the view from its first SELECT, letter case kept; "" when none.
std::wstring& GetViewSelect(std::wstring& out, const std::wstring& viewName);
// Makes the next temporary view STR_QUERY_VIEW_PREFIX<n> over the statement; "" when it
// cannot be made, after showing why when showFailure is set.
std::wstring CreateQueryView(const std::wstring& statement, bool showFailure);
// The question before a database with an open transaction closes.
inline constexpr wchar_t STR_COMMIT_OPEN_TRANSACTION[] =
    L"A transaction is still open on the database.\nCommit its changes before the database closes?\n"
    L"No rolls them back; Cancel keeps the database open.";
inline constexpr wchar_t STR_OPEN_TRANSACTION_CAPTION[] = L"Open Transaction";

// Runs one statement on the current connection: true once it ran. False after showing
// the failure, or, with nothing shown, for a text that holds no statement (only white
// space and comments): nothing ran.
bool ExecuteSql(const std::wstring& statement);
// True for a statement whose result is rows: it has result columns and changes nothing
// (SELECT, WITH ... SELECT, VALUES, after comments too, and EXPLAIN of any statement).
// False for one that does not prepare.
bool IsQueryStatement(const std::wstring& statement);
// Before the connection closes: with a transaction open (a BEGIN or SAVEPOINT left by
// the console), asks whether to commit it; Yes commits, No rolls it back. False when
// the database must stay open: Cancel, or a commit or rollback that failed (shown).
bool EndOpenTransaction();
// Prepares and steps one statement once; true for a row or the end, false after showing the failure.
bool ExecuteSingleStep(const std::wstring& statement);
// The table's columns, read directly from the current connection.
bool GetTableFields(const std::wstring& table, std::vector<CADbSqlFieldInfo>& out);
// Encoding, page size and auto-vacuum of a newly created database.
bool ApplyNewDatabasePragmas(const std::wstring& encoding, const std::wstring& pageSize, int autoVacuum);
