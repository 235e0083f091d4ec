#pragma once
// The recent-file list: up to 50 database paths, most recent first, kept in the user's
// profile under "Corvellan Software" / "Tabulon" (section "Recent File List", entries
// "File1" to "File50"). Every change is written at once, so a crash loses nothing.
#include <string>
#include <vector>

class QSettings;

namespace platform {

class RecentFileList {
public:
    static constexpr int CAPACITY = 50;

    // Reads the list from the profile.
    RecentFileList();
    // Reads and writes the list in the given settings file instead (tests).
    explicit RecentFileList(const std::wstring& settingsFile);

    int Capacity() const { return CAPACITY; }
    // The paths, most recent first; never more than Capacity().
    const std::vector<std::wstring>& Entries() const { return m_arrEntries; }
    // The path of slot index; "" for a slot past the last entry.
    std::wstring Slot(int index) const;
    // Puts the path first (absolute, with '/'); an entry of the same path moves up.
    void Add(const std::wstring& path);
    // Removes the entry of the path; false when it is not in the list.
    bool Remove(const std::wstring& path);

private:
    void Load();
    void Save() const;

    std::wstring m_strSettingsFile; // empty: the user's profile
    std::vector<std::wstring> m_arrEntries;
};

// The program's one list, read from the profile on first use.
RecentFileList& RecentFiles();
// Points the program's list at a settings file of its own and reads it (tests).
void UseRecentFileSettings(const std::wstring& settingsFile);

} // namespace platform
