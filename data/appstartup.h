#pragma once
// Start-up of the application data store, before any window exists.
#include "data/cappdatafile.h"

#include <memory>
#include <string>

// Sets g_strAppFolder to the program folder (ending with "/") and attaches a store on
// Data/KVZDATA.KVZ in it. Null when the file is missing: the store has shown its box,
// and the program ends with exit code 1.
std::unique_ptr<CAppDataFile> AttachAppDataFile(const std::wstring& appFolder);
