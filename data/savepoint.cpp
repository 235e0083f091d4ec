#include "data/savepoint.h"

#include "data/cadbsqldb.h"

#include <utility>

Savepoint::Savepoint(CADbSqlDb& db, std::wstring name)
    : m_db(db)
    , m_strName(std::move(name))
    , m_bBeganTransaction(!db.InTransaction())
{
    m_db.ExecuteCmd(L"SAVEPOINT " + m_strName);
}

Savepoint::~Savepoint() { Rollback(); }

void Savepoint::Release()
{
    m_db.ExecuteCmd(L"RELEASE " + m_strName);
    m_bEnded = true;
}

bool Savepoint::Rollback() noexcept
{
    if (m_bEnded)
        return false;
    m_bEnded = true;
    // A statement of the unit ended the whole transaction: nothing is left to take back.
    if (!m_db.InTransaction())
        return !m_bBeganTransaction;
    m_db.ExecuteQuietly(L"ROLLBACK TO " + m_strName);
    m_db.ExecuteQuietly(L"RELEASE " + m_strName);
    if (m_bBeganTransaction && m_db.InTransaction())
        m_db.ExecuteQuietly(L"ROLLBACK");
    return false;
}
