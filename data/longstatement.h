#pragma once
// The wait for a long statement (a VACUUM, an UPDATE of every row, the grid's delete): the
// statement runs on a thread of its own while the user-interface thread waits
// responsively (platform/uiwait.h), and the windows that paint meanwhile leave the
// connection alone.
#include <atomic>
#include <functional>
#include <string>
#include <thread>

class CADbSqlDb;

// One run of work on the connection while the window waits.
class LongStatement {
public:
    explicit LongStatement(CADbSqlDb& db);
    LongStatement(const LongStatement&) = delete;
    LongStatement& operator=(const LongStatement&) = delete;

    // Runs `work`, which uses the connection, on a thread of its own while the
    // user-interface thread waits responsively: the window keeps painting with the wait
    // cursor shown and the user's input held until the work has ended; once the work
    // outlasts one short wait, the caption strip shows `line`. The connection is held
    // long meanwhile (HeldLong). An exception of the work is thrown again here. Off the
    // user-interface thread the work simply runs and is waited for.
    // With a stop, the user can ask the work to stop (Escape, see platform/uiwait.h):
    // `stop` then runs on the user-interface thread while the work goes on, and may call
    // Interrupt; the wait lasts until the work has ended all the same.
    void Run(const std::wstring& line, const std::function<void()>& work, const std::function<void()>& stop = {});
    // From the stop of Run: the statement that the work is stepping fails with
    // SQLITE_INTERRUPT at its next check, within a few thousand engine steps, and so does
    // every later statement of the work. Statements that other threads step on the
    // connection meanwhile (the row loader's) go on. An interrupted write rolls back the
    // whole transaction it runs in, the caller's too (the engine's rule, see Savepoint).
    void Interrupt();

private:
    // The engine's progress callback while a stoppable work runs: true (interrupt) on the
    // work's thread once Interrupt was called.
    static int StopWorkProgress(void* run);

    CADbSqlDb& m_db;
    std::atomic<bool> m_bInterrupt{false};
    std::atomic<std::thread::id> m_workThread{};
};

// Runs one statement to its end as CADbSqlDb::ExecuteCmd does, through a LongStatement
// with `line` in the caption strip: for what the user typed, which may run long. False,
// with nothing run, when the text holds no statement. Throws on failure.
bool ExecuteResponsively(CADbSqlDb& db, const std::wstring& sql, const std::wstring& line);

// Marks the connection as held for long, while it lives, by what the user-interface
// thread waits for responsively (a long statement, a sort's first step): the windows
// that paint meanwhile read nothing from the connection, so that no paint waits for it.
class HeldLong {
public:
    explicit HeldLong(CADbSqlDb& db);
    ~HeldLong();
    HeldLong(const HeldLong&) = delete;
    HeldLong& operator=(const HeldLong&) = delete;

private:
    CADbSqlDb& m_db;
};
// True while a HeldLong marks the connection.
bool IsHeldLong(const CADbSqlDb& db);
