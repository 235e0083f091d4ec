#include "data/longstatement.h"

#include "data/cadbsqldb.h"
#include "platform/captionline.h"
#include "platform/uiwait.h"
#include "platform/waitcursor.h"

#include <sqlite3.h>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>

namespace {

// A stoppable work's statements look for the stop every this many engine steps: a few
// microseconds of work.
constexpr int kStopCheckSteps = 1000;

} // namespace

LongStatement::LongStatement(CADbSqlDb& db)
    : m_db(db)
{
}

void LongStatement::Run(const std::wstring& line, const std::function<void()>& work,
                        const std::function<void()>& stop)
{
    platform::WaitCursor wait;
    const HeldLong held(m_db);
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    std::exception_ptr failure;
    // The callback is set before the work starts: setting it takes the connection's lock,
    // which the work holds for the whole of each step.
    m_bInterrupt = false;
    if (stop)
        sqlite3_progress_handler(m_db.m_pDb, kStopCheckSteps, StopWorkProgress, this);
    std::thread worker([&] {
        m_workThread = std::this_thread::get_id();
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        {
            std::lock_guard lock(mutex);
            done = true;
        }
        ended.notify_all();
    });
    bool lineShown = false;
    unsigned shownLine = 0;
    const platform::ReadyCheck workEnded = [&](bool brief) {
        std::unique_lock lock(mutex);
        if (!brief) {
            ended.wait(lock, [&] { return done; });
            return true;
        }
        if (ended.wait_for(lock, std::chrono::milliseconds(10), [&] { return done; }))
            return true;
        lock.unlock();
        if (!lineShown) {
            platform::ShowCaptionLine(line, platform::CAPTION_LINE_NORMAL);
            shownLine = platform::CaptionLineCount();
        }
        lineShown = true;
        return false;
    };
    platform::WaitResponsively(workEnded, stop);
    worker.join();
    // The line says what runs: it goes with the work, unless another line came since.
    if (lineShown)
        platform::ClearPassingCaptionLine(shownLine);
    if (stop)
        sqlite3_progress_handler(m_db.m_pDb, 0, nullptr, nullptr);
    m_workThread = std::thread::id();
    m_bInterrupt = false;
    if (failure)
        std::rethrow_exception(failure);
}

void LongStatement::Interrupt() { m_bInterrupt = true; }

int LongStatement::StopWorkProgress(void* run)
{
    const auto* self = static_cast<const LongStatement*>(run);
    return self->m_bInterrupt.load() && std::this_thread::get_id() == self->m_workThread.load() ? 1 : 0;
}

bool ExecuteResponsively(CADbSqlDb& db, const std::wstring& sql, const std::wstring& line)
{
    SqlStatement stmt = db.ExecuteStmt(sql);
    if (!stmt)
        return false;
    LongStatement(db).Run(line, [&] { db.StepToEnd(stmt); });
    return true;
}

HeldLong::HeldLong(CADbSqlDb& db)
    : m_db(db)
{
    ++m_db.m_nHeldLong;
}

HeldLong::~HeldLong() { --m_db.m_nHeldLong; }

bool IsHeldLong(const CADbSqlDb& db) { return db.m_nHeldLong.load() > 0; }
