#include "data/appstartup.h"
#include "data/constants.h"
#include "platform/utf16.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

using testing_support::BoxRecorder;
using testing_support::TempFolder;

namespace {

QByteArray Bytes(const std::wstring& path)
{
    QFile file(platform::ToQString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A program folder of its own under <root>/bin/, and a user data folder beside it.
struct Layout {
    TempFolder folder;
    std::wstring program = folder.Path(L"bin") + L"/";
    std::wstring user = folder.Path(L"user/Tabulon") + L"/";
    Layout() { QDir().mkpath(platform::ToQString(program)); }
    std::wstring BuildFile() { return program + L"Data/KVZDATA.KVZ"; }
    std::wstring ShippedFile() { return folder.Path(L"share/tabulon/KVZDATA.KVZ"); }
    std::wstring UserFile() { return user + L"KVZDATA.KVZ"; }
    std::wstring Ship()
    {
        QDir().mkpath(platform::ToQString(folder.Path(L"share/tabulon")));
        const std::wstring file = folder.CopyAppDataFile(L"share/tabulon/KVZDATA.KVZ");
        QFile::setPermissions(platform::ToQString(file), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        return file;
    }
    std::wstring Build()
    {
        QDir().mkpath(platform::ToQString(program + L"Data"));
        return folder.CopyAppDataFile(L"bin/Data/KVZDATA.KVZ");
    }
};

// Without any application data file the program must not start: one box, and no store
// for the caller, which then ends with exit code 1.
TEST(AppStartup, MissingDataFileRefusesToStartWithOneBox)
{
    Layout layout;
    BoxRecorder boxes;
    EXPECT_EQ(AttachAppDataFile(layout.program, layout.user), nullptr);
    EXPECT_EQ(g_strAppFolder, layout.program);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, L"Application data file <KVZDATA.KVZ> is missing.\nCan not continue.");
    EXPECT_EQ(boxes.Last().caption, L"Error");
    EXPECT_EQ(boxes.Last().style, platform::MB_OK | platform::MB_ICONERROR);
    EXPECT_FALSE(QFileInfo::exists(platform::ToQString(layout.user))) << "nothing is made for the user";
}

TEST(AppStartup, AttachesTheStoreOnTheFileInTheBuildFolder)
{
    Layout layout;
    const std::wstring file = layout.Build();
    layout.Ship(); // the build folder's file wins over an installed one
    BoxRecorder boxes;
    const std::unique_ptr<CAppDataFile> store = AttachAppDataFile(layout.program, layout.user);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->m_strFilePath, file);
    EXPECT_EQ(g_strAppFolder, layout.program);
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_FALSE(QFileInfo::exists(platform::ToQString(layout.UserFile())));
    // The store works on that file.
    EXPECT_TRUE(store->CreateNode(NODE_DB_DATA_TYPES, NODE_TYPE_TEXT));
    EXPECT_EQ(testing_support::QueryRaw(file, "SELECT NodeName FROM Node"), "SQLITE_DB_DATA_TYPES");
}

// The installed program's shipped file is read-only and shared: the first start copies
// it into the user's data folder as a file the user can write, later starts keep that
// copy with what it holds, and the shipped file never changes.
TEST(AppStartup, AnInstalledProgramWorksOnTheUsersOwnCopyOfTheShippedFile)
{
    Layout layout;
    const std::wstring shipped = layout.Ship();
    const QByteArray shippedBytes = Bytes(shipped);
    BoxRecorder boxes;
    {
        const std::unique_ptr<CAppDataFile> store = AttachAppDataFile(layout.program, layout.user);
        ASSERT_NE(store, nullptr);
        EXPECT_EQ(store->m_strFilePath, layout.UserFile());
        EXPECT_TRUE(QFileInfo(platform::ToQString(layout.UserFile())).isWritable());
        // A sound copy of the shipped file: its tables, as they were shipped.
        EXPECT_EQ(testing_support::QueryRaw(layout.UserFile(), "PRAGMA integrity_check"), "ok");
        const char* schema = "SELECT group_concat(sql, ';') FROM sqlite_master";
        EXPECT_EQ(testing_support::QueryRaw(layout.UserFile(), schema), testing_support::QueryRaw(shipped, schema));
        EXPECT_TRUE(store->CreateNode(L"CONFIG\\KEPT", NODE_TYPE_TEXT));
        EXPECT_TRUE(store->AddTextValue(L"CONFIG\\KEPT", L"yes"));
    }
    {
        const std::unique_ptr<CAppDataFile> store = AttachAppDataFile(layout.program, layout.user);
        ASSERT_NE(store, nullptr);
        std::wstring value;
        EXPECT_TRUE(store->GetTextValue(L"CONFIG\\KEPT", value));
        EXPECT_EQ(value, L"yes");
    }
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(Bytes(shipped), shippedBytes);
}

TEST(AppStartup, AUserFolderThatCannotBeMadeIsOneBoxNamingTheFile)
{
    Layout layout;
    const std::wstring shipped = layout.Ship();
    // A file where the user's data folder should be.
    QFile blocker(platform::ToQString(layout.folder.Path(L"user")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    BoxRecorder boxes;
    EXPECT_EQ(AttachAppDataFile(layout.program, layout.user), nullptr);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, L"Application data file <" + layout.UserFile() + L"> could not be made from <" +
                                     shipped + L">.\nCan not continue.");
}

// A damaged store would fail every one of its operations with a box of its own (hundreds
// before the window shows): the start says it once, names the file, and leaves it as it is.
TEST(AppStartup, ADamagedDataFileIsOneBoxNamingItAndStaysUnchanged)
{
    struct Case {
        const char* name;
        std::function<void(const std::wstring&)> damage;
        const wchar_t* reason;
    };
    const std::vector<Case> cases = {
        {"not a database", [](const std::wstring& path) {
             QFile file(platform::ToQString(path));
             file.open(QIODevice::WriteOnly | QIODevice::Truncate);
             file.write(QByteArray(4096, 'x'));
         }, L"file is not a database"},
        {"empty", [](const std::wstring& path) { QFile(platform::ToQString(path)).resize(0); },
         L"the tables Node and NodeValue are missing"},
        {"cut short", [](const std::wstring& path) {
             QFile file(platform::ToQString(path));
             file.resize(file.size() / 2);
         }, nullptr},
        {"without its tables", [](const std::wstring& path) { testing_support::ExecRaw(path, "DROP TABLE NodeValue;"); },
         L"the tables Node and NodeValue are missing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Layout layout;
        const std::wstring file = layout.Build();
        testing_support::ExecRaw(file, "CREATE TABLE filler(x); INSERT INTO filler SELECT randomblob(900) FROM "
                                       "(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40) "
                                       "SELECT i FROM n);");
        c.damage(file);
        const QByteArray before = Bytes(file);
        BoxRecorder boxes;
        EXPECT_EQ(AttachAppDataFile(layout.program, layout.user), nullptr);
        ASSERT_EQ(boxes.Count(), 1u);
        const std::wstring text = boxes.Last().text;
        const std::wstring start = L"Application data file <" + file + L"> is damaged: ";
        EXPECT_EQ(text.substr(0, start.size()), start) << testing_support::Utf8(text);
        if (c.reason) {
            EXPECT_NE(text.find(c.reason), std::wstring::npos) << testing_support::Utf8(text);
        }
        EXPECT_EQ(text.substr(text.size() - 18), L"\nCan not continue.");
        EXPECT_EQ(Bytes(file), before);
        EXPECT_FALSE(QFileInfo::exists(platform::ToQString(file + L"-journal")));
    }
}

TEST(AppStartup, ADataFileThatCannotBeWrittenIsOneBoxNamingIt)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "run as root: every file can be written (the smoke test RealProgram.ADataFileTheUserCannotWriteIsOneBox "
                        "covers it as an unprivileged user)";
    Layout layout;
    const std::wstring file = layout.Build();
    QFile::setPermissions(platform::ToQString(file), QFile::ReadOwner);
    const QByteArray before = Bytes(file);
    BoxRecorder boxes;
    EXPECT_EQ(AttachAppDataFile(layout.program, layout.user), nullptr);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, L"Application data file <" + file + L"> cannot be written.\nCan not continue.");
    EXPECT_EQ(Bytes(file), before);
}

} // namespace
