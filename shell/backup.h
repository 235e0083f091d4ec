#pragma once
// Backup copies of database files: their names, the time of the last one, the test
// whether one is due when a file opens, and the copy itself.
#include "data/databasecopy.h"

#include <atomic>
#include <string>

inline constexpr wchar_t STR_BACKUP_FAILED[] =
    L"Please check to make sure <%s>\nis exist and it is not write protected. Error code = <%d>";

// Creates "BACKUP\DATE_TIME" with the never-backed-up time when it is missing, then
// reads it into g_strLastBackup.
void LoadLastBackupTime();
// Writes the current local date and time into "BACKUP\DATE_TIME" when the node exists;
// g_strLastBackup keeps its value.
void RecordBackupTime();

// True when opening the file at path should first make a backup copy of it: automatic
// backup is on, the path is the configured backup file (exactly) and the period since
// the last backup has passed. Refreshes g_strLastBackup from the store.
bool IsBackupDue(const std::wstring& path);

// The number for a new copy whose name without number is probe (folder, name, date
// text and extension): one more than the greatest number of the copies of that name in
// the backup folder, 0 for the first.
int NextBackupNumber(const std::wstring& probe);

// The path of a new copy of source in g_strBackupFolder, named with today's date and
// the next free number: "<folder>/<name><yyyy-mm-dd >_<n><.ext>".
std::wstring BackupTargetPath(const std::wstring& source);

// Copies source into a new backup copy (CopyDatabaseFile), reporting whole percentages.
// Runs on a worker thread; stops when cancel is set. target receives the copy's path.
DatabaseCopyResult CopyBackupFile(const std::wstring& source, std::wstring& target, const std::atomic<bool>& cancel,
                                  const CopyPercent& progress);
