// The record set and its row loader against raw SQLite on the same database file.
//
// The program writes one file with a table of 1,000,000 rows and one of 10,000,000 rows
// into a temporary folder, runs every benchmark on it and ends with a summary that puts
// each record-set figure beside the raw SQLite figure of the same run.
//
// Times are wall-clock times of the measured part only (manual timing): setting up a
// record set, waiting for a load it does not measure and tearing it down stay outside.
#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/cadbsqlrecset.h"
#include "data/currentdb.h"
#include "data/settings.h"
#include "data/sqlite16.h"
#include "platform/captionline.h"
#include "platform/messagebox.h"
#include "platform/messagetarget.h"
#include "platform/utf16.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSmallRows = 1'000'000;
constexpr int kBigRows = 10'000'000;
constexpr int kFirstPageRows = 2'000;
constexpr int kRandomRows = 100'000;
constexpr int kPageRows = 200;
constexpr int kPageLead = 100; // the page cache reloads from this many rows before the row asked for
constexpr int kFarOffset = 5'000'000;
constexpr int kColumns = 5;
constexpr int kLoadBoundMs = 300'000; // a load that has not ended by then counts as failed

const std::wstring kViewName = L"big_view";
const std::wstring kColumnOrder = L" 1,2,3,4,5";
const std::wstring kSelectList = L"[id],[name],[city],[amount],[note]";

std::wstring TableName(int rows)
{
    return rows == kBigRows ? L"big" : L"small";
}

std::string Utf8(const std::wstring& text)
{
    return platform::ToQString(text).toStdString();
}

[[noreturn]] void Fatal(const std::string& what)
{
    std::fprintf(stderr, "tabulon_bench_recset: %s\n", what.c_str());
    std::exit(1);
}

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// ---------------------------------------------------------------------------
// Raw SQLite

class RawStmt {
public:
    RawStmt(sqlite3* db, const std::wstring& sql)
    {
        if (sqlite16::Prepare(db, sql, &m_stmt) != SQLITE_OK)
            Fatal(Utf8(sqlite16::ErrorMessage(db) + L" in " + sql));
    }
    ~RawStmt() { sqlite3_finalize(m_stmt); }
    RawStmt(const RawStmt&) = delete;
    RawStmt& operator=(const RawStmt&) = delete;

