#pragma once
// Program-wide text constants: every text that several source files must spell
// alike lives here once.
#include <array>
#include <string>

// General texts.
inline constexpr wchar_t STR_REGISTRY_KEY[] = L"Corvellan Software";
inline constexpr wchar_t STR_PRODUCT_NAME[] = L"Tabulon";
inline constexpr wchar_t STR_NO_BACKUP_TIME[] = L"1899-12-30 00:00:00.0000";
inline constexpr wchar_t STR_DEFAULT_FONT_FACE[] = L"Tahoma";
inline constexpr wchar_t STR_DEFAULT_FONT_SIZE[] = L"14";
inline constexpr wchar_t STR_SORTING[] = L"Sorting...";
// The caption-strip lines of a statement that runs for long while the window waits.
inline constexpr wchar_t STR_VACUUMING[] = L"Vacuuming the database...";
inline constexpr wchar_t STR_RUNNING_STATEMENT[] = L"Running the statement...";
// The grid's delete of the selected rows, which Escape stops, and its line once stopped.
inline constexpr wchar_t STR_DELETING_ROWS[] = L"Deleting the selected rows... Press Esc to stop.";
inline constexpr wchar_t STR_DELETE_STOPPED[] = L"The delete was stopped: no row was deleted.";
inline constexpr wchar_t STR_RECENT_QUERY_PREFIX[] = L"RecentQuery.";
inline constexpr wchar_t STR_ERROR_CAPTION[] = L"Error"; // caption of every failure box
inline constexpr wchar_t STR_FAILED_CREATING_VIEW[] = L"Failed creating view";
// A statement text that the engine would read only in part: it stops at a NUL character.
inline constexpr wchar_t STR_TEXT_AFTER_NUL[] =
    L"The statement holds a NUL character, after which the engine reads nothing: it was not run.";
inline constexpr wchar_t STR_NON_NUMERIC_KEY[] = L"None numeric inputs are not allowed for Integer primary key.";
// A new database's options outside what the engine accepts ("%s" the option as given).
inline constexpr wchar_t STR_UNSUPPORTED_ENCODING[] = L"Unsupported database encoding <%s>";
inline constexpr wchar_t STR_UNSUPPORTED_PAGE_SIZE[] = L"Unsupported page size <%s>";
// An edit or undo of a row that can no longer be read (deleted or locked by another program).
inline constexpr wchar_t STR_ROW_NOT_READABLE[] = L"The row could not be read; nothing was written.";
inline constexpr wchar_t STR_WARNING_CAPTION[] = L"Warning";
// A database file that cannot be written (the file's or its folder's permissions) opens read-only.
inline constexpr wchar_t STR_READ_ONLY_DATABASE[] = L"The database file cannot be written: it is open read-only.";
// The condition that leaves out the engine's own schema objects: only names beginning
// with "sqlite_" are reserved ("SQLiteStats" is a user's table).
inline constexpr wchar_t SQL_NOT_RESERVED_NAME[] = L"name NOT LIKE 'sqlite\\_%' ESCAPE '\\'";
// The start of the names of the temporary views behind query and view windows, which are
// the program's own and never shown as objects of the database.
inline constexpr wchar_t STR_QUERY_VIEW_PREFIX[] = L"_TMPQRYVW_TBL_";
// A table whose rows cannot be addressed by rowid opens read-only, with one of these lines.
inline constexpr wchar_t STR_TABLE_WITHOUT_ROWID[] =
    L"The table has no rowid (WITHOUT ROWID): its rows are shown read-only.";
inline constexpr wchar_t STR_ROWID_NAMES_SHADOWED[] =
    L"The table has columns of its own named rowid, oid and _rowid_, so its rows cannot be addressed: they are shown "
    L"read-only.";
// An INSERT that the engine ignored (a conflict clause of IGNORE, or a trigger).
inline constexpr wchar_t STR_ROW_NOT_INSERTED[] = L"The row was not inserted: the table ignored it.";
// Caption of the boxes that refuse an operation the current state does not allow.
inline constexpr wchar_t STR_INVALID_OPERATION_CAPTION[] = L"Invalid Operation";
// The row loader's warnings when a load reaches the row limit: a table's, and a query's count.
inline constexpr wchar_t STR_ROW_LIMIT_REACHED[] =
    L"Maximum number of row can be loaded into the datasheet has been reached. Partial data was loaded.\nYou can "
    L"change this maximum number from the Application Configuration.";
inline constexpr wchar_t STR_ROW_LIMIT_REACHED_COUNT[] =
    L"Maximum number of row can be loaded into the datasheet has been reached. Partial data was loaded";
