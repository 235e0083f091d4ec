// The row loader with its real thread: progress posts, the first page, the row limit,
// counting in offset mode, stop, cancel, re-query while loading, failures inside the
// thread, and the page cache.
#include "data/constants.h"
#include "data/rowloader.h"
#include "data/settings.h"
#include "recsettestsupport.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <vector>

using testing_support::BoxRecorder;
using testing_support::CaptionRecorder;
using testing_support::ExecRaw;
using testing_support::TempFolder;

namespace {

using Posts = std::vector<std::pair<int, long long>>;

// An SQL function gate(rowid) for a record set's filter: at one rowid it holds the
// loader inside its step until the release condition holds (bounded).
struct Gate {
    sqlite3_int64 at = 3000;
    std::function<bool()> applies; // when set, the gate holds only while this is true
    std::function<bool()> release;
    std::atomic<bool> armed{true};
    std::atomic<bool> reached{false};
    std::atomic<bool> passed{false};
    std::atomic<bool> timedOut{false};
};

void GateFunction(sqlite3_context* context, int, sqlite3_value** args)
{
    auto* gate = static_cast<Gate*>(sqlite3_user_data(context));
    if (sqlite3_value_int64(args[0]) == gate->at && (!gate->applies || gate->applies()) &&
        gate->armed.exchange(false)) {
        gate->reached = true;
        const QDeadlineTimer deadline(20000);
        while (!gate->release() && !deadline.hasExpired())
            std::this_thread::yield();
        gate->timedOut = deadline.hasExpired();
        gate->passed = true;
    }
    sqlite3_result_int(context, 1);
}

// fail_at(rowid): an engine failure at rowid 2500, so the loader's step fails.
void FailAtFunction(sqlite3_context* context, int, sqlite3_value** args)
{
    if (sqlite3_value_int64(args[0]) == 2500)
        sqlite3_result_error(context, "broken row", -1);
    else
        sqlite3_result_int(context, 1);
}

bool WaitUntil(const std::function<bool()>& condition)
{
    const QDeadlineTimer deadline(20000);
    while (!condition() && !deadline.hasExpired())
        std::this_thread::yield();
    return condition();
}

class RowLoader : public testing::Test {
protected:
    void SetUp() override { m_savedLimit = g_nMaxGridRows; }
    void TearDown() override
    {
        g_nMaxGridRows = m_savedLimit;
        EXPECT_FALSE(m_gate.timedOut || m_gate2.timedOut) << "a gate was never released";
    }

    void MakeFile(const std::string& script)
    {
        m_path = m_folder.MakeDatabase(L"test.db", script);
        m_db.OpenDb(m_path);
        sqlite3_create_function(m_db.m_pDb, "gate", 1, SQLITE_UTF8, &m_gate, GateFunction, nullptr, nullptr);
        sqlite3_create_function(m_db.m_pDb, "gate2", 1, SQLITE_UTF8, &m_gate2, GateFunction, nullptr, nullptr);
        sqlite3_create_function(m_db.m_pDb, "fail_at", 1, SQLITE_UTF8, nullptr, FailAtFunction, nullptr, nullptr);
    }
    std::unique_ptr<TestRecSet> MakeRecSet(const std::wstring& name, LoadRecorder& target)
    {
        auto rs = std::make_unique<TestRecSet>(&m_db, name);
        rs->m_pNotifyWnd = &target;
        return rs;
    }

