#include "data/settings.h"

// Values before the settings loaders ran; each loader fills its global from its node.
std::wstring g_strFontFace;
std::wstring g_strFontSize;
unsigned g_clrText = 0;
unsigned g_clrEvenRow = 0;
unsigned g_clrOddRow = 0;
std::atomic<int> g_nMaxGridRows = 0;
int g_nDefColWidth = 100;
int g_nReportColWidth = 2;
std::wstring g_strReportHeader = L" ";
std::wstring g_strReportFooter = L" ";
bool g_bAutoBackup = false;
int g_nBackupPeriod = 0;
std::wstring g_strBackupFile;
std::wstring g_strBackupFolder;
std::wstring g_strLastBackup;
