#include "shell/backup.h"

#include "data/cappdatafile.h"
#include "data/constants.h"
#include "data/csplitpath.h"
#include "data/datetimeutil.h"
#include "data/formatstring.h"
#include "data/settings.h"
#include "document/session/cmainframebase.h"
#include "platform/utf16.h"
#include "shell/settingsloaders.h"

#include <QDir>

#include <cerrno>
#include <climits>
#include <cwctype>

namespace {

bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    return true;
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

bool EndsWith(const std::wstring& text, const std::wstring& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

void LoadLastBackupTime()
{
    CAppDataFile* store = MainAppDataFile();
    if (!store)
        return;
    if (!store->NodeExists(NODE_BACKUP_DATE_TIME)) {
        store->CreateNode(NODE_BACKUP_DATE_TIME, NODE_TYPE_TEXT);
        store->AddTextValue(NODE_BACKUP_DATE_TIME, STR_NO_BACKUP_TIME);
    }
    store->GetTextValue(NODE_BACKUP_DATE_TIME, g_strLastBackup);
}

void RecordBackupTime()
{
    CAppDataFile* store = MainAppDataFile();
    if (!store || !store->NodeExists(NODE_BACKUP_DATE_TIME))
        return;
    std::wstring now, date, time;
    store->UpdateTextValue(NODE_BACKUP_DATE_TIME, GetNowText(now, date, time));
}

bool IsBackupDue(const std::wstring& path)
{
    if (!g_bAutoBackup)
        return false;
    if (CAppDataFile* store = MainAppDataFile())
        store->GetTextValue(NODE_BACKUP_DATE_TIME, g_strLastBackup);
    std::wstring now, date, time;
    const int days = GetDaysSinceLastBackup(GetNowText(now, date, time));
    // Linux paths are case-sensitive: only the configured file itself is backed up.
    if (path != g_strBackupFile)
        return false;
    platform::DateValue last;
    if (EqualsIgnoringCase(g_strLastBackup, STR_NO_BACKUP_TIME) || !ParseDateTimeText(g_strLastBackup, last).IsValid())
        return true; // never backed up, or no time that can be read
    switch (g_nBackupPeriod) {
    case BACKUP_DAILY:
        return days >= 1;
    case BACKUP_WEEKLY:
        return days >= 7;
    case BACKUP_EVERY_OPENING:
        return true;
    default:
        return false;
    }
}

int NextBackupNumber(const std::wstring& probe)
{
    const CSplitPath split(probe.c_str());
    const std::wstring prefix = split.GetFileName();
    const std::wstring suffix = split.GetExt();
    const QStringList names = QDir(platform::ToQString(g_strBackupFolder)).entryList(QDir::Files | QDir::Hidden);
    int best = -1;
    for (const QString& entry : names) {
        const std::wstring name = platform::FromQString(entry);
        // Matched literally: a '[' or '*' in a file name is no pattern.
        if (name.size() < prefix.size() + suffix.size() || !StartsWith(name, prefix) || !EndsWith(name, suffix))
            continue;
        const std::wstring title = CSplitPath(name.c_str()).GetFileName();
        const size_t underscore = title.rfind(L'_');
        if (title.empty() || underscore == std::wstring::npos)
            continue;
        best = std::max(best, ReadDecimal(title.substr(underscore + 1)));
    }
    return best < INT_MAX ? best + 1 : INT_MAX;
}

std::wstring BackupTargetPath(const std::wstring& source)
{
    std::wstring now, date, time;
    GetNowText(now, date, time);
    const CSplitPath split(source.c_str());
    const std::wstring name = split.GetFileName();
    const std::wstring ext = split.GetExt();
    const int number = NextBackupNumber(g_strBackupFolder + L"/" + name + date + ext);
    std::wstring target;
    return FormatString(target, L"%s/%s%s_%d%s", g_strBackupFolder.c_str(), name.c_str(), date.c_str(), number,
                        ext.c_str());
}

DatabaseCopyResult CopyBackupFile(const std::wstring& source, std::wstring& target, const std::atomic<bool>& cancel,
                                  const CopyPercent& progress)
{
    target = BackupTargetPath(source);
    return CopyDatabaseFile(source, target, &cancel, progress);
}
