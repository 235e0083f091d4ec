#include "data/appstartup.h"

#include "data/constants.h"

std::unique_ptr<CAppDataFile> AttachAppDataFile(const std::wstring& appFolder)
{
    g_strAppFolder = appFolder;
    auto store = std::make_unique<CAppDataFile>();
    if (!store->SetFile(g_strAppFolder + L"Data/KVZDATA.KVZ"))
        return nullptr;
    return store;
}
