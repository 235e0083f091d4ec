#pragma once
// The settings nodes of the application data file and their loaders: each loader
// creates a missing node with its default and copies the node's value into its global.
#include <string>

// Default values of the settings that a fresh data file receives.
inline constexpr int DEFAULT_TEXT_COLOR = 0;
inline constexpr int DEFAULT_EVEN_ROW_COLOR = 13816530; // RGB(210,210,210)
inline constexpr int DEFAULT_ODD_ROW_COLOR = 16448250;  // RGB(250,250,250)
inline constexpr int DEFAULT_MAX_GRID_ROWS = 6000000;
inline constexpr int DEFAULT_COL_WIDTH = 100;
inline constexpr int DEFAULT_REPORT_COL_WIDTH = 2;
inline constexpr wchar_t DEFAULT_REPORT_TEXT[] = L" ";
inline constexpr wchar_t BACKUP_FOLDER_NAME[] = L"TBNBackup";

// Report column widths.
inline constexpr int REPORT_WIDTH_SHORTER = 1;
inline constexpr int REPORT_WIDTH_DEFAULT = 2;
inline constexpr int REPORT_WIDTH_LONGER = 3;

// Backup periods.
inline constexpr int BACKUP_DAILY = 1;
inline constexpr int BACKUP_WEEKLY = 2;
inline constexpr int BACKUP_EVERY_OPENING = 3;

// The user's home folder with a trailing "/": the default database folder.
std::wstring DefaultDbFolder();
// TBNBackup in the user's home folder: the default backup folder.
std::wstring DefaultBackupFolder();

// The ten datasheet and report settings.
void LoadDatasheetSettings();
// The four backup settings, then the time of the last backup. A missing backup folder
// node makes the default folder (the one folder, not its parents).
void LoadBackupSettings();
