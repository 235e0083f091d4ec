#include "data/rowloader.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/cadbsqlrecset.h"
#include "data/constants.h"
#include "data/formatstring.h"
#include "data/rowiteration.h"
#include "data/settings.h"
#include "data/sqlite16.h"
#include "platform/captionline.h"
#include "platform/messagebox.h"
#include "platform/messagetarget.h"

std::recursive_mutex g_csRowIds;
AutoResetEvent g_hLoaderWorkEvent;
AutoResetEvent g_hFirstPageEvent;
std::atomic<CADbSqlRecSet*> g_pLoaderRecSet{nullptr};
std::atomic<int> g_bLoaderBusy{0};
std::atomic<int> g_bLoaderStop{0};
int g_nRecSetCount = 0;
std::thread g_loaderThread;

namespace {

// Guards the hand-over: the slot, the busy flag's updates and the record set of the
// running job, so that a record set being destroyed sees either its job waiting in
// the slot or running, never in between.
std::mutex g_jobMutex;
std::condition_variable g_jobLeft;
CADbSqlRecSet* g_pLoaderJobRecSet = nullptr;

// The rowid iterator's iteration in progress (loader thread only).
RowIteration g_rowIdQueryIteration;

// Rowids are appended under g_csRowIds in batches of this many, and at every count
// that a post or the first page reports, so the list always holds the rows reported.
constexpr size_t kAppendBatch = 512;

// A limit of 0 or less (settings not loaded) loads every row.
bool LimitReached(int rows, int limit) { return limit > 0 && rows >= limit; }

void UpdateBusyFlag()
{
    // Still busy when a later re-query has already asked for the next load.
    g_bLoaderBusy = g_pLoaderRecSet.load() != nullptr ? 1 : 0;
}

} // namespace

void AutoResetEvent::Set()
{
    {
        std::lock_guard lock(m_mutex);
        m_bSet = true;
    }
    m_cv.notify_one();
}

void AutoResetEvent::Wait()
{
    std::unique_lock lock(m_mutex);
    m_cv.wait(lock, [this] { return m_bSet; });
    m_bSet = false;
}

void AutoResetEvent::Reset()
{
    std::lock_guard lock(m_mutex);
    m_bSet = false;
}

void AttachRecSetToLoader()
{
    if (++g_nRecSetCount != 1)
        return;
    // The previous thread, if any, was joined by the last record set before.
    g_hLoaderWorkEvent.Reset();
    g_hFirstPageEvent.Reset();
    g_bLoaderStop = 0;
    g_loaderThread = std::thread(RowLoaderThread);
}

void DetachRecSetFromLoader(CADbSqlRecSet* recSet)
{
    recSet->m_bCancelLoad = 1;
    {
        std::unique_lock lock(g_jobMutex);
        CADbSqlRecSet* waiting = recSet;
        if (g_pLoaderRecSet.compare_exchange_strong(waiting, nullptr))
            g_bLoaderBusy = g_pLoaderJobRecSet != nullptr ? 1 : 0;
        // The running job notices the cancel flag after its current step.
        g_jobLeft.wait(lock, [recSet] { return g_pLoaderJobRecSet != recSet; });
    }
    if (--g_nRecSetCount == 0) {
        g_bLoaderStop = 1;
        g_hLoaderWorkEvent.Set();
        g_loaderThread.join();
    }
}

void RowLoaderThread()
{
    g_hLoaderWorkEvent.Wait();
    while (!g_bLoaderStop) {
        RowLoaderJob();
        {
            std::lock_guard lock(g_jobMutex);
            UpdateBusyFlag();
        }
        g_hLoaderWorkEvent.Wait();
    }
    g_bLoaderStop = 0;
}

void RowLoaderJob()
{
    CADbSqlRecSet* recSet = nullptr;
    {
        std::lock_guard lock(g_jobMutex);
        recSet = g_pLoaderRecSet.exchange(nullptr);
        g_pLoaderJobRecSet = recSet;
    }
    if (!recSet)
        return;
    if (recSet->m_bOffsetMode)
        recSet->CountRowsOffsetMode(recSet->m_strTableName);
    else
        recSet->LoadRowIds();
    {
        std::lock_guard lock(g_jobMutex);
        g_pLoaderJobRecSet = nullptr;
    }
    g_jobLeft.notify_all();
}

bool CADbSqlRecSet::Requery()
{
    m_nCurrentRow = -1;
    m_nCurrentRowId = 0;
    CloseRowStmt();
    CancelBound();
    ++m_nPendingLoads;
    {
        std::lock_guard lock(g_jobMutex);
        g_pLoaderRecSet = this;
        g_bLoaderBusy = 1;
    }
    g_hLoaderWorkEvent.Set();
    // A load already running goes on to its end first; the loader never waits for
    // this thread, so this wait ends.
    g_hFirstPageEvent.Wait();
    return MoveTo(-1);
}

bool CADbSqlRecSet::StepRowIdQuery(const std::wstring& sql, SqlStatement& stmt)
{
    if (!g_rowIdQueryIteration.Continues(sql, stmt)) {
        g_rowIdQueryIteration.End();
        stmt = m_pDatabase->ExecuteStmt(sql);
        if (!stmt)
            return false;
        g_rowIdQueryIteration.Begin(sql, stmt);
    }
    std::wstring message;
    const int rc = sqlite16::Step(stmt, message);
    if (rc == SQLITE_ROW)
        return true;
    g_rowIdQueryIteration.End();
    if (rc == SQLITE_DONE) {
        sqlite3_reset(stmt);
        stmt.Finalize();
        return false;
    }
    throw CADbSqlException(SQLITE_ERROR, message, L"");
}

