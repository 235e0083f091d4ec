#include "data/currentdb.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"

CADbSqlDb* g_pCurrentDb = nullptr;

CADbSqlDb& CurrentDb()
{
    if (!g_pCurrentDb)
        throw CADbSqlException(ADBSQL_NULL_POINTER, L"m_pDb(NULL)", L"CADbSqlDb::CheckDb()");
    return *g_pCurrentDb;
}