    sqlite3_stmt* get() const { return m_stmt; }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

void ExecRaw(sqlite3* db, const std::wstring& sql)
{
    RawStmt stmt(db, sql);
    int rc = sqlite3_step(stmt.get());
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(stmt.get());
    if (rc != SQLITE_DONE)
        Fatal(Utf8(sqlite16::ErrorMessage(db) + L" in " + sql));
}

sqlite3* OpenRaw(const std::wstring& path)
{
    sqlite3* db = nullptr;
    if (sqlite16::Open(path, &db) != SQLITE_OK)
        Fatal("cannot open " + Utf8(path));
    return db;
}

void BindAscii(sqlite3_stmt* stmt, int parameter, const std::string& text)
{
    const std::u16string wide(text.begin(), text.end());
    sqlite3_bind_text16(stmt, parameter, wide.data(), static_cast<int>(wide.size() * sizeof(char16_t)),
                        SQLITE_TRANSIENT);
}

void FillTable(sqlite3* db, int rows)
{
    const std::wstring table = TableName(rows);
    ExecRaw(db, L"CREATE TABLE [" + table + L"] (id INTEGER PRIMARY KEY, name TEXT, city TEXT, amount REAL, note TEXT)");
    RawStmt insert(db, L"INSERT INTO [" + table + L"] VALUES (?, ?, ?, ?, ?)");
    static const char* const kCities[] = {"Aberdeen", "Bergen", "Cadiz", "Dresden", "Esbjerg", "Faro", "Gdansk", "Haarlem"};
    std::mt19937 random(static_cast<unsigned>(rows));
    for (int id = 1; id <= rows; ++id) {
        sqlite3_stmt* s = insert.get();
        sqlite3_bind_int64(s, 1, id);
        BindAscii(s, 2, "Customer " + std::to_string(random() % 1'000'000));
        BindAscii(s, 3, kCities[random() % 8]);
        sqlite3_bind_double(s, 4, static_cast<double>(random() % 10'000'000) / 100.0);
        BindAscii(s, 5, "Order " + std::to_string(id) + " of batch " + std::to_string(random() % 1000));
        if (sqlite3_step(s) != SQLITE_DONE)
            Fatal(Utf8(sqlite16::ErrorMessage(db)));
        sqlite3_reset(s);
    }
}

// ---------------------------------------------------------------------------
// The files of this run and the two connections on them

struct BenchFiles {
    QTemporaryDir folder;
    std::wstring path;
    sqlite3* raw = nullptr; // raw SQLite's connection
    CADbSqlDb db;           // the record sets' connection
};

BenchFiles* g_files = nullptr;

void CreateFiles(BenchFiles& files)
{
    if (!files.folder.isValid())
        Fatal("cannot create a temporary folder");
    files.path = platform::FromQString(files.folder.filePath(QStringLiteral("bench.db")));
    const Clock::time_point start = Clock::now();
    sqlite3* db = OpenRaw(files.path);
    ExecRaw(db, L"PRAGMA journal_mode = OFF");
    ExecRaw(db, L"PRAGMA synchronous = OFF");
    ExecRaw(db, L"BEGIN");
    FillTable(db, kSmallRows);
    FillTable(db, kBigRows);
    ExecRaw(db, L"COMMIT");
    sqlite3_close(db);
    std::fprintf(stderr, "Generated %d and %d rows in %.1f s\n", kSmallRows, kBigRows, SecondsSince(start));

    const std::wstring view = L"CREATE TEMP VIEW [" + kViewName + L"] AS SELECT * FROM [big]";
    files.raw = OpenRaw(files.path);
    ExecRaw(files.raw, view);
    files.db.OpenDb(files.path);
    files.db.ExecuteCmd(view);
    g_pCurrentDb = &files.db;
}

// ---------------------------------------------------------------------------
// Figures of this run: mean seconds (or bytes a row) by name, for the summary

std::map<std::string, double> g_figures;
std::map<std::string, std::string> g_checks; // a figure's consistency problem, if any

std::optional<double> Figure(const std::string& name)
{
    const auto it = g_figures.find(name);
    if (it == g_figures.end())
        return std::nullopt;
    return it->second;
}

// Sums the measured part of each iteration and stores the mean under the name; a
// record-set figure also gets its ratio to the raw figure as a counter.
class Timing {
public:
    Timing(benchmark::State& state, std::string name, std::string rawName = {})
        : m_state(state), m_name(std::move(name)), m_rawName(std::move(rawName)) {}

    void Add(double seconds)
    {
        m_state.SetIterationTime(seconds);
        m_total += seconds;
        ++m_count;
    }

    ~Timing()
    {
        if (m_count == 0 || m_state.error_occurred())
            return;
        const double mean = m_total / m_count;
        g_figures[m_name] = mean;
        if (const std::optional<double> raw = Figure(m_rawName); raw && *raw > 0)
            m_state.counters["x_raw"] = mean / *raw;
    }

private:
    benchmark::State& m_state;
    std::string m_name;
    std::string m_rawName;
    double m_total = 0;
    int m_count = 0;
};

// ---------------------------------------------------------------------------
// Record sets

class BenchRecSet : public CADbSqlRecSet {
public:
    explicit BenchRecSet(const std::wstring& source)
        : CADbSqlRecSet(&g_files->db)
    {
        m_strTableName = source;
        m_strColumnOrder = kColumnOrder;
    }
    std::wstring GetDefaultSource() override { return {}; }
    std::wstring GetDefaultTableName() override { return {}; }
    std::wstring GetDefaultColumnOrder() override { return {}; }
};

// Receives the loader's posts and runs the event loop until the final one.
class LoadWatcher : public platform::MessageTarget {
public:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == UM_LOAD_TABLE_DATA && wParam == 0) {
            m_bEnded = true;
            m_nRows = lParam;
            m_loop.quit();
        }
        return 0;
    }

    // False when the final post did not come within the bound.
    bool WaitForEnd()
    {
        if (!m_bEnded) {
            QTimer::singleShot(kLoadBoundMs, &m_loop, &QEventLoop::quit);
            m_loop.exec();
        }
        return m_bEnded;
    }

    bool m_bEnded = false;
    LPARAM m_nRows = 0;

private:
    QEventLoop m_loop;
};

// Opens the record set; false (with the benchmark's error set) on a failure.
bool OpenRecSet(benchmark::State& state, CADbSqlRecSet& recset, int mode)
{
    try {
        if (recset.Open(mode))
            return true;
        state.SkipWithError("Open gave false");
    } catch (const CADbSqlException& e) {
        state.SkipWithError(Utf8(L"Open threw " + e.GetErrorText()).c_str());
    }
    return false;
}