void CADbSqlRecSet::PostLoad(int wParam, int rows) const
{
    if (m_pNotifyWnd)
        platform::PostMessage(m_pNotifyWnd, UM_LOAD_TABLE_DATA, static_cast<WPARAM>(wParam), rows);
}

void CADbSqlRecSet::EndLoad(int rows, bool postFinal, bool setFirstPage)
{
    // The load counts as ended before its final post arrives.
    --m_nPendingLoads;
    {
        std::lock_guard lock(g_jobMutex);
        UpdateBusyFlag();
    }
    if (postFinal)
        PostLoad(0, rows);
    if (setFirstPage)
        g_hFirstPageEvent.Set();
}

void CADbSqlRecSet::LoadRowIds()
{
    enum class End { Complete, RowLimit, Stopped, Failed };

    std::wstring sql;
    FormatString(sql, L"SELECT rowid FROM [%s] ", SqlName{m_strTableName});
    sql += BuildWhereOrderClause();
    {
        std::lock_guard lock(g_csRowIds);
        m_arrRowIds.clear();
    }
    const int limit = g_nMaxGridRows;
    sqlite3_int64 batch[kAppendBatch];
    size_t inBatch = 0;
    auto flush = [&] {
        if (inBatch == 0)
            return;
        std::lock_guard lock(g_csRowIds);
        m_arrRowIds.append(batch, inBatch);
        inBatch = 0;
    };

    int n = 0;
    bool firstPage = false;
    SqlStatement stmt;
    End end = End::Complete;
    std::wstring failure;
    try {
        while (StepRowIdQuery(sql, stmt)) {
            batch[inBatch++] = sqlite3_column_int64(stmt, 0);
            ++n;
            if (n == LOADER_FIRST_PAGE_ROWS) {
                flush();
                PostLoad(1, n);
                g_hFirstPageEvent.Set();
                firstPage = true;
            }
            if (g_bLoaderStop.load(std::memory_order_relaxed) || m_bCancelLoad.load(std::memory_order_relaxed)) {
                end = End::Stopped;
                break;
            }
            if (LimitReached(n, limit)) {
                end = End::RowLimit;
                break;
            }
            if (n % LOADER_PROGRESS_ROWS == 0) {
                flush();
                PostLoad(1, n);
            }
            if (inBatch == kAppendBatch)
                flush();
        }
    } catch (const CADbSqlException& e) {
        end = End::Failed;
        failure = e.GetErrorText();
    }
    flush();

    if (end == End::RowLimit) {
        PostLoad(1, n);
        // The waiting re-query is released before the warning, so that neither thread
        // waits for the other; the box from this thread is queued and not waited for.
        if (!firstPage) {
            g_hFirstPageEvent.Set();
            firstPage = true;
        }
        platform::ShowCaptionLine(STR_ROW_LIMIT_REACHED, platform::CAPTION_LINE_WARNING);
        platform::MessageBox(nullptr, STR_ROW_LIMIT_REACHED, STR_WARNING_CAPTION,
                             platform::MB_OK | platform::MB_ICONWARNING);
    }
    if (stmt)
        sqlite3_reset(stmt);
    stmt.Finalize();
    g_rowIdQueryIteration.End();
    if (end == End::Failed)
        platform::ShowCaptionLine(failure, platform::CAPTION_LINE_ERROR);
    // A stopped or cancelled load answers no re-query and posts nothing more.
    const bool ended = end != End::Stopped;
    EndLoad(n, ended, ended && !firstPage);
}

int CADbSqlRecSet::CountRowsOffsetMode(const std::wstring& viewName)
{
    std::wstring sql;
    FormatString(sql, L"SELECT rowid FROM [%s]", SqlName{viewName});
    const int limit = g_nMaxGridRows;
    int n = 0;
    bool firstPage = false;
    bool cancelled = false;
    std::wstring failure;
    SqlStatement stmt;
    auto report = [&] {
        m_nOffsetRowCount = n;
        PostLoad(1, n);
    };
    try {
        stmt = m_pDatabase->ExecuteStmt(sql);
        while (stmt) {
            std::wstring message;
            const int rc = sqlite16::Step(stmt, message);
            if (rc == SQLITE_DONE)
                break;
            // A failed step ends the count like its end, instead of being stepped again.
            if (rc != SQLITE_ROW)
                throw CADbSqlException(SQLITE_ERROR, message, L"");
            ++n;
            if (n == LOADER_FIRST_PAGE_ROWS) {
                report();
                g_hFirstPageEvent.Set();
                firstPage = true;
            }
            if (n % LOADER_COUNT_PROGRESS_ROWS == 0)
                report();
            if (LimitReached(n, limit)) {
                report();
                if (!firstPage) {
                    g_hFirstPageEvent.Set();
                    firstPage = true;
                }
                platform::ShowCaptionLine(STR_ROW_LIMIT_REACHED_COUNT, platform::CAPTION_LINE_WARNING);
                break;
            }
            if (m_bCancelLoad.load(std::memory_order_relaxed)) {
                cancelled = true;
                break;
            }
        }
    } catch (const CADbSqlException& e) {
        failure = e.GetErrorText();
    }
    stmt.Finalize();
    m_nOffsetRowCount = n;
    if (!failure.empty())
        platform::ShowCaptionLine(failure, platform::CAPTION_LINE_ERROR);
    // A cancelled count still posts its end but answers no re-query.
    EndLoad(n, true, !firstPage && !cancelled);
    return n;
}
