#pragma once
// A record set over a real database file with a recording notification target, as
// the datasheet model drives it.
#include "data/cadbsqldb.h"
#include "data/cadbsqlrecset.h"
#include "platform/messagetarget.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <memory>
#include <string>
#include <utility>
#include <vector>

// The record set of a datasheet: every column in table order.
class TestRecSet : public CADbSqlRecSet {
public:
    TestRecSet(CADbSqlDb* db, const std::wstring& name)
        : CADbSqlRecSet(db)
    {
        m_strTableName = name;
    }
    std::wstring GetDefaultSource() override { return L""; }
    std::wstring GetDefaultTableName() override { return L""; }
    std::wstring GetDefaultColumnOrder() override { return L""; }

    // Opens like the datasheet model: the column order names every column.
    bool OpenTable()
    {
        std::vector<CADbSqlFieldInfo> fields;
        GetFieldInfos(m_strTableName, fields);
        m_strColumnOrder.clear();
        for (size_t i = 0; i < fields.size(); ++i)
            m_strColumnOrder += (i == 0 ? L" " : L",") + std::to_wstring(i + 1);
        return Open(RECSET_MODE_TABLE);
    }
};

// Records every UM_LOAD_TABLE_DATA it receives, in order.
class LoadRecorder : public platform::MessageTarget {
public:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != UM_LOAD_TABLE_DATA)
            return 0;
        posts.emplace_back(static_cast<int>(wParam), static_cast<long long>(lParam));
        if (watched)
            loadingAtPost.push_back(watched->IsLoading());
        return 0;
    }
    // Delivers posted messages until `count` final posts (wParam 0) arrived; false after 20 s.
    bool WaitForEnds(size_t count = 1)
    {
        const QDeadlineTimer deadline(20000);
        while (Ends() < count && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return Ends() >= count;
    }
    size_t Ends() const
    {
        size_t n = 0;
        for (const auto& post : posts)
            n += post.first == 0 ? 1 : 0;
        return n;
    }
    std::vector<std::pair<int, long long>> posts;
    // When set, the record set's IsLoading() at each delivered post.
    const CADbSqlRecSet* watched = nullptr;
    std::vector<bool> loadingAtPost;
};

// Delivers the events queued so far (posts, caption lines and boxes from the loader).
inline void DeliverQueuedEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// A script that fills table t(id INTEGER PRIMARY KEY, name TEXT) with rows 1..n.
inline std::string NumberedRows(const std::string& table, long long rows)
{
    return "CREATE TABLE " + table + "(id INTEGER PRIMARY KEY, name TEXT);"
           "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x<" + std::to_string(rows) +
           ") INSERT INTO " + table + " SELECT x, 'n' || x FROM c;";
}

// A record-set test over a fresh file: the table of a script opened as the datasheet
// opens it, the file read back raw, the boxes and caption lines recorded.
class RecSetFixture : public testing::Test {
protected:
    // Opens the table of the script on a fresh file and waits for the load's end.
    std::unique_ptr<TestRecSet> Open(const std::string& script, const std::wstring& table = L"t")
    {
        m_path = m_folder.MakeDatabase(L"test.db", script);
        m_db.OpenDb(m_path);
        auto recSet = std::make_unique<TestRecSet>(&m_db, table);
        recSet->m_pNotifyWnd = &m_target;
        EXPECT_TRUE(recSet->OpenTable());
        EXPECT_TRUE(m_target.WaitForEnds());
        return recSet;
    }
    std::string Raw(const std::string& sql) { return testing_support::QueryRaw(m_path, sql); }

    // The text of a cell as the grid reads it, "<null>" for none, "<no row>" for a row
    // that cannot be reached.
    static std::wstring Cell(CADbSqlRecSet& rs, int row, int column)
    {
        if (!rs.MoveTo(row))
            return L"<no row>";
        const wchar_t* text = rs.GetFieldValue(column);
        std::wstring value = text ? text : L"<null>";
        rs.CloseRowStmt();
        return value;
    }

    testing_support::TempFolder m_folder;
    std::wstring m_path;
    CADbSqlDb m_db;
    LoadRecorder m_target;
    testing_support::CaptionRecorder m_lines;
    testing_support::BoxRecorder m_boxes;
};

// One more table on a file of its own, for tests that walk a table of cases.
struct TableOnFile {
    // True when the table opened and its load ended.
    bool Open(const std::string& script, const std::wstring& table = L"t")
    {
        path = folder.MakeDatabase(L"test.db", script);
        db.OpenDb(path);
        rs = std::make_unique<TestRecSet>(&db, table);
        rs->m_pNotifyWnd = &target;
        return rs->OpenTable() && target.WaitForEnds();
    }

    testing_support::TempFolder folder;
    std::wstring path;
    CADbSqlDb db;
    LoadRecorder target;
    std::unique_ptr<TestRecSet> rs; // goes before the connection and the target
};