    TempFolder m_folder;
    std::wstring m_path;
    CADbSqlDb m_db;
    Gate m_gate;
    Gate m_gate2;
    LoadRecorder m_target;
    CaptionRecorder m_lines;
    BoxRecorder m_boxes;
    int m_savedLimit = 0;
};

struct LoadCase {
    int rows;
    Posts posts;
};

TEST_F(RowLoader, ATableLoadPostsAtTheFirstPageEveryStepAndTheEnd)
{
    const LoadCase cases[] = {
        {10, {{0, 10}}},
        {2000, {{1, 2000}, {0, 2000}}},
        {120000, {{1, 2000}, {1, 50000}, {1, 100000}, {0, 120000}}},
    };
    g_nMaxGridRows = 6000000;
    for (const LoadCase& c : cases) {
        TempFolder folder;
        CADbSqlDb db;
        db.OpenDb(folder.MakeDatabase(L"t.db", NumberedRows("t", c.rows)));
        LoadRecorder target;
        TestRecSet rs(&db, L"t");
        rs.m_pNotifyWnd = &target;
        ASSERT_TRUE(rs.OpenTable());
        // The re-query returned with the first page, or with everything when there is less.
        EXPECT_GE(rs.GetRecordCount(), std::min(c.rows, LOADER_FIRST_PAGE_ROWS));
        ASSERT_TRUE(target.WaitForEnds());
        EXPECT_EQ(target.posts, c.posts) << c.rows << " rows";
        EXPECT_EQ(rs.GetRecordCount(), c.rows);
        EXPECT_EQ(rs.GetRowId(c.rows - 1), c.rows);
        EXPECT_FALSE(rs.IsLoading());
        EXPECT_EQ(g_bLoaderBusy, 0);
    }
    EXPECT_EQ(m_lines.Count(), 0u);
}

TEST_F(RowLoader, TheRowLimitCutsTheLoadWarnsAndNeverBlocksTheReQuery)
{
    const LoadCase cases[] = {
        {2000, {{1, 2000}, {1, 2000}, {0, 2000}}}, // a table with exactly as many rows as the limit
        {500, {{1, 500}, {0, 500}}},               // a limit below the first page
    };
    for (const LoadCase& c : cases) {
        TempFolder folder;
        CADbSqlDb db;
        db.OpenDb(folder.MakeDatabase(L"t.db", NumberedRows("t", 2000)));
        g_nMaxGridRows = c.rows;
        LoadRecorder target;
        CaptionRecorder lines;
        BoxRecorder boxes;
        TestRecSet rs(&db, L"t");
        rs.m_pNotifyWnd = &target;
        ASSERT_TRUE(rs.OpenTable());
        ASSERT_TRUE(target.WaitForEnds());
        EXPECT_EQ(target.posts, c.posts);
        EXPECT_EQ(rs.GetRecordCount(), c.rows);
        DeliverQueuedEvents();
        ASSERT_EQ(lines.Count(), 1u);
        EXPECT_EQ(lines.Last().text, STR_ROW_LIMIT_REACHED);
        EXPECT_EQ(lines.Last().type, platform::CAPTION_LINE_WARNING);
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Last().text, STR_ROW_LIMIT_REACHED);
        EXPECT_EQ(boxes.Last().caption, L"Warning");
        EXPECT_EQ(boxes.Last().style, platform::MB_OK | platform::MB_ICONWARNING);
        EXPECT_TRUE(boxes.Last().fromWorkerThread);
    }
}

TEST_F(RowLoader, AQueryResultIsCountedWithPostsEvery200000Rows)
{
    MakeFile(NumberedRows("t", 450000) + "CREATE VIEW v AS SELECT name, id FROM t;");
    g_nMaxGridRows = 6000000;
    auto rs = MakeRecSet(L"v", m_target);
    ASSERT_TRUE(rs->Open(RECSET_MODE_QUERY));
    EXPECT_GE(rs->GetRecordCount(), LOADER_FIRST_PAGE_ROWS);
    ASSERT_TRUE(m_target.WaitForEnds());
    EXPECT_EQ(m_target.posts, (Posts{{1, 2000}, {1, 200000}, {1, 400000}, {0, 450000}}));
    EXPECT_EQ(rs->GetRecordCount(), 450000);
    EXPECT_EQ(rs->m_nFields, 2);
    EXPECT_TRUE(rs->m_arrRowIds.empty());
    ASSERT_TRUE(rs->MoveTo(449999));
    EXPECT_STREQ(rs->GetFieldValue(0), L"n450000");
}

