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
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class CADbSqlRecSet;

// An event that releases one wait and then clears itself.
class AutoResetEvent {
public:
    void Set();
    void Wait();
    void Reset();

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bSet = false;
};

inline constexpr int LOADER_FIRST_PAGE_ROWS = 2000;
inline constexpr int LOADER_PROGRESS_ROWS = 50000;        // rowid mode
inline constexpr int LOADER_COUNT_PROGRESS_ROWS = 200000; // offset mode

// Guards the rowid list of every record set. The loader holds it for one append of a
// few rows, the user-interface thread for one read or change; neither calls the
// engine or waits while holding it.
extern std::recursive_mutex g_csRowIds;
extern AutoResetEvent g_hLoaderWorkEvent; // wakes the loader
extern AutoResetEvent g_hFirstPageEvent;  // the running job has its first page or has ended
extern std::atomic<CADbSqlRecSet*> g_pLoaderRecSet; // the record set the next job loads
extern std::atomic<int> g_bLoaderBusy; // 1 from a re-query until no load is asked for or running
extern std::atomic<int> g_bLoaderStop; // stop request; the thread clears it when it ends
extern int g_nRecSetCount;             // record sets alive (user-interface thread only)
extern std::thread g_loaderThread;     // not joinable while no record set lives

// Called by every record set's constructor: the first one starts the thread.
void AttachRecSetToLoader();
// Called by every record set's destructor: cancels and removes the record set's load,
// waits until the loader has left it, and stops the thread after the last one.
void DetachRecSetFromLoader(CADbSqlRecSet* recSet);

void RowLoaderThread();
void RowLoaderJob();