// Opens and waits for the load's end; false (with the benchmark's error set) on a failure.
bool OpenAndLoad(benchmark::State& state, CADbSqlRecSet& recset, LoadWatcher& watcher, int mode, int rows)
{
    recset.m_pNotifyWnd = &watcher;
    if (!OpenRecSet(state, recset, mode))
        return false;
    if (!watcher.WaitForEnd()) {
        state.SkipWithError("the final load post did not come");
        return false;
    }
    if (watcher.m_nRows != rows || recset.GetRecordCount() != rows || recset.IsLoading()) {
        state.SkipWithError(("load ended with " + std::to_string(recset.GetRecordCount()) + " rows, post " +
                             std::to_string(watcher.m_nRows) + ", still loading " +
                             std::to_string(recset.IsLoading()))
                                .c_str());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Memory: resident-set growth from a mark, with the engine's own share

struct MemoryMark {
    long long rss = 0;
    sqlite3_int64 engine = 0;
};

long long StatusBytes(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0)
            return std::atoll(line.c_str() + key.size() + 1) * 1024;
    }
    return -1;
}

// Returns freed heap to the system and resets the peak resident set, so the peak
// after the mark belongs to what runs after it.
std::optional<MemoryMark> MarkMemory()
{
    malloc_trim(0);
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.close();
    if (!clear)
        return std::nullopt;
    MemoryMark mark;
    mark.rss = StatusBytes("VmRSS");
    sqlite3_int64 highWater = 0;
    sqlite3_status64(SQLITE_STATUS_MEMORY_USED, &mark.engine, &highWater, 1);
    return mark;
}

// Sets the counters of the peak growth since the mark, a row, and stores the figure
// of the growth beyond the engine's own memory (its page cache).
void ReportMemory(benchmark::State& state, const MemoryMark& mark, int rows, const std::string& name)
{
    const double peak = static_cast<double>(StatusBytes("VmHWM") - mark.rss);
    sqlite3_int64 engineNow = 0;
    sqlite3_int64 engineHigh = 0;
    sqlite3_status64(SQLITE_STATUS_MEMORY_USED, &engineNow, &engineHigh, 0);
    const double engine = static_cast<double>(engineHigh - mark.engine);
    state.counters["peak_B_per_row"] = peak / rows;
    state.counters["engine_B_per_row"] = engine / rows;
    state.counters["above_engine_B_per_row"] = (peak - engine) / rows;
    g_figures[name] = (peak - engine) / rows;
}

// ---------------------------------------------------------------------------
// 1. First page: until Open returns, against raw SQLite stepping the first 2,000 rowids

std::string FirstPageName(const char* side, int rows)
{
    return std::string("first_page_") + side + "/" + std::to_string(rows);
}

void BM_FirstPageRaw(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    const std::wstring sql = L"SELECT rowid FROM [" + TableName(rows) + L"]";
    Timing timing(state, FirstPageName("raw", rows));
    for (auto _ : state) {
        std::vector<sqlite3_int64> ids;
        const Clock::time_point start = Clock::now();
        {
            RawStmt stmt(g_files->raw, sql);
            while (ids.size() < kFirstPageRows && sqlite3_step(stmt.get()) == SQLITE_ROW)
                ids.push_back(sqlite3_column_int64(stmt.get(), 0));
        }
        timing.Add(SecondsSince(start));
        benchmark::DoNotOptimize(ids.data());
    }
}

void BM_FirstPageRecSet(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    Timing timing(state, FirstPageName("recset", rows), FirstPageName("raw", rows));
    for (auto _ : state) {
        auto recset = std::make_unique<BenchRecSet>(TableName(rows));
        const Clock::time_point start = Clock::now();
        if (!OpenRecSet(state, *recset, 0))
            break;
        const double seconds = SecondsSince(start);
        const int count = recset->GetRecordCount();
        // The load goes on in the background; the closing document's cancel ends it.
        recset->m_bCancelLoad = 1;
        recset.reset();
        if (count < kFirstPageRows) {
            state.SkipWithError(("Open returned with " + std::to_string(count) + " rows").c_str());
            break;
        }
        timing.Add(seconds);
    }
}

// ---------------------------------------------------------------------------
// 2. Full rowid load of the 10,000,000-row table

