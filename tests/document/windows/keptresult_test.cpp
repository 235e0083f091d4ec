// A query window whose count cannot keep all of its rows: the engine's temporary folder
// on a file system that fills, and a file-size limit that a write crosses. The window
// keeps the rows that are whole, one box says why and where, and nothing is said about
// the user's database, which stays as it was.
#include "data/constants.h"
#include "data/formatstring.h"
#include "document/grid/clistctrlcombo.h"
#include "document/windows/ctabulondoc.h"
#include "document/windows/ctabulonview.h"
#include "datawindowfixture.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTest>

#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>

using testing_support::QueryRaw;
using testing_support::Utf8;

namespace {

constexpr int kRows = 2'000'000;

// Every cell says which row it is: row r holds r + 1 and "row <r + 1>".
const char* const kScript =
    "CREATE TABLE big(id INTEGER PRIMARY KEY, label TEXT);"
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000000)"
    " INSERT INTO big SELECT i, 'row ' || i FROM n;";

// What makes the kept rows' writes fail, and the engine's reason for it.
struct Limit {
    const char* name;
    bool fullFileSystem; // a 1 MB tmpfs as the temporary folder; else a 1 MB file-size limit
    const wchar_t* reason;
};

void PrintTo(const Limit& limit, std::ostream* out) { *out << limit.name; }

const Limit kLimits[] = {
    {"FullFileSystem", true, L"database or disk is full"},
    {"FileSizeLimit", false, L"disk I/O error"},
};

class KeptResult : public DataWindowFixture, public testing::WithParamInterface<Limit> {
protected:
    void TearDown() override
    {
        DataWindowFixture::TearDown();
        // The windows are gone, and with them the kept rows' file.
        RestoreFileSizeLimit();
        sqlite3_free(sqlite3_temp_directory);
        sqlite3_temp_directory = nullptr;
        if (m_bMounted)
            ::umount2(m_strMountPoint.c_str(), MNT_DETACH);
    }

    // The folder the engine makes its temporary files in, from now on.
    static void UseTemporaryFolder(const std::string& folder)
    {
        sqlite3_free(sqlite3_temp_directory);
        sqlite3_temp_directory = sqlite3_mprintf("%s", folder.c_str());
    }

    void LimitFileSize(rlim_t bytes)
    {
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &m_previousLimit), 0);
        m_previousSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_previousLimit;
        small.rlim_cur = bytes;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        m_bLimited = true;
    }
    void RestoreFileSizeLimit()
    {
        if (!m_bLimited)
            return;
        ::setrlimit(RLIMIT_FSIZE, &m_previousLimit);
        std::signal(SIGXFSZ, m_previousSignal);
        m_bLimited = false;
    }

    std::string m_strMountPoint;
    bool m_bMounted = false;
    rlimit m_previousLimit {};
    void (*m_previousSignal)(int) = SIG_DFL;
    bool m_bLimited = false;
};

TEST_P(KeptResult, TheWindowKeepsTheWholeRowsAndOneBoxSaysWhy)
{
    const Limit& limit = GetParam();
    ASSERT_NO_FATAL_FAILURE(OpenDatabase(L"big.db", kScript));
    const std::wstring folder = m_folder.Path(L"temporary");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdWString(folder)));
    const std::string folderBytes = QString::fromStdWString(folder).toLocal8Bit().toStdString();
    if (limit.fullFileSystem) {
        if (::mount("tmpfs", folderBytes.c_str(), "tmpfs", 0, "size=1m") != 0)
            GTEST_SKIP() << "cannot mount a 1 MB tmpfs on " << folderBytes << " (" << std::strerror(errno)
                         << "): mounting needs root; the file-size limit case covers the failure";
        m_strMountPoint = folderBytes;
        m_bMounted = true;
    } else {
        ASSERT_NO_FATAL_FAILURE(LimitFileSize(1024 * 1024));
    }
    UseTemporaryFolder(folderBytes);
    testing_support::CaptionRecorder lines;

    CTabulonDoc* document = Request(OpenSqlQuery, L"SELECT * FROM big");
    ASSERT_NE(document, nullptr);
    CListCtrlCombo* grid = qobject_cast<CTabulonView*>(document->GetViews().front())->m_wndGrid.GetGrid();
    // The load's final post has come (the window adds its last line); a box shown
    // while it ended came before it.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return document->m_pDataAccess->IsLoadEnded() && grid->GetItemCount() == grid->GetRecordCount() + 1;
    }, 60000));

    ASSERT_EQ(m_boxes.Count(), 1u);
    std::wstring expected;
    EXPECT_EQ(m_boxes.Last().text, FormatString(expected, STR_RESULT_NOT_KEPT, limit.reason, folder));
    EXPECT_EQ(m_boxes.Last().caption, STR_ERROR_CAPTION);
    EXPECT_EQ(m_boxes.Last().style, platform::MB_OK | platform::MB_ICONERROR);

    // The window keeps the rows the count could keep, every one of them whole, and says so.
    const int rows = grid->GetRecordCount();
    EXPECT_GE(rows, 2000);
    EXPECT_LT(rows, kRows);
    int broken = 0;
    for (int row = 0; row < rows; ++row) {
        const std::wstring id = std::to_wstring(row + 1);
        if (grid->GetItemText(row, 0) != id || grid->GetItemText(row, 1) != L"row " + id) {
            if (++broken <= 3)
                ADD_FAILURE() << "row " << row << " reads " << Utf8(grid->GetItemText(row, 0)) << ", "
                              << Utf8(grid->GetItemText(row, 1));
        }
    }
    EXPECT_EQ(broken, 0);
    // Pages far apart read again from the kept rows.
    EXPECT_EQ(grid->GetItemText(0, 1), L"row 1");
    EXPECT_EQ(grid->GetItemText(rows - 1, 1), L"row " + std::to_wstring(rows));
    EXPECT_EQ(m_boxes.Count(), 1u);
    std::vector<std::wstring> errors;
    for (const testing_support::CaptionLine& line : lines.Lines())
        if (line.type == platform::CAPTION_LINE_ERROR)
            errors.push_back(line.text);
    EXPECT_EQ(errors, std::vector<std::wstring>{});
    ASSERT_GT(lines.Count(), 0u);
    EXPECT_EQ(lines.Last().text, FormatString(expected, STR_COUNT_STOPPED, rows));
    EXPECT_EQ(lines.Last().type, platform::CAPTION_LINE_WARNING);

    RestoreFileSizeLimit();
    EXPECT_EQ(QueryRaw(m_path, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(QueryRaw(m_path, "SELECT count(*) FROM big"), std::to_string(kRows));
}

INSTANTIATE_TEST_SUITE_P(Limits, KeptResult, testing::ValuesIn(kLimits),
                         [](const testing::TestParamInfo<Limit>& info) { return std::string(info.param.name); });

} // namespace