// A query's count that could not keep its rows: the box (the engine's reason, the
// temporary folder), the window's line (the rows it keeps), and the reason when the
// engine names no temporary folder at all.
inline constexpr wchar_t STR_RESULT_NOT_KEPT[] = L"The result could not be kept whole: %s\nTemporary folder: %s";
inline constexpr wchar_t STR_COUNT_STOPPED[] = L"The count stopped at %d rows.";
inline constexpr wchar_t STR_NO_TEMPORARY_FOLDER[] = L"the engine names no temporary folder";

// Setting nodes of the application data file.
inline constexpr wchar_t NODE_CURFONT[] = L"CONFIG\\DATASHEET\\CURFONT";
inline constexpr wchar_t NODE_CURFONTSIZE[] = L"CONFIG\\DATASHEET\\CURFONTSIZE";
inline constexpr wchar_t NODE_CURTEXTCOLOR[] = L"CONFIG\\DATASHEET\\CURTEXTCOLOR";
inline constexpr wchar_t NODE_CURODDROWCOLOR[] = L"CONFIG\\DATASHEET\\CURODDROWCOLOR";
inline constexpr wchar_t NODE_CUREVENROWCOLOR[] = L"CONFIG\\DATASHEET\\CUREVENROWCOLOR";
inline constexpr wchar_t NODE_DEF_COL_WIDTH[] = L"CONFIG\\DATASHEET\\DEF_COL_WIDTH";
inline constexpr wchar_t NODE_DEF_REPORT_COL_WIDTH[] = L"CONFIG\\DATASHEET\\DEF_REPORT_COL_WIDTH";
inline constexpr wchar_t NODE_REPORT_HEADER_TEXT[] = L"CONFIG\\DATASHEET\\REPORT_HEADER_TEXT";
inline constexpr wchar_t NODE_REPORT_FOOTER_TEXT[] = L"CONFIG\\DATASHEET\\REPORT_FOOTER_TEXT";
inline constexpr wchar_t NODE_MAX_GRID_ROW[] = L"CONFIG\\DATASHEET\\MAX_GRID_ROW";
inline constexpr wchar_t NODE_BUP_AUTO[] = L"CONFIG\\DB\\BUP_AUTO";
inline constexpr wchar_t NODE_BUP_PERIOD[] = L"CONFIG\\DB\\BUP_PERIOD";
inline constexpr wchar_t NODE_BUP_WORK_FILE[] = L"CONFIG\\DB\\BUP_WORK_FILE";
inline constexpr wchar_t NODE_BUP_LOCATION[] = L"CONFIG\\DB\\BUP_LOCATION";
inline constexpr wchar_t NODE_BACKUP_DATE_TIME[] = L"BACKUP\\DATE_TIME";
inline constexpr wchar_t NODE_USER_DB_LOCATION[] = L"USER\\DB\\LOCATION";

// Value-list nodes of the application data file.
inline constexpr wchar_t NODE_DB_DATA_TYPES[] = L"SQLITE_DB_DATA_TYPES";
inline constexpr wchar_t NODE_CONFLICT_TYPES[] = L"SQLITE_CONFLICT_TYPES";
inline constexpr wchar_t NODE_COLLATE_TYPES[] = L"SQLITE_COLLATE_TYPES";
inline constexpr wchar_t NODE_SORTBY_TYPES[] = L"SQLITE_SORTBY_TYPES";
inline constexpr wchar_t NODE_FOREIGN_KEY_ACTION_TYPES[] = L"SQLITE_FOREIGN_KEY_ACTION_TYPES";
inline constexpr wchar_t NODE_MATCH_TYPES[] = L"SQLITE_MATCH_TYPES";
inline constexpr wchar_t NODE_DEFERRABLE_TYPES[] = L"SQLITE_DEFERRABLE_TYPES";
inline constexpr wchar_t NODE_INITIALLY_TYPES[] = L"SQLITE_INITIALLY_TYPES:"; // the colon belongs to the name
inline constexpr wchar_t NODE_ENCODE_TYPES[] = L"SQLITE_ENCODE_TYPES";
inline constexpr wchar_t NODE_PAGE_SIZES[] = L"SQLITE_PAGE_SIZES";
inline constexpr wchar_t NODE_PRAGMAS[] = L"SQLITE_PRAGMAS";

// The entry of the data-type list from which a grid's type cell adds a new type.
inline constexpr wchar_t STR_NEW_TYPE_ENTRY[] = L"New Type...";
// What the table designer and the add-column dialog say of a column without a name.
inline constexpr wchar_t STR_FIELD_NAME_REQUIRED[] = L"Field name is required";

// The PRAGMA templates that the console offers, in their order and exact spelling.
extern const std::array<const wchar_t*, 98> g_arrPragmaTemplates;

// Statement templates.
extern const std::wstring SQL_TABLE_INFO;       // "PRAGMA table_info([%s])"
extern const std::wstring SQL_FOREIGN_KEY_LIST; // "PRAGMA FOREIGN_KEY_LIST([%s])"

