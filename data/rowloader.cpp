#include "data/rowloader.h"

#include "data/cadbsqlrecset.h"

RowLoaderState& RowLoaderState::Instance()
{
    static RowLoaderState state;
    return state;
}

std::recursive_mutex& g_csRowIds = RowLoaderState::Instance().m_csRowIds;
AutoResetEvent& g_hLoaderWorkEvent = RowLoaderState::Instance().m_hLoaderWorkEvent;
AutoResetEvent& g_hFirstPageEvent = RowLoaderState::Instance().m_hFirstPageEvent;
std::atomic<CADbSqlRecSet*>& g_pLoaderRecSet = RowLoaderState::Instance().m_pLoaderRecSet;
std::atomic<int>& g_bLoaderBusy = RowLoaderState::Instance().m_bLoaderBusy;
std::atomic<int>& g_bLoaderStop = RowLoaderState::Instance().m_bLoaderStop;
int& g_nRecSetCount = RowLoaderState::Instance().m_nRecSetCount;
std::thread& g_loaderThread = RowLoaderState::Instance().m_loaderThread;

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

bool AutoResetEvent::WaitFor(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    if (!m_cv.wait_for(lock, timeout, [this] { return m_bSet; }))
        return false;
    m_bSet = false;
    return true;
}

void AutoResetEvent::Reset()
{
    std::lock_guard lock(m_mutex);
    m_bSet = false;
}

void RowLoaderState::AttachRecSet()
{
    if (++m_nRecSetCount != 1)
        return;
    // The previous thread, if any, was joined by the last record set before.
    m_hLoaderWorkEvent.Reset();
    m_hFirstPageEvent.Reset();
    m_bLoaderStop = 0;
    m_loaderThread = std::thread([this] { RowLoaderThread(); });
}

void RowLoaderState::DetachRecSet(CADbSqlRecSet* recSet)
{
    recSet->m_bCancelLoad = 1;
    {
        std::unique_lock lock(m_jobMutex);
        CADbSqlRecSet* waiting = recSet;
        if (m_pLoaderRecSet.compare_exchange_strong(waiting, nullptr))
            m_bLoaderBusy = m_pLoaderJobRecSet != nullptr ? 1 : 0;
        // The running job notices the cancel flag after its current step.
        m_jobLeft.wait(lock, [this, recSet] { return m_pLoaderJobRecSet != recSet; });
    }
    if (--m_nRecSetCount == 0) {
        m_bLoaderStop = 1;
        m_hLoaderWorkEvent.Set();
        m_loaderThread.join();
    }
}

void RowLoaderState::RequestLoad(CADbSqlRecSet* recSet)
{
    {
        std::lock_guard lock(m_jobMutex);
        m_pLoaderRecSet = recSet;
        m_bLoaderBusy = 1;
    }
    m_hLoaderWorkEvent.Set();
}

void RowLoaderState::JobEnded()
{
    std::lock_guard lock(m_jobMutex);
    m_bLoaderBusy = m_pLoaderRecSet.load() != nullptr ? 1 : 0;
}

void RowLoaderState::RowLoaderThread()
{
    m_hLoaderWorkEvent.Wait();
    while (!m_bLoaderStop) {
        RowLoaderJob();
        JobEnded();
        m_hLoaderWorkEvent.Wait();
    }
    m_bLoaderStop = 0;
}

void RowLoaderState::RowLoaderJob()
{
    CADbSqlRecSet* recSet = nullptr;
    {
        std::lock_guard lock(m_jobMutex);
        recSet = m_pLoaderRecSet.exchange(nullptr);
        m_pLoaderJobRecSet = recSet;
    }
    if (!recSet)
        return;
    if (recSet->m_bOffsetMode)
        recSet->CountRowsOffsetMode(recSet->m_strTableName);
    else
        recSet->LoadRowIds();
    {
        std::lock_guard lock(m_jobMutex);
        m_pLoaderJobRecSet = nullptr;
    }
    m_jobLeft.notify_all();
}
