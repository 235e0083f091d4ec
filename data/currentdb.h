#pragma once
// The program-wide connection on the open database file. The current-database
// state of the documents layer creates and destroys it; the data layer only uses it.
class CADbSqlDb;

extern CADbSqlDb* g_pCurrentDb;

// The current connection; throws the null-connection failure when there is none.
CADbSqlDb& CurrentDb();