// Program-wide paths, empty until set. Each folder ends with the path separator.
extern std::wstring g_strAppFolder;
extern std::wstring g_strDbFolder;

// Record-set modes (CADbSqlRecSet::Open, CDataAccess::Open): a table's rows by rowid, or
// the rows of a query or of a database view by position through a temporary view, or
// by position the rows of a statement walked itself, where no view can hold it (EXPLAIN).
inline constexpr int RECSET_MODE_TABLE = 0;
inline constexpr int RECSET_MODE_QUERY = 1;
inline constexpr int RECSET_MODE_VIEW = 2;
inline constexpr int RECSET_MODE_STATEMENT = 3;

// Sort directions of a datasheet column (CDataAccess::Sort sorts ascending for any value
// other than descending).
inline constexpr int SORT_DESCENDING = 1;
inline constexpr int SORT_ASCENDING = 2;

// Search types of the caption strip; the first three are the search modes of the record
// set and the datasheet model (the value starts with, equals or contains the text).
inline constexpr int SEARCH_START_OF_FIELD = 0;
inline constexpr int SEARCH_WHOLE_FIELD = 1;
inline constexpr int SEARCH_ANY_PART_OF_FIELD = 2;
inline constexpr int SEARCH_GO_TO_ROW = 3;

// Failure display: the failure's text, then its location code.
inline constexpr wchar_t STR_LOCATION_FORMAT[] = L"%s\n Location <%s>";

// Location codes: each names the one place that catches and shows a failure.
inline constexpr wchar_t LOC_RECSET_SEARCH[] = L"00002";
inline constexpr wchar_t LOC_RECSET_RELATED_ROWS[] = L"00003";
inline constexpr wchar_t LOC_LIST_INDEXES[] = L"00004";
inline constexpr wchar_t LOC_LIST_TABLES[] = L"00005";
inline constexpr wchar_t LOC_LIST_VIEWS[] = L"00006";
inline constexpr wchar_t LOC_LIST_FOREIGN_KEYS[] = L"00007";
inline constexpr wchar_t LOC_DROP_TABLE[] = L"00008";
inline constexpr wchar_t LOC_DROP_INDEX[] = L"00009";
inline constexpr wchar_t LOC_DROP_TRIGGER[] = L"00010";
inline constexpr wchar_t LOC_DROP_VIEW[] = L"00011";
inline constexpr wchar_t LOC_VACUUM[] = L"00012";
inline constexpr wchar_t LOC_CELL_CHECK[] = L"00013";
inline constexpr wchar_t LOC_OPEN_CURRENT_DB[] = L"00014";
inline constexpr wchar_t LOC_WRITE_ROW[] = L"00016";
inline constexpr wchar_t LOC_INSERT_ROW[] = L"00017";
inline constexpr wchar_t LOC_SAVE_UNDO_ROW[] = L"00018";
inline constexpr wchar_t LOC_SORT[] = L"00019";
inline constexpr wchar_t LOC_EXECUTE_SQL[] = L"00020";
inline constexpr wchar_t LOC_UNDO_ROW[] = L"00021";
inline constexpr wchar_t LOC_NEW_DB_PRAGMAS[] = L"00022";
inline constexpr wchar_t LOC_CREATE_QUERY_VIEW[] = L"00023";
inline constexpr wchar_t LOC_RECSET_MOVE[] = L"00024";
inline constexpr wchar_t LOC_RECSET_MOVE_TO[] = L"00025";
inline constexpr wchar_t LOC_LIST_TRIGGERS[] = L"00026";
inline constexpr wchar_t LOC_RECSET_DELETE[] = L"00027";
// A BLOB transfer between a cell and a file: the file that fails to open, and the cell
// that cannot be read or written.
inline constexpr wchar_t LOC_BLOB_TRANSFER[] = L"00028";
inline constexpr wchar_t LOC_COPY_STRUCTURE[] = L"00029";
inline constexpr wchar_t LOC_LOAD_CURRENT_ROW[] = L"00031";
inline constexpr wchar_t LOC_BACKUP_FOLDER[] = L"00032";
inline constexpr wchar_t LOC_NODE_EXISTS[] = L"00034";
inline constexpr wchar_t LOC_VALUE_EXISTS[] = L"00035";
inline constexpr wchar_t LOC_CREATE_NODE[] = L"00036";
inline constexpr wchar_t LOC_ADD_TEXT_VALUE[] = L"00037";
inline constexpr wchar_t LOC_NEXT_VALUE[] = L"00038";
inline constexpr wchar_t LOC_GET_TEXT_VALUE[] = L"00039";
inline constexpr wchar_t LOC_UPDATE_TEXT_VALUE[] = L"00040";
inline constexpr wchar_t LOC_LAUNCH_COMPANION[] = L"00041";
inline constexpr wchar_t LOC_PAGE_CACHE_LOAD[] = L"00043";