void BM_FullLoadRaw(benchmark::State& state)
{
    const std::wstring sql = L"SELECT rowid FROM [" + TableName(kBigRows) + L"]";
    Timing timing(state, "full_load_raw");
    for (auto _ : state) {
        std::vector<sqlite3_int64> ids;
        const Clock::time_point start = Clock::now();
        {
            RawStmt stmt(g_files->raw, sql);
            while (sqlite3_step(stmt.get()) == SQLITE_ROW)
                ids.push_back(sqlite3_column_int64(stmt.get(), 0));
        }
        const double seconds = SecondsSince(start);
        if (ids.size() != kBigRows) {
            state.SkipWithError("raw load incomplete");
            break;
        }
        timing.Add(seconds);
    }
}

void BM_FullLoadRecSet(benchmark::State& state)
{
    Timing timing(state, "full_load_recset", "full_load_raw");
    for (auto _ : state) {
        LoadWatcher watcher;
        auto recset = std::make_unique<BenchRecSet>(TableName(kBigRows));
        const Clock::time_point start = Clock::now();
        if (!OpenAndLoad(state, *recset, watcher, 0, kBigRows))
            break;
        timing.Add(SecondsSince(start));
    }
}

// ---------------------------------------------------------------------------
// 3. Every cell of 100,000 random rows of the 10,000,000-row table

const std::vector<int>& RandomRows()
{
    static const std::vector<int> rows = [] {
        std::mt19937_64 random(42);
        std::uniform_int_distribution<int> pick(0, kBigRows - 1);
        std::vector<int> out(kRandomRows);
        for (int& row : out)
            row = pick(random);
        return out;
    }();
    return rows;
}

// Characters read by each side, compared in the summary: both must read the same cells.
long long g_nRawChars = 0;
long long g_nRecSetChars = 0;

void BM_RandomRowsRaw(benchmark::State& state)
{
    RawStmt stmt(g_files->raw, L"SELECT " + kSelectList + L" FROM [" + TableName(kBigRows) + L"] WHERE ROWID = ?");
    sqlite3_stmt* s = stmt.get();
    Timing timing(state, "random_rows_raw");
    for (auto _ : state) {
        long long chars = 0;
        bool complete = true;
        const Clock::time_point start = Clock::now();
        for (const int row : RandomRows()) {
            // An unsorted table with keys 1 to n holds row i at rowid i + 1.
            sqlite3_bind_int64(s, 1, static_cast<sqlite3_int64>(row) + 1);
            if (sqlite3_step(s) != SQLITE_ROW) {
                complete = false;
                break;
            }
            for (int column = 0; column < kColumns; ++column) {
                const void* text = sqlite3_column_text16(s, column);
                benchmark::DoNotOptimize(text);
                chars += sqlite3_column_bytes16(s, column) / 2;
            }
            sqlite3_reset(s);
        }
        const double seconds = SecondsSince(start);
        if (!complete) {
            state.SkipWithError("a random row is missing");
            break;
        }
        g_nRawChars = chars;
        timing.Add(seconds);
    }
}

void BM_RandomRowsRecSet(benchmark::State& state)
{
    LoadWatcher watcher;
    BenchRecSet recset(TableName(kBigRows));
    if (!OpenAndLoad(state, recset, watcher, 0, kBigRows))
        return;
    for (const int row : RandomRows()) {
        if (recset.GetRowId(row) != static_cast<RowId>(row) + 1) {
            state.SkipWithError(("row " + std::to_string(row) + " has rowid " + std::to_string(recset.GetRowId(row)))
                                    .c_str());
            return;
        }
    }
    Timing timing(state, "random_rows_recset", "random_rows_raw");
    for (auto _ : state) {
        long long chars = 0;
        bool complete = true;
        const Clock::time_point start = Clock::now();
        for (const int row : RandomRows()) {
            if (!recset.MoveTo(row)) {
                complete = false;
                break;
            }
            for (int column = 0; column < recset.m_nFields; ++column) {
                const wchar_t* text = recset.GetFieldValue(column);
                if (text)
                    chars += static_cast<long long>(std::wcslen(text));
            }
        }
        const double seconds = SecondsSince(start);
        recset.CloseRowStmt();
        if (!complete) {
            state.SkipWithError("MoveTo gave false");
            break;
        }
        g_nRecSetChars = chars;
        timing.Add(seconds);
    }
}

// ---------------------------------------------------------------------------
// 4. Offset mode: one page of the temporary view over the 10,000,000-row table

std::string OffsetName(const char* side, int offset)
{
    return std::string("offset_page_") + side + "/" + std::to_string(offset);
}

