#include "data/appstartup.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/cadbsqlquery.h"
#include "data/constants.h"
#include "data/formatstring.h"
#include "platform/files.h"
#include "platform/messagebox.h"

namespace {

void ShowStartBox(const std::wstring& text)
{
    platform::MessageBox(nullptr, text, STR_ERROR_CAPTION, platform::MB_OK | platform::MB_ICONERROR);
}

// The file the store works on: the build folder's, else the installed program's user
// copy (made now when missing), else the build folder's path, which the store then
// reports missing. Empty when the user copy could not be made (the box has been shown).
std::wstring ChooseAppDataFile(const std::wstring& appFolder, const std::wstring& userFolder)
{
    const std::wstring local = appFolder + L"Data/" + STR_APPDATA_FILE_NAME;
    if (platform::FileExists(local))
        return local;
    const std::wstring shipped = platform::CleanPath(appFolder + STR_SHIPPED_APPDATA_FILE);
    if (userFolder.empty() || !platform::FileExists(shipped))
        return local;
    const std::wstring own = userFolder + STR_APPDATA_FILE_NAME;
    if (platform::FileExists(own) || platform::CopyToOwnFile(shipped, own))
        return own;
    std::wstring text;
    ShowStartBox(FormatString(text, STR_APPDATA_NOT_MADE, own, shipped));
    return L"";
}

} // namespace

std::wstring AppDataFileDamage(const std::wstring& path)
{
    CADbSqlDb db;
    std::wstring damage;
    try {
        db.OpenDb(path);
        CADbSqlQuery check;
        db.Query(check, L"PRAGMA quick_check");
        const wchar_t* verdict = check.Eof() ? nullptr : check.GetFieldValue(0);
        if (!verdict || std::wstring(verdict) != L"ok")
            damage = verdict ? verdict : L"the engine's check gave no verdict";
        check.Finalize();
        if (damage.empty()) {
            CADbSqlQuery tables;
            db.Query(tables, L"SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('Node', 'NodeValue')");
            if (tables.Eof() || tables.GetIntField(0) != 2)
                damage = L"the tables Node and NodeValue are missing";
            tables.Finalize();
        }
        db.CloseDb();
    } catch (const CADbSqlException& e) {
        damage = e.m_strMessage.empty() ? e.GetErrorText() : e.m_strMessage;
    }
    return damage;
}

std::unique_ptr<CAppDataFile> AttachAppDataFile(const std::wstring& appFolder, const std::wstring& userFolder)
{
    g_strAppFolder = appFolder;
    const std::wstring path = ChooseAppDataFile(appFolder, userFolder);
    if (path.empty())
        return nullptr;
    auto store = std::make_unique<CAppDataFile>();
    if (!store->SetFile(path))
        return nullptr;
    // Checked once here: a file the store could not work with would fail every one of
    // its operations, each with a box of its own.
    std::wstring text;
    if (const std::wstring damage = AppDataFileDamage(path); !damage.empty()) {
        ShowStartBox(FormatString(text, STR_APPDATA_DAMAGED, path, damage));
        return nullptr;
    }
    if (!platform::IsWritableFile(path)) {
        ShowStartBox(FormatString(text, STR_APPDATA_READ_ONLY, path));
        return nullptr;
    }
    return store;
}
