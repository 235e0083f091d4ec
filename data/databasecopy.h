#pragma once
// Whole copies of a database file. The copy goes through the engine's online backup
// from a private connection that holds one read transaction for the whole copy, so the
// copy is one committed state of the database: the rows of a write-ahead log are in
// it, other programs' writers and checkpoints cannot tear it, and no reader's old
// snapshot holds it back. The program-wide connection is never used, so its users
// never wait for a copy. The copy is written beside the target (a file with no name
// until it is whole, where the file system allows), flushed to disk and then linked to
// the target's name, which is never written over; a copy killed part-way leaves nothing
// the next copy into that folder does not remove. Only a file that the engine says is
// not a database is copied byte for byte.
#include <atomic>
#include <functional>
#include <string>

struct DatabaseCopyResult {
    int error = 0;             // 0, ECANCELED, or an errno value
    bool sourceFailed = false; // the source was missing, unreadable or busy
};

// Called with the whole percentage copied, each time it grows.
using CopyPercent = std::function<void(int percent)>;

// Copies the file at source into a new file at target. A set cancel stops the copy,
// also while it waits for another connection's lock (g_nBusyTimeout at most); a
// copy that does not complete leaves nothing behind.
DatabaseCopyResult CopyDatabaseFile(const std::wstring& source, const std::wstring& target,
                                    const std::atomic<bool>* cancel, const CopyPercent& progress);