void BM_OffsetPageRaw(benchmark::State& state)
{
    const int offset = static_cast<int>(state.range(0));
    RawStmt stmt(g_files->raw, L"SELECT * FROM [" + kViewName + L"] LIMIT ?, ?");
    sqlite3_stmt* s = stmt.get();
    Timing timing(state, OffsetName("raw", offset));
    for (auto _ : state) {
        int rows = 0;
        const Clock::time_point start = Clock::now();
        sqlite3_bind_int(s, 1, offset);
        sqlite3_bind_int(s, 2, kPageRows);
        while (sqlite3_step(s) == SQLITE_ROW) {
            for (int column = 0; column < kColumns; ++column) {
                const void* text = sqlite3_column_text16(s, column);
                benchmark::DoNotOptimize(text);
            }
            ++rows;
        }
        sqlite3_reset(s);
        const double seconds = SecondsSince(start);
        if (rows != kPageRows) {
            state.SkipWithError("short page");
            break;
        }
        timing.Add(seconds);
    }
}

void BM_OffsetPageRecSet(benchmark::State& state)
{
    const int offset = static_cast<int>(state.range(0));
    LoadWatcher watcher;
    BenchRecSet recset(kViewName);
    if (!OpenAndLoad(state, recset, watcher, 1, kBigRows))
        return;
    // The row whose reload starts at the offset, and a row whose page lies elsewhere.
    const int row = offset + kPageLead;
    const int elsewhere = offset == 0 ? 10 * kPageRows : 0;
    Timing timing(state, OffsetName("recset", offset), OffsetName("raw", offset));
    for (auto _ : state) {
        if (!recset.MoveTo(elsewhere) || !recset.GetFieldValue(0)) {
            state.SkipWithError("cannot read the row elsewhere");
            break;
        }
        bool complete = recset.MoveTo(row);
        const Clock::time_point start = Clock::now();
        for (int column = 0; complete && column < recset.m_nFields; ++column) {
            const wchar_t* text = recset.GetFieldValue(column);
            complete = text && *text;
        }
        const double seconds = SecondsSince(start);
        if (!complete) {
            state.SkipWithError("the page row is empty");
            break;
        }
        timing.Add(seconds);
    }
}

// ---------------------------------------------------------------------------
// 5. Peak memory of a loaded 10,000,000-row rowid list

void BM_RowIdMemoryRaw(benchmark::State& state)
{
    for (auto _ : state) {
        const std::optional<MemoryMark> mark = MarkMemory();
        if (!mark) {
            state.SkipWithError("cannot reset the peak resident set");
            break;
        }
        std::vector<sqlite3_int64> ids;
        {
            RawStmt stmt(g_files->raw, L"SELECT rowid FROM [" + TableName(kBigRows) + L"]");
            while (sqlite3_step(stmt.get()) == SQLITE_ROW)
                ids.push_back(sqlite3_column_int64(stmt.get(), 0));
        }
        ReportMemory(state, *mark, kBigRows, "memory_raw");
    }
}

void BM_RowIdMemoryRecSet(benchmark::State& state)
{
    for (auto _ : state) {
        const std::optional<MemoryMark> mark = MarkMemory();
        if (!mark) {
            state.SkipWithError("cannot reset the peak resident set");
            break;
        }
        LoadWatcher watcher;
        BenchRecSet recset(TableName(kBigRows));
        if (!OpenAndLoad(state, recset, watcher, 0, kBigRows))
            break;
        ReportMemory(state, *mark, kBigRows, "memory_recset");
    }
}

// Raw before record set, so that each record-set figure finds its raw figure.
BENCHMARK(BM_FirstPageRaw)->Arg(kSmallRows)->Arg(kBigRows)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstPageRecSet)->Arg(kSmallRows)->Arg(kBigRows)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullLoadRaw)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullLoadRecSet)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RandomRowsRaw)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RandomRowsRecSet)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OffsetPageRaw)->Arg(0)->Iterations(200)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OffsetPageRaw)->Arg(kFarOffset)->Iterations(5)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OffsetPageRecSet)->Arg(0)->Iterations(200)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OffsetPageRecSet)->Arg(kFarOffset)->Iterations(5)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RowIdMemoryRaw)->Iterations(1);
BENCHMARK(BM_RowIdMemoryRecSet)->Iterations(1);

// ---------------------------------------------------------------------------
// Summary

