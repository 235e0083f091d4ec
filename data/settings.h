#pragma once
// Program-wide settings values, loaded at start-up from the application data file
// and edited by the settings sheet. The data layer reads several of them.
#include <atomic>
#include <string>

extern std::wstring g_strFontFace;
extern std::wstring g_strFontSize;
extern unsigned g_clrText;    // 0x00BBGGRR
extern unsigned g_clrEvenRow; // 0x00BBGGRR
extern unsigned g_clrOddRow;  // 0x00BBGGRR
extern std::atomic<int> g_nMaxGridRows; // row limit of a datasheet load, read by the loader thread
extern int g_nDefColWidth;
extern int g_nReportColWidth;
extern std::wstring g_strReportHeader;
extern std::wstring g_strReportFooter;
extern bool g_bAutoBackup;
extern int g_nBackupPeriod;
extern std::wstring g_strBackupFile;
extern std::wstring g_strBackupFolder;
extern std::wstring g_strLastBackup; // "yyyy-mm-dd hh:mm:ss..." of the last backup
