#pragma once
// A savepoint on a connection: the statements run while it stands are one unit, kept by
// Release and taken back otherwise.
//
// Outside a transaction the savepoint begins one, and its release commits it. Inside a
// transaction the caller opened (a BEGIN in the console) it nests in that transaction:
// its release commits nothing (a deferred foreign key refuses at the caller's COMMIT),
// and taking the unit back leaves the caller's own work in place. One thing only the
// engine decides: a statement of the unit that ends the whole transaction (a conflict
// clause of ROLLBACK, an interrupted write) ends the caller's too, with its earlier work.
#include <string>

class CADbSqlDb;

class Savepoint {
public:
    // SAVEPOINT name; throws on failure, and then there is nothing to take back.
    Savepoint(CADbSqlDb& db, std::wstring name);
    // Takes the unit back unless it was released or taken back before.
    ~Savepoint();
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;

    // RELEASE: the unit is kept. Throws on failure (a commit refused); the unit is then
    // still taken back by Rollback or the destructor.
    void Release();
    // Takes the unit back (ROLLBACK TO and RELEASE) and ends a transaction the savepoint
    // began. True when the caller's transaction was ended by a statement of the unit, so
    // that the caller's earlier work is gone too. Nothing is shown or thrown.
    bool Rollback() noexcept;
    // Whether the savepoint began the transaction: none was open before it. Only then
    // does an interrupted write take back nothing but the unit.
    bool BeganTransaction() const { return m_bBeganTransaction; }

private:
    CADbSqlDb& m_db;
    std::wstring m_strName;
    bool m_bBeganTransaction = false;
    bool m_bEnded = false; // released or taken back
};
