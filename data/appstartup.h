#pragma once
// Start-up of the application data store, before any window exists.
#include "data/cappdatafile.h"

#include <memory>
#include <string>

inline constexpr wchar_t STR_APPDATA_NOT_MADE[] =
    L"Application data file <%s> could not be made from <%s>.\nCan not continue.";
inline constexpr wchar_t STR_APPDATA_READ_ONLY[] = L"Application data file <%s> cannot be written.\nCan not continue.";
inline constexpr wchar_t STR_APPDATA_DAMAGED[] = L"Application data file <%s> is damaged: %s\nCan not continue.";

// The shipped application data file of an installed program, relative to its program
// folder (<prefix>/bin/ beside <prefix>/share/tabulon/).
inline constexpr wchar_t STR_SHIPPED_APPDATA_FILE[] = L"../share/tabulon/KVZDATA.KVZ";
inline constexpr wchar_t STR_APPDATA_FILE_NAME[] = L"KVZDATA.KVZ";

// Sets g_strAppFolder to the program folder (ending with "/") and attaches a store on
// the application data file:
// - Data/KVZDATA.KVZ in the program folder, where there is one (a build folder);
// - otherwise, for an installed program, the user's own copy KVZDATA.KVZ in userFolder,
//   made from the shipped file on the first start.
// Null when there is no file, when the user's copy cannot be made, or when the file
// cannot be written or is no sound store: one box has said which file and why, the file
// is untouched, and the program ends with exit code 1.
std::unique_ptr<CAppDataFile> AttachAppDataFile(const std::wstring& appFolder, const std::wstring& userFolder);

// Why the file is no store the program can work with: "" when it is one (an SQLite
// database, sound, with the tables Node and NodeValue), else the reason. Reads only.
std::wstring AppDataFileDamage(const std::wstring& path);