std::string Duration(double seconds)
{
    char text[32];
    if (seconds >= 1)
        std::snprintf(text, sizeof text, "%.3f s", seconds);
    else if (seconds >= 1e-3)
        std::snprintf(text, sizeof text, "%.3f ms", seconds * 1e3);
    else
        std::snprintf(text, sizeof text, "%.1f us", seconds * 1e6);
    return text;
}

std::string Bytes(double bytes)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f B/row", bytes);
    return text;
}

void SummaryLine(const char* what, const std::string& recsetName, const std::string& rawName, double target,
                 std::string (*format)(double) = Duration)
{
    const std::optional<double> recset = Figure(recsetName);
    const std::optional<double> raw = Figure(rawName);
    if (!recset || !raw)
        return;
    char verdict[32] = "-";
    if (target > 0)
        std::snprintf(verdict, sizeof verdict, "%s (<= %.2f)", *recset / *raw <= target ? "met" : "NOT met", target);
    std::printf("%-44s %14s %14s %8.2f  %s\n", what, format(*recset).c_str(), format(*raw).c_str(), *recset / *raw,
                verdict);
}

std::mutex g_noticeMutex;
std::vector<std::wstring> g_notices; // boxes and caption lines the record sets showed

void PrintSummary()
{
    std::printf("\nRecord set against raw SQLite, same run (ratio = record set / raw)\n");
    std::printf("%-44s %14s %14s %8s  %s\n", "figure", "record set", "raw SQLite", "ratio", "target");
    SummaryLine("first page, 1,000,000-row table", FirstPageName("recset", kSmallRows),
                FirstPageName("raw", kSmallRows), 0);
    SummaryLine("first page, 10,000,000-row table", FirstPageName("recset", kBigRows), FirstPageName("raw", kBigRows),
                0);
    SummaryLine("full rowid load, 10,000,000 rows", "full_load_recset", "full_load_raw", 1.25);
    SummaryLine("every cell of 100,000 random rows", "random_rows_recset", "random_rows_raw", 1.5);
    SummaryLine("offset-mode page at 0", OffsetName("recset", 0), OffsetName("raw", 0), 0);
    SummaryLine("offset-mode page at 5,000,000", OffsetName("recset", kFarOffset), OffsetName("raw", kFarOffset), 0);
    SummaryLine("rowid list of 10,000,000 rows, peak", "memory_recset", "memory_raw", 0, Bytes);

    const std::optional<double> firstBig = Figure(FirstPageName("recset", kBigRows));
    const std::optional<double> firstSmall = Figure(FirstPageName("recset", kSmallRows));
    if (firstBig && firstSmall)
        std::printf("first page, 10,000,000 against 1,000,000 rows (record set): %.2f\n", *firstBig / *firstSmall);
    if (const std::optional<double> memory = Figure("memory_recset"))
        std::printf("rowid list memory above the engine's page cache: %.2f bytes a row (target <= 8: %s)\n", *memory,
                    *memory <= 8 ? "met" : "NOT met");
    if (g_nRawChars && g_nRecSetChars && g_nRawChars != g_nRecSetChars)
        std::printf("random rows: the record set read %lld characters, raw SQLite %lld\n", g_nRecSetChars, g_nRawChars);
    std::lock_guard lock(g_noticeMutex);
    for (const std::wstring& notice : g_notices)
        std::printf("shown during the run: %s\n", Utf8(notice).c_str());
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QCoreApplication app(argc, argv);

    // Nothing may wait for a user: boxes and caption lines are only recorded.
    platform::SetMessageBoxHandler([](const platform::MessageBoxRequest& request) {
        std::lock_guard lock(g_noticeMutex);
        g_notices.push_back(L"box: " + request.text);
        return platform::IDOK;
    });
    platform::SetCaptionSink([](const std::wstring& text, int) {
        std::lock_guard lock(g_noticeMutex);
        g_notices.push_back(L"caption line: " + text);
    });
    g_nMaxGridRows = 2 * kBigRows;

    BenchFiles files;
    CreateFiles(files);
    g_files = &files;
    {
        // Keeps the loader thread alive across the benchmarks, as an open datasheet
        // does, so that no figure includes starting the thread.
        BenchRecSet keeper(TableName(kSmallRows));
        benchmark::RunSpecifiedBenchmarks();
    }
    QCoreApplication::processEvents();
    PrintSummary();
    benchmark::Shutdown();
    g_pCurrentDb = nullptr;
    sqlite3_close(files.raw);
    return 0;
}
