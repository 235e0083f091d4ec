#include "data/sqlstatement.h"

#include <mutex>
#include <vector>

namespace {

// Every owner that holds a statement, so that a closing connection finds its statements'
// owners. Nothing that takes a connection's mutex runs under this lock: an owner may be
// made while a thread holds a connection's mutex, so this lock is only ever taken inside
// one, never around one.
std::mutex g_ownersMutex;
SqlStatement* g_pFirstOwner = nullptr;

} // namespace

SqlStatement::SqlStatement(sqlite3_stmt* stmt)
    : m_pStmt(stmt)
{
    if (m_pStmt) {
        std::lock_guard lock(g_ownersMutex);
        Link();
    }
}

SqlStatement::~SqlStatement() { Finalize(); }

SqlStatement::SqlStatement(SqlStatement&& other) noexcept
{
    std::lock_guard lock(g_ownersMutex);
    m_pStmt = other.m_pStmt;
    if (m_pStmt) {
        other.Unlink();
        other.m_pStmt = nullptr;
        Link();
    }
}

SqlStatement& SqlStatement::operator=(SqlStatement&& other) noexcept
{
    if (this == &other)
        return *this;
    sqlite3_stmt* old = nullptr;
    {
        std::lock_guard lock(g_ownersMutex);
        old = m_pStmt;
        if (old)
            Unlink();
        m_pStmt = other.m_pStmt;
        if (m_pStmt) {
            other.Unlink();
            other.m_pStmt = nullptr;
            Link();
        }
    }
    sqlite3_finalize(old);
    return *this;
}

sqlite3_stmt* SqlStatement::Take() noexcept
{
    std::lock_guard lock(g_ownersMutex);
    sqlite3_stmt* stmt = m_pStmt;
    if (stmt)
        Unlink();
    m_pStmt = nullptr;
    return stmt;
}

int SqlStatement::Finalize() noexcept
{
    // The closing of the connection may empty the owner at the same time; whichever
    // takes the statement first finalizes it, once.
    return sqlite3_finalize(Take());
}

void SqlStatement::FinalizeAll(sqlite3* db) noexcept
{
    std::vector<sqlite3_stmt*> taken;
    {
        std::lock_guard lock(g_ownersMutex);
        for (SqlStatement* owner = g_pFirstOwner; owner;) {
            SqlStatement* next = owner->m_pNext;
            if (sqlite3_db_handle(owner->m_pStmt) == db) {
                taken.push_back(owner->m_pStmt);
                owner->Unlink();
                owner->m_pStmt = nullptr;
            }
            owner = next;
        }
    }
    for (sqlite3_stmt* stmt : taken)
        sqlite3_finalize(stmt);
}

void SqlStatement::Link() noexcept
{
    m_pPrev = nullptr;
    m_pNext = g_pFirstOwner;
    if (g_pFirstOwner)
        g_pFirstOwner->m_pPrev = this;
    g_pFirstOwner = this;
}

void SqlStatement::Unlink() noexcept
{
    if (m_pPrev)
        m_pPrev->m_pNext = m_pNext;
    else
        g_pFirstOwner = m_pNext;
    if (m_pNext)
        m_pNext->m_pPrev = m_pPrev;
    m_pPrev = nullptr;
    m_pNext = nullptr;
}