TEST_F(RowLoader, ACountThatReachesTheLimitWarnsWithoutABox)
{
    MakeFile(NumberedRows("t", 3000) + "CREATE VIEW v AS SELECT * FROM t;");
    g_nMaxGridRows = 1000;
    auto rs = MakeRecSet(L"v", m_target);
    ASSERT_TRUE(rs->Open(RECSET_MODE_VIEW));
    ASSERT_TRUE(m_target.WaitForEnds());
    EXPECT_EQ(m_target.posts, (Posts{{1, 1000}, {0, 1000}}));
    EXPECT_EQ(rs->GetRecordCount(), 1000);
    DeliverQueuedEvents();
    ASSERT_EQ(m_lines.Count(), 1u);
    EXPECT_EQ(m_lines.Last().text, STR_ROW_LIMIT_REACHED_COUNT);
    EXPECT_EQ(m_lines.Last().type, platform::CAPTION_LINE_WARNING);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(RowLoader, ThePageCacheReloadsAroundTheRequestedRow)
{
    MakeFile("CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT, b BLOB);"
             "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x<1000) "
             "INSERT INTO t SELECT x, CASE WHEN x=5 THEN NULL ELSE 'n' || x END, x'00' FROM c;"
             "CREATE VIEW v AS SELECT * FROM t;");
    auto rs = MakeRecSet(L"v", m_target);
    ASSERT_TRUE(rs->Open(RECSET_MODE_QUERY));
    ASSERT_TRUE(m_target.WaitForEnds());
    CADbSqlPageCache& cache = rs->m_PageCache;
    EXPECT_EQ(cache.m_nFirstRow, -1);
    struct Step {
        int row;
        int firstRow;
        const wchar_t* id;
    };
    const Step steps[] = {{250, 150, L"251"}, {349, 150, L"350"}, {150, 150, L"151"},
                          {350, 250, L"351"}, {30, 0, L"31"},     {999, 899, L"1000"}};
    for (const Step& s : steps) {
        ASSERT_TRUE(rs->MoveTo(s.row));
        EXPECT_STREQ(rs->GetFieldValue(0), s.id) << s.row;
        EXPECT_EQ(cache.m_nFirstRow, s.firstRow) << s.row;
    }
    ASSERT_TRUE(rs->MoveTo(4));
    EXPECT_STREQ(rs->GetFieldValue(1), L"") << "NULL reads as empty text";
    EXPECT_STREQ(rs->GetFieldValue(2), L"") << "so does a BLOB";
    EXPECT_EQ(rs->GetFieldValue(3), nullptr);

    // The pages are the rows the count walked: the view's table is not read again.
    ExecRaw(m_path, "DROP TABLE t;");
    ASSERT_TRUE(rs->MoveTo(500));
    EXPECT_STREQ(rs->GetFieldValue(0), L"501");
    EXPECT_EQ(cache.m_nFirstRow, 400);
    EXPECT_EQ(m_lines.Count(), 0u);
}

// Statements the test's own thread starts on a connection (the loader's are its own).
struct StatementCounter {
    explicit StatementCounter(sqlite3* db)
        : thread(std::this_thread::get_id())
    {
        sqlite3_trace_v2(db, SQLITE_TRACE_STMT, Count, this);
    }
    static int Count(unsigned, void* context, void*, void*)
    {
        auto* self = static_cast<StatementCounter*>(context);
        if (std::this_thread::get_id() == self->thread)
            ++self->count;
        return 0;
    }
    std::thread::id thread;
    std::atomic<int> count{0};
};

TEST_F(RowLoader, AFarPageOfAWalkedSortedResultComesFromTheWalkWithoutRunningTheQuery)
{
    // v has no index: the view's order exists only in the sort of its statement.
    MakeFile("CREATE TABLE t(id INTEGER PRIMARY KEY, v INTEGER, name TEXT, b BLOB);"
             "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x<30000) "
             "INSERT INTO t SELECT x, (x * 7919) % 30000, 'n' || x, x'0102' FROM c;"
             "CREATE VIEW v AS SELECT v, name, b FROM t ORDER BY v DESC;");
    auto rs = MakeRecSet(L"v", m_target);
    ASSERT_TRUE(rs->Open(RECSET_MODE_QUERY));
    ASSERT_TRUE(m_target.WaitForEnds());
    ASSERT_EQ(rs->GetRecordCount(), 30000);
    StatementCounter counter(m_db.m_pDb);
    // Row k holds v = 29999 - k; the name is that of the id with (id * 7919) % 30000 = v.
    const std::map<int, std::wstring> expected = {
        {29999, L"0"}, {15000, L"14999"}, {0, L"29999"}, {22222, L"7777"}, {29800, L"199"}};
    for (const auto& [row, v] : expected) {
        ASSERT_TRUE(rs->MoveTo(row));
        EXPECT_EQ(std::wstring(rs->GetFieldValue(0)), v) << row;
        const std::string name = testing_support::QueryRaw(m_path, "SELECT name FROM t WHERE v = " +
                                                                       testing_support::Utf8(v));
        EXPECT_EQ(testing_support::Utf8(rs->GetFieldValue(1)), name) << row;
        EXPECT_STREQ(rs->GetFieldValue(2), L"") << "a BLOB reads as empty text";
    }
    EXPECT_EQ(counter.count, 0) << "a page read ran a statement on the database's connection";
    sqlite3_trace_v2(m_db.m_pDb, 0, nullptr, nullptr);
}

TEST_F(RowLoader, WhileTheWalkRunsThePagesCountedSoFarAreReadWithoutTheQuery)
{
    MakeFile(NumberedRows("t", 30000) + "CREATE VIEW v AS SELECT id, name FROM t WHERE gate(id);");
    std::atomic<bool> finish{false};
    m_gate.at = 10000;
    m_gate.release = [&finish] { return finish.load(); };
    auto rs = MakeRecSet(L"v", m_target);
    // Set before the walk: the walk holds the connection's lock inside its step.
    StatementCounter counter(m_db.m_pDb);
    ASSERT_TRUE(rs->Open(RECSET_MODE_QUERY));
    ASSERT_TRUE(WaitUntil([this] { return m_gate.reached.load(); }));
    EXPECT_EQ(rs->GetRecordCount(), LOADER_FIRST_PAGE_ROWS);
    const int before = counter.count;
    for (int row : {1999, 1000, 0}) {
        EXPECT_TRUE(rs->MoveTo(row));
        EXPECT_EQ(std::wstring(rs->GetFieldValue(1)), L"n" + std::to_wstring(row + 1));
    }
    EXPECT_FALSE(rs->MoveTo(2000)) << "a row not yet counted";
    EXPECT_EQ(counter.count, before) << "a page was read through the query while its walk ran";
    finish = true;
    ASSERT_TRUE(m_target.WaitForEnds());
    ASSERT_EQ(rs->GetRecordCount(), 30000);
    ASSERT_TRUE(rs->MoveTo(29999));
    EXPECT_STREQ(rs->GetFieldValue(1), L"n30000");
    ASSERT_TRUE(rs->MoveTo(1999));
    EXPECT_STREQ(rs->GetFieldValue(0), L"2000");
    sqlite3_trace_v2(m_db.m_pDb, 0, nullptr, nullptr);
}

// A page read near the end of the rows walked so far holds fewer rows than a page; once
// more rows are counted, the rest of that page is read, not shown blank.
TEST_F(RowLoader, APageReadShortWhileTheWalkRanIsReadAgainForTheRowsCountedLater)
{
    MakeFile(NumberedRows("t", 5000) + "CREATE VIEW v AS SELECT id, name FROM t WHERE gate(id);");
    std::atomic<bool> finish{false};
    m_gate.at = 2050;
    m_gate.release = [&finish] { return finish.load(); };
    auto rs = MakeRecSet(L"v", m_target);
    ASSERT_TRUE(rs->Open(RECSET_MODE_QUERY));
    ASSERT_TRUE(WaitUntil([this] { return m_gate.reached.load(); }));
    // The page from row 1899 on: the walk holds 2,049 rows, so it brings 150 of them.
    ASSERT_TRUE(rs->MoveTo(1999));
    EXPECT_STREQ(rs->GetFieldValue(1), L"n2000");
    finish = true;
    ASSERT_TRUE(m_target.WaitForEnds());
    ASSERT_EQ(rs->GetRecordCount(), 5000);
    for (int row : {2048, 2049, 2060, 2098}) {
        ASSERT_TRUE(rs->MoveTo(row));
        EXPECT_EQ(std::wstring(rs->GetFieldValue(0)), std::to_wstring(row + 1)) << row;
        EXPECT_EQ(std::wstring(rs->GetFieldValue(1)), L"n" + std::to_wstring(row + 1)) << row;
    }
    EXPECT_EQ(m_lines.Count(), 0u);
}

TEST_F(RowLoader, ClosingWhileLoadingStopsTheLoadAndTheNextTableLoadsWhole)
{
    MakeFile(NumberedRows("t", 120000));
    g_nMaxGridRows = 6000000;
    auto doomed = MakeRecSet(L"t", m_target);
    doomed->m_strFilter = L"gate(rowid)";
    // The loader is held inside its step until the record set's cancel flag is set,
    // so the destructor has to wait for it.
    std::atomic<int>* cancel = &doomed->m_bCancelLoad;
    m_gate.release = [cancel] { return cancel->load() != 0; };
    ASSERT_TRUE(doomed->OpenTable());
    ASSERT_TRUE(WaitUntil([this] { return m_gate.reached.load(); }));
    doomed.reset();
    EXPECT_TRUE(m_gate.passed);
    DeliverQueuedEvents();
    EXPECT_EQ(m_target.posts, (Posts{{1, 2000}})) << "a stopped load posts no end";

    LoadRecorder target;
    auto next = MakeRecSet(L"t", target);
    ASSERT_TRUE(next->OpenTable());
    ASSERT_TRUE(target.WaitForEnds());
    EXPECT_EQ(next->GetRecordCount(), 120000);
    EXPECT_EQ(target.posts.back(), std::make_pair(0, 120000LL));
}

TEST_F(RowLoader, ASortWhileLoadingWaitsForTheRunningLoadThenLoadsTheNewOrder)
{
    MakeFile(NumberedRows("t", 120000));
    g_nMaxGridRows = 6000000;
    auto rs = MakeRecSet(L"t", m_target);
    rs->m_strFilter = L"gate(rowid) AND gate2(rowid)";
    // The first load is held until the sort's re-query has asked for the next load;
    // the sorted load is held after its first page until the test lets it go.
    m_gate.release = [] { return g_pLoaderRecSet.load() != nullptr; };
    std::atomic<bool> finish{false};
    m_gate2.at = 100000;
    m_gate2.applies = [] { return g_pLoaderRecSet.load() == nullptr; }; // the sorted load has been taken up
    m_gate2.release = [&finish] { return finish.load(); };
    m_target.watched = rs.get();
    ASSERT_TRUE(rs->OpenTable());
    EXPECT_TRUE(rs->IsLoading());
    rs->m_strSort = L"[id] DESC ";
    rs->Requery();
    EXPECT_TRUE(m_gate.passed);
    EXPECT_GE(rs->GetRecordCount(), LOADER_FIRST_PAGE_ROWS);
    EXPECT_EQ(rs->GetRowId(0), 120000);

    // The earlier load had ended before the re-query returned; its end arrives while
    // the sorted load still runs, so the receiver can tell it from the last end.
    DeliverQueuedEvents();
    const Posts before{{1, 2000}, {1, 50000}, {1, 100000}, {0, 120000}, {1, 2000}};
    EXPECT_EQ(m_target.posts, before);
    EXPECT_EQ(m_target.loadingAtPost, std::vector<bool>(before.size(), true));
    EXPECT_FALSE(m_gate2.passed);

    finish = true;
    ASSERT_TRUE(m_target.WaitForEnds(2));
    const Posts all{{1, 2000}, {1, 50000}, {1, 100000}, {0, 120000},
                    {1, 2000}, {1, 50000}, {1, 100000}, {0, 120000}};
    EXPECT_EQ(m_target.posts, all);
    EXPECT_FALSE(m_target.loadingAtPost.back());
    EXPECT_FALSE(rs->IsLoading());
    EXPECT_EQ(rs->GetRecordCount(), 120000);
    EXPECT_EQ(rs->GetRowId(119999), 1);
}

// The end of a load that a sort restarted while the earlier load was still listing rows:
// the sorted load is held at its very last row, and a thread reads the state and then the
// count, as the model does (the count under the row-id lock), while the load is let go.
// The load counts as ended only once its last rows are in the list: no reading sees an
// ended load short of rows, nor the earlier load's end as the end.
TEST_F(RowLoader, ALoadThatASortRestartedEndsOnlyWithEveryRowListed)
{
    constexpr int kRows = 120000;
    MakeFile(NumberedRows("t", kRows));
    g_nMaxGridRows = 6000000;
    auto rs = MakeRecSet(L"t", m_target);
    rs->m_strFilter = L"gate(rowid) AND gate2(rowid)";
    // The first load is held until the sort's re-query has asked for the next load; the
    // sorted load, in descending order, is held at its last row, rowid 1.
    std::atomic<bool> sortAsked{false};
    std::atomic<bool> finish{false};
    m_gate.release = [] { return g_pLoaderRecSet.load() != nullptr; };
    m_gate2.at = 1;
    m_gate2.applies = [&sortAsked] { return sortAsked.load(); };
    m_gate2.release = [&finish] { return finish.load(); };
    m_target.watched = rs.get();
    ASSERT_TRUE(rs->OpenTable());
    rs->m_strSort = L"[id] DESC ";
    sortAsked = true;
    rs->Requery();
    ASSERT_TRUE(WaitUntil([this] { return m_gate2.reached.load(); }));
    EXPECT_TRUE(rs->IsLoading());
    EXPECT_LT(rs->GetRecordCount(), kRows) << "the held row was listed";
    DeliverQueuedEvents();
    ASSERT_EQ(m_target.Ends(), 1u);
    EXPECT_TRUE(m_target.loadingAtPost.back()) << "the earlier load's end was taken for the end";

    struct Reading {
        bool ended;
        int count;
    };
    std::vector<Reading> readings;
    std::atomic<bool> reading{false};
    std::thread observer([&] {
        const QDeadlineTimer deadline(20000);
        reading = true;
        while (!deadline.hasExpired()) {
            const bool ended = !rs->IsLoading();
            readings.push_back({ended, rs->GetRecordCount()});
            if (ended)
                break;
        }
    });
    ASSERT_TRUE(WaitUntil([&reading] { return reading.load(); }));
    finish = true;
    observer.join();
    ASSERT_FALSE(readings.empty());
    EXPECT_FALSE(readings.front().ended);
    ASSERT_TRUE(readings.back().ended) << "the load never ended";
    for (const Reading& r : readings)
        EXPECT_TRUE(!r.ended || r.count == kRows) << "an ended load was short of rows: " << r.count;
    EXPECT_EQ(rs->GetRowId(kRows - 1), 1);

    ASSERT_TRUE(m_target.WaitForEnds(2));
    EXPECT_EQ(m_target.posts.back(), std::make_pair(0, static_cast<long long>(kRows)));
    EXPECT_FALSE(m_target.loadingAtPost.back());
}

TEST_F(RowLoader, WritesOnTheSharedConnectionWorkWhileTheLoaderHoldsItsRead)
{
    MakeFile(NumberedRows("t", 120000));
    g_nMaxGridRows = 6000000;
    auto rs = MakeRecSet(L"t", m_target);
    rs->m_strFilter = L"gate(rowid)";
    // The loader passes the gate once this thread holds the rowid lock, and then
    // waits for the lock with its statement still open.
    std::atomic<bool> locked{false};
    m_gate.release = [&locked] { return locked.load(); };
    ASSERT_TRUE(rs->OpenTable());
    ASSERT_TRUE(WaitUntil([this] { return m_gate.reached.load(); }));
    {
        std::lock_guard lock(g_csRowIds);
        locked = true;
        ASSERT_TRUE(WaitUntil([this] { return m_gate.passed.load(); }));
        rs->Edit(10);
        rs->BindField(0, L"10");
        rs->BindField(1, L"edited");
        EXPECT_EQ(rs->ExecuteBound(), 1);
        EXPECT_EQ(rs->DeleteRows({0, 1}), 2);
        rs->AddNew();
        rs->BindField(1, L"added");
        EXPECT_EQ(rs->ExecuteBound(), 1);
        EXPECT_TRUE(rs->IsLoading());
    }
    ASSERT_TRUE(m_target.WaitForEnds());
    EXPECT_EQ(m_lines.Count(), 0u);
    EXPECT_EQ(testing_support::QueryRaw(m_path, "SELECT name FROM t WHERE id=10"), "edited");
    EXPECT_EQ(testing_support::QueryRaw(m_path, "SELECT count(*) FROM t WHERE id<3 OR name='added'"), "1");
    EXPECT_EQ(rs->GetRowId(0), 3);
}

TEST_F(RowLoader, TheThreadEndsWithTheLastRecordSetAndANewOneStartsLater)
{
    MakeFile(NumberedRows("t", 3000));
    {
        LoadRecorder other;
        auto first = MakeRecSet(L"t", m_target);
        auto second = MakeRecSet(L"t", other);
        EXPECT_EQ(g_nRecSetCount, 2);
        ASSERT_TRUE(first->OpenTable());
        ASSERT_TRUE(second->OpenTable());
        first.reset();
        EXPECT_TRUE(g_loaderThread.joinable());
        ASSERT_TRUE(other.WaitForEnds());
    }
    EXPECT_EQ(g_nRecSetCount, 0);
    EXPECT_FALSE(g_loaderThread.joinable());

    LoadRecorder target;
    auto later = MakeRecSet(L"t", target);
    EXPECT_TRUE(g_loaderThread.joinable());
    ASSERT_TRUE(later->OpenTable());
    ASSERT_TRUE(target.WaitForEnds());
    EXPECT_EQ(later->GetRecordCount(), 3000);
}

struct FailureCase {
    const wchar_t* filter;
    const wchar_t* sort;
    Posts posts;
    const wchar_t* message;
};

TEST_F(RowLoader, AFailureInsideTheLoaderEndsTheJobLikeItsEnd)
{
    MakeFile(NumberedRows("t", 3000));
    const FailureCase cases[] = {
        {L"", L"nosuchcolumn", {{0, 0}}, L"no such column"},                           // the prepare fails
        {L"fail_at(rowid)", L"", {{1, 2000}, {0, 2499}}, L"broken row"},               // a step fails
    };
    for (const FailureCase& c : cases) {
        LoadRecorder target;
        CaptionRecorder lines;
        auto rs = MakeRecSet(L"t", target);
        rs->m_strFilter = c.filter;
        rs->m_strSort = c.sort;
        ASSERT_TRUE(rs->OpenTable()); // returns: the failed job sets the first-page event
        ASSERT_TRUE(target.WaitForEnds());
        EXPECT_EQ(target.posts, c.posts);
        EXPECT_FALSE(rs->IsLoading());
        EXPECT_EQ(g_bLoaderBusy, 0);
        DeliverQueuedEvents();
        ASSERT_EQ(lines.Count(), 1u);
        EXPECT_EQ(lines.Last().type, platform::CAPTION_LINE_ERROR);
        EXPECT_NE(lines.Last().text.find(c.message), std::wstring::npos);

        // The next load prepares its own statement and runs whole.
        rs->m_strFilter.clear();
        rs->m_strSort.clear();
        rs->Requery();
        ASSERT_TRUE(target.WaitForEnds(2));
        EXPECT_EQ(rs->GetRecordCount(), 3000);
    }
}

} // namespace
