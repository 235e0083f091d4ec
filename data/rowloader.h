#pragma once
// The row loader: one background thread shared by every record set. A re-query hands
// it a record set through a one-slot job hand-over and waits for the first page; the
// thread collects the table's rowids (rowid mode) or counts the view's rows (offset
// mode) and posts its progress to the record set's notification target.
//
// The thread lives while record sets live: the first record set starts it, the last
// one stops and joins it. A record set being destroyed waits until the loader has
// let go of it, which takes at most the one engine step in progress, because the
// loader never waits for the user-interface thread.
//
// All of the loader's state is one object, RowLoaderState, owned by the program; the
// names g_csRowIds and the like refer to its members.
#include "data/rowiteration.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class CADbSqlRecSet;

// An event that releases one wait and then clears itself.
class AutoResetEvent {
public:
    void Set();
    void Wait();
    // Waits at most the time given; true (and reset) when the event was set.
    bool WaitFor(std::chrono::milliseconds timeout);
    void Reset();

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bSet = false;
};

inline constexpr int LOADER_FIRST_PAGE_ROWS = 2000;
inline constexpr int LOADER_PROGRESS_ROWS = 50000;        // rowid mode
inline constexpr int LOADER_COUNT_PROGRESS_ROWS = 200000; // offset mode

class RowLoaderState {
public:
    // The one loader of the program.
    static RowLoaderState& Instance();

    RowLoaderState(const RowLoaderState&) = delete;
    RowLoaderState& operator=(const RowLoaderState&) = delete;

    // Called by every record set's constructor: the first one starts the thread.
    void AttachRecSet();
    // Called by every record set's destructor: cancels and removes the record set's load,
    // waits until the loader has left it, and stops the thread after the last one.
    void DetachRecSet(CADbSqlRecSet* recSet);
    // Puts the record set into the job slot (replacing a job not yet taken up) and wakes
    // the thread.
    void RequestLoad(CADbSqlRecSet* recSet);
    // The busy flag follows the slot: still busy when a later re-query has already
    // asked for the next load. Called when a job ends.
    void JobEnded();

    // Guards the rowid list of every record set. The loader holds it for one append of a
    // few rows, the user-interface thread for one read or change; neither calls the
    // engine or waits while holding it.
    std::recursive_mutex m_csRowIds;
    AutoResetEvent m_hLoaderWorkEvent;                  // wakes the loader
    AutoResetEvent m_hFirstPageEvent;                   // the running job has its first page or has ended
    std::atomic<CADbSqlRecSet*> m_pLoaderRecSet{nullptr}; // the record set the next job loads
    std::atomic<int> m_bLoaderBusy{0}; // 1 from a re-query until no load is asked for or running
    std::atomic<int> m_bLoaderStop{0}; // stop request; the thread clears it when it ends
    int m_nRecSetCount = 0;            // record sets alive (user-interface thread only)
    std::thread m_loaderThread;        // not joinable while no record set lives
    // The rowid iterator's iteration in progress (loader thread only).
    RowIteration m_rowIdQueryIteration;

private:
    RowLoaderState() = default;
    void RowLoaderThread();
    void RowLoaderJob();

    // Guards the hand-over: the slot, the busy flag's updates and the record set of the
    // running job, so that a record set being destroyed sees either its job waiting in
    // the slot or running, never in between.
    std::mutex m_jobMutex;
    std::condition_variable m_jobLeft;
    CADbSqlRecSet* m_pLoaderJobRecSet = nullptr;
};

// The loader's state under the names the rest of the program knows it by.
extern std::recursive_mutex& g_csRowIds;
extern AutoResetEvent& g_hLoaderWorkEvent;
extern AutoResetEvent& g_hFirstPageEvent;
extern std::atomic<CADbSqlRecSet*>& g_pLoaderRecSet;
extern std::atomic<int>& g_bLoaderBusy;
extern std::atomic<int>& g_bLoaderStop;
extern int& g_nRecSetCount;
extern std::thread& g_loaderThread;
