// The record set and its row loader against raw SQLite on the same database file.
//
// The program writes one file with a table of 1,000,000 rows and one of 10,000,000 rows
// into a temporary folder, runs every benchmark on it and ends with a summary that puts
// each record-set figure beside the raw SQLite figure of the same run.
//
// Times are wall-clock times of the measured part only (manual timing): setting up a
// record set, waiting for a load it does not measure and tearing it down stay outside.
// The time Google Benchmark shows is the record set's (for the first page, on the
// larger table); the counters and the summary hold both sides and their ratio.
#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/cadbsqlrecset.h"
#include "data/currentdb.h"
#include "data/formatstring.h"
#include "data/settings.h"
#include "data/sqlite16.h"
#include "platform/captionline.h"
#include "platform/messagebox.h"
#include "platform/messagetarget.h"
#include "platform/utf16.h"

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <malloc.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
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
        if (sqlite16::Prepare(db, sql, m_stmt) != SQLITE_OK)
            Fatal(Utf8(sqlite16::ErrorMessage(db) + L" in " + sql));
    }

    sqlite3_stmt* get() const { return m_stmt; }

private:
    SqlStatement m_stmt;
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
    ExecRaw(db, L"CREATE TABLE " + QuoteIdentifier(table) +
                    L" (id INTEGER PRIMARY KEY, name TEXT, city TEXT, amount REAL, note TEXT)");
    RawStmt insert(db, L"INSERT INTO " + QuoteIdentifier(table) + L" VALUES (?, ?, ?, ?, ?)");
    static const char* const kCities[] = {"Aberdeen", "Bergen", "Cadiz",  "Dresden",
                                          "Esbjerg",  "Faro",   "Gdansk", "Haarlem"};
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

    const std::wstring view = L"CREATE TEMP VIEW " + QuoteIdentifier(kViewName) + L" AS SELECT * FROM " +
                               QuoteIdentifier(TableName(kBigRows));
    files.raw = OpenRaw(files.path);
    ExecRaw(files.raw, view);
    files.db.OpenDb(files.path);
    files.db.ExecuteCmd(view);
    g_pCurrentDb = &files.db;
}

// ---------------------------------------------------------------------------
// Figures of this run: raw SQLite and the record set side by side, by figure

struct Figure {
    double raw = 0;
    double recset = 0;
};

std::map<std::string, Figure> g_figures;

double Median(std::vector<double> samples)
{
    const auto middle = samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2);
    std::nth_element(samples.begin(), middle, samples.end());
    return *middle;
}

// One figure, with raw SQLite and the record set measured in turns in each iteration,
// so that a change in the load of the machine (it may be shared) hits both alike.
// Each side's figure is the median of its iterations. The counters' names start with
// the prefix, for a benchmark that measures more than one figure.
class Comparison {
public:
    Comparison(benchmark::State& state, std::string name, std::string counterPrefix = {})
        : m_state(state), m_name(std::move(name)), m_prefix(std::move(counterPrefix)) {}
    Comparison(const Comparison&) = delete;
    Comparison& operator=(const Comparison&) = delete;

    void Add(double raw, double recset)
    {
        m_raw.push_back(raw);
        m_recset.push_back(recset);
    }

    ~Comparison()
    {
        if (m_raw.empty() || m_state.error_occurred())
            return;
        const Figure figure{Median(m_raw), Median(m_recset)};
        g_figures[m_name] = figure;
        m_state.counters[m_prefix + "raw_s"] = figure.raw;
        m_state.counters[m_prefix + "recset_s"] = figure.recset;
        m_state.counters[m_prefix + "x_raw"] = figure.recset / figure.raw;
    }

private:
    benchmark::State& m_state;
    std::string m_name;
    std::string m_prefix;
    std::vector<double> m_raw;
    std::vector<double> m_recset;
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

// The table's rowids in scan order, at most `limit` of them, the raw way.
std::vector<sqlite3_int64> RawRowIds(int rows, size_t limit)
{
    std::vector<sqlite3_int64> ids;
    RawStmt stmt(g_files->raw, L"SELECT rowid FROM " + QuoteIdentifier(TableName(rows)));
    while (ids.size() < limit && sqlite3_step(stmt.get()) == SQLITE_ROW)
        ids.push_back(sqlite3_column_int64(stmt.get(), 0));
    return ids;
}

// ---------------------------------------------------------------------------
// Memory: resident-set growth from a mark, less the engine's own (its page cache)

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

class MemoryMark {
public:
    // Returns freed heap to the system and resets the peak resident set, so that the
    // peak after the mark belongs to what runs after it.
    MemoryMark()
    {
        malloc_trim(0);
        std::ofstream clear("/proc/self/clear_refs");
        clear << "5";
        clear.close();
        m_bValid = static_cast<bool>(clear);
        m_nRss = StatusBytes("VmRSS");
        sqlite3_int64 highWater = 0;
        sqlite3_status64(SQLITE_STATUS_MEMORY_USED, &m_nEngine, &highWater, 1);
    }

    bool IsValid() const { return m_bValid; }

    // Peak growth since the mark beyond the engine's peak growth, bytes a row.
    double PeakPerRow(int rows) const
    {
        sqlite3_int64 engineNow = 0;
        sqlite3_int64 engineHigh = 0;
        sqlite3_status64(SQLITE_STATUS_MEMORY_USED, &engineNow, &engineHigh, 0);
        return static_cast<double>(StatusBytes("VmHWM") - m_nRss - (engineHigh - m_nEngine)) / rows;
    }

private:
    bool m_bValid = false;
    long long m_nRss = 0;
    sqlite3_int64 m_nEngine = 0;
};

// ---------------------------------------------------------------------------
// 5. Peak memory of a loaded 10,000,000-row rowid list. It runs first: later
// benchmarks leave freed heap that the allocator keeps and reuses, which would hide
// part of a list's growth.

void BM_RowIdMemory(benchmark::State& state)
{
    for (auto _ : state) {
        double raw = 0;
        {
            const MemoryMark mark;
            if (!mark.IsValid()) {
                state.SkipWithError("cannot reset the peak resident set");
                break;
            }
            const std::vector<sqlite3_int64> ids = RawRowIds(kBigRows, kBigRows);
            raw = mark.PeakPerRow(kBigRows);
        }
        const MemoryMark mark;
        LoadWatcher watcher;
        BenchRecSet recset(TableName(kBigRows));
        if (!OpenAndLoad(state, recset, watcher, 0, kBigRows))
            break;
        const double recsetBytes = mark.PeakPerRow(kBigRows);
        g_figures["memory"] = Figure{raw, recsetBytes};
        state.counters["raw_B_per_row"] = raw;
        state.counters["recset_B_per_row"] = recsetBytes;
    }
}

// ---------------------------------------------------------------------------
// 1. First page: until Open returns, against raw SQLite stepping the first 2,000
// rowids, for both tables in turns, so that their figures can be compared

std::string FirstPageName(int rows)
{
    return "first_page/" + std::to_string(rows);
}

// The seconds until Open returned for each side; false (with the benchmark's error
// set) on a failure.
bool MeasureFirstPage(benchmark::State& state, int rows, double& raw, double& recsetSeconds)
{
    Clock::time_point start = Clock::now();
    const std::vector<sqlite3_int64> ids = RawRowIds(rows, kFirstPageRows);
    raw = SecondsSince(start);

    auto recset = std::make_unique<BenchRecSet>(TableName(rows));
    start = Clock::now();
    if (!OpenRecSet(state, *recset, 0))
        return false;
    recsetSeconds = SecondsSince(start);
    const int count = recset->GetRecordCount();
    // The load goes on in the background; the closing document's cancel ends it.
    recset->m_bCancelLoad = 1;
    recset.reset();
    if (ids.size() != kFirstPageRows || count < kFirstPageRows) {
        state.SkipWithError(("first page of " + std::to_string(count) + " rows").c_str());
        return false;
    }
    return true;
}

void BM_FirstPage(benchmark::State& state)
{
    Comparison small(state, FirstPageName(kSmallRows), "1M_");
    Comparison big(state, FirstPageName(kBigRows), "10M_");
    for (auto _ : state) {
        double raw[2] = {};
        double recset[2] = {};
        if (!MeasureFirstPage(state, kSmallRows, raw[0], recset[0]) ||
            !MeasureFirstPage(state, kBigRows, raw[1], recset[1]))
            break;
        small.Add(raw[0], recset[0]);
        big.Add(raw[1], recset[1]);
        state.SetIterationTime(recset[1]);
    }
}

// ---------------------------------------------------------------------------
// 2. Full rowid load of the 10,000,000-row table, until the final post

void BM_FullLoad(benchmark::State& state)
{
    Comparison comparison(state, "full_load");
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        const size_t rawRows = RawRowIds(kBigRows, kBigRows).size();
        const double raw = SecondsSince(start);
        if (rawRows != kBigRows) {
            state.SkipWithError("raw load incomplete");
            break;
        }

        LoadWatcher watcher;
        auto recset = std::make_unique<BenchRecSet>(TableName(kBigRows));
        start = Clock::now();
        if (!OpenAndLoad(state, *recset, watcher, 0, kBigRows))
            break;
        const double seconds = SecondsSince(start);
        comparison.Add(raw, seconds);
        state.SetIterationTime(seconds);
    }
}

// ---------------------------------------------------------------------------
// 3. Every cell of 100,000 random rows of the 10,000,000-row table, against a
// SELECT by rowid prepared once and read as UTF-16 text

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

// The characters read; -1 when a row is missing.
long long ReadRandomRowsRaw(sqlite3_stmt* stmt)
{
    long long chars = 0;
    for (const int row : RandomRows()) {
        // An unsorted table with keys 1 to n holds row i at rowid i + 1.
        sqlite3_bind_int64(stmt, 1, static_cast<sqlite3_int64>(row) + 1);
        if (sqlite3_step(stmt) != SQLITE_ROW)
            return -1;
        for (int column = 0; column < kColumns; ++column) {
            const void* text = sqlite3_column_text16(stmt, column);
            benchmark::DoNotOptimize(text);
            chars += sqlite3_column_bytes16(stmt, column) / 2;
        }
        sqlite3_reset(stmt);
    }
    return chars;
}

// The characters read; -1 when a move fails.
long long ReadRandomRowsRecSet(CADbSqlRecSet& recset)
{
    long long chars = 0;
    for (const int row : RandomRows()) {
        if (!recset.MoveTo(row))
            return -1;
        for (int column = 0; column < recset.m_nFields; ++column) {
            if (const wchar_t* text = recset.GetFieldValue(column))
                chars += static_cast<long long>(std::wcslen(text));
        }
    }
    return chars;
}

void BM_RandomRows(benchmark::State& state)
{
    RawStmt stmt(g_files->raw,
                 L"SELECT " + kSelectList + L" FROM " + QuoteIdentifier(TableName(kBigRows)) + L" WHERE ROWID = ?");
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
    Comparison comparison(state, "random_rows");
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        const long long rawChars = ReadRandomRowsRaw(stmt.get());
        const double raw = SecondsSince(start);

        start = Clock::now();
        const long long recsetChars = ReadRandomRowsRecSet(recset);
        const double seconds = SecondsSince(start);
        recset.CloseRowStmt();
        // Both sides must have read the same cells.
        if (rawChars < 0 || recsetChars != rawChars) {
            state.SkipWithError(("characters read: raw " + std::to_string(rawChars) + ", record set " +
                                 std::to_string(recsetChars))
                                    .c_str());
            break;
        }
        comparison.Add(raw, seconds);
        state.SetIterationTime(seconds);
    }
}

// ---------------------------------------------------------------------------
// 4. Offset mode: one page of the temporary view over the 10,000,000-row table,
// against raw SQLite reading the same 200 rows with LIMIT

std::string OffsetName(int offset)
{
    return "offset_page/" + std::to_string(offset);
}

void BM_OffsetPage(benchmark::State& state)
{
    const int offset = static_cast<int>(state.range(0));
    RawStmt stmt(g_files->raw, L"SELECT * FROM " + QuoteIdentifier(kViewName) + L" LIMIT ?, ?");
    sqlite3_stmt* s = stmt.get();
    LoadWatcher watcher;
    BenchRecSet recset(kViewName);
    if (!OpenAndLoad(state, recset, watcher, 1, kBigRows))
        return;
    // The row whose reload starts at the offset, and a row whose page lies elsewhere.
    const int row = offset + kPageLead;
    const int elsewhere = offset == 0 ? 10 * kPageRows : 0;
    Comparison comparison(state, OffsetName(offset));
    for (auto _ : state) {
        int rows = 0;
        Clock::time_point start = Clock::now();
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
        const double raw = SecondsSince(start);

        if (!recset.MoveTo(elsewhere) || !recset.GetFieldValue(0)) {
            state.SkipWithError("cannot read the row elsewhere");
            break;
        }
        bool complete = recset.MoveTo(row);
        start = Clock::now();
        for (int column = 0; complete && column < recset.m_nFields; ++column) {
            const wchar_t* text = recset.GetFieldValue(column);
            complete = text && *text;
        }
        const double seconds = SecondsSince(start);
        if (rows != kPageRows || !complete) {
            state.SkipWithError("short page");
            break;
        }
        comparison.Add(raw, seconds);
        state.SetIterationTime(seconds);
    }
}

// ---------------------------------------------------------------------------
// 6. A query's count: the record set walks the view over the 10,000,000-row table once
// and keeps every row, until the final post. Beside it, in turns, the engine alone: the
// plain walk of the same statement, and the floor of keeping its rows, the same walk
// with each row inserted into a temporary database (one prepared insert, the values
// bound from the walk with sqlite3_bind_value, 64 KB pages, no journal, a commit every
// 2,000 rows, texts kept as UTF-8 as the record set keeps them).

const std::wstring kViewSelect = L"SELECT * FROM " + QuoteIdentifier(kViewName);
constexpr int kFloorCommitRows = 2'000;

// The plain walk's seconds; -1 when it does not give every row.
double WalkSeconds()
{
    const Clock::time_point start = Clock::now();
    RawStmt walk(g_files->raw, kViewSelect);
    int rows = 0;
    while (sqlite3_step(walk.get()) == SQLITE_ROW)
        ++rows;
    const double seconds = SecondsSince(start);
    return rows == kBigRows ? seconds : -1;
}

long long PragmaNumber(sqlite3* db, const std::wstring& pragma)
{
    RawStmt stmt(db, pragma);
    return sqlite3_step(stmt.get()) == SQLITE_ROW ? sqlite3_column_int64(stmt.get(), 0) : -1;
}

// The floor's seconds and its database's bytes; -1 seconds when a row is missing.
double FloorSeconds(double& bytes)
{
    sqlite3* store = OpenRaw(L"");
    for (const wchar_t* sql : {L"PRAGMA encoding = 'UTF-8'", L"PRAGMA page_size = 65536", L"PRAGMA journal_mode = OFF",
                               L"PRAGMA synchronous = OFF", L"CREATE TABLE r(c0, c1, c2, c3, c4)"})
        ExecRaw(store, sql);
    double seconds = -1;
    {
        RawStmt insert(store, L"INSERT INTO r VALUES(?, ?, ?, ?, ?)");
        RawStmt begin(store, L"BEGIN");
        RawStmt commit(store, L"COMMIT");
        auto run = [store](sqlite3_stmt* stmt) {
            if (sqlite3_step(stmt) != SQLITE_DONE)
                Fatal(Utf8(sqlite16::ErrorMessage(store)));
            sqlite3_reset(stmt);
        };
        const Clock::time_point start = Clock::now();
        RawStmt walk(g_files->raw, kViewSelect);
        const int columns = sqlite3_column_count(walk.get());
        int rows = 0;
        run(begin.get());
        while (sqlite3_step(walk.get()) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c)
                sqlite3_bind_value(insert.get(), c + 1, sqlite3_column_value(walk.get(), c));
            run(insert.get());
            if (++rows % kFloorCommitRows == 0) {
                run(commit.get());
                run(begin.get());
            }
        }
        run(commit.get());
        if (rows == kBigRows)
            seconds = SecondsSince(start);
    }
    bytes = static_cast<double>(PragmaNumber(store, L"PRAGMA page_count") * PragmaNumber(store, L"PRAGMA page_size"));
    sqlite3_close(store);
    return seconds;
}

// The size of the record set's kept rows: its file is open here, its name already gone.
double KeptFileBytes()
{
    double bytes = 0;
    DIR* fds = ::opendir("/proc/self/fd");
    if (!fds)
        return -1;
    while (const dirent* entry = ::readdir(fds)) {
        const std::string link = std::string("/proc/self/fd/") + entry->d_name;
        char target[4096];
        const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
        if (length <= 0)
            continue;
        const std::string name(target, static_cast<size_t>(length));
        struct stat status {};
        if (name.find("/etilqs_") != std::string::npos && name.find(" (deleted)") != std::string::npos &&
            ::stat(link.c_str(), &status) == 0)
            bytes += static_cast<double>(status.st_size);
    }
    ::closedir(fds);
    return bytes;
}

void BM_QueryCount(benchmark::State& state)
{
    Comparison count(state, "query_count", "floor_");
    Comparison floor(state, "query_floor", "walk_");
    for (auto _ : state) {
        const double walk = WalkSeconds();
        double floorBytes = 0;
        const double floorSeconds = FloorSeconds(floorBytes);
        if (walk < 0 || floorSeconds < 0) {
            state.SkipWithError("the engine's walk gave too few rows");
            break;
        }
        LoadWatcher watcher;
        auto recset = std::make_unique<BenchRecSet>(kViewName);
        const Clock::time_point start = Clock::now();
        if (!OpenAndLoad(state, *recset, watcher, 1, kBigRows))
            break;
        const double seconds = SecondsSince(start);
        const double keptBytes = KeptFileBytes();
        recset.reset();
        floor.Add(walk, floorSeconds);
        count.Add(floorSeconds, seconds);
        g_figures["query_bytes"] = Figure{floorBytes / kBigRows, keptBytes / kBigRows};
        state.counters["floor_B_per_row"] = floorBytes / kBigRows;
        state.counters["recset_B_per_row"] = keptBytes / kBigRows;
        state.SetIterationTime(seconds);
    }
}

BENCHMARK(BM_RowIdMemory)->Iterations(1);
BENCHMARK(BM_FirstPage)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullLoad)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RandomRows)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OffsetPage)->Arg(0)->Iterations(200)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OffsetPage)->Arg(kFarOffset)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryCount)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

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

const Figure* FindFigure(const std::string& name)
{
    const auto it = g_figures.find(name);
    return it == g_figures.end() ? nullptr : &it->second;
}

// target: the highest ratio allowed, 0 for none.
void SummaryLine(const char* what, const std::string& name, double target, std::string (*format)(double) = Duration)
{
    const Figure* figure = FindFigure(name);
    if (!figure)
        return;
    const double ratio = figure->recset / figure->raw;
    char verdict[32] = "-";
    if (target > 0)
        std::snprintf(verdict, sizeof verdict, "%s (<= %.2f)", ratio <= target ? "met" : "NOT met", target);
    std::printf("%-38s %14s %14s %8.2f  %s\n", what, format(figure->recset).c_str(), format(figure->raw).c_str(),
                ratio, verdict);
}

std::mutex g_noticeMutex;
std::vector<std::wstring> g_notices; // boxes and caption lines shown during the run

void PrintSummary()
{
    std::printf("\nRecord set against raw SQLite, same run (medians; ratio = record set / raw)\n");
    std::printf("%-38s %14s %14s %8s  %s\n", "figure", "record set", "raw SQLite", "ratio", "target");
    SummaryLine("first page, 1,000,000-row table", FirstPageName(kSmallRows), 0);
    SummaryLine("first page, 10,000,000-row table", FirstPageName(kBigRows), 0);
    SummaryLine("full rowid load, 10,000,000 rows", "full_load", 1.25);
    SummaryLine("every cell of 100,000 random rows", "random_rows", 1.5);
    SummaryLine("offset-mode page at 0", OffsetName(0), 0);
    SummaryLine("offset-mode page at 5,000,000", OffsetName(kFarOffset), 0);
    SummaryLine("query count / its floor, 10,000,000 rows", "query_count", 1.5);
    SummaryLine("the floor / the plain walk", "query_floor", 0);
    SummaryLine("kept rows on disk / the floor's", "query_bytes", 0, Bytes);
    SummaryLine("peak memory of 10,000,000 rowids", "memory", 0, Bytes);

    const Figure* big = FindFigure(FirstPageName(kBigRows));
    const Figure* small = FindFigure(FirstPageName(kSmallRows));
    if (big && small)
        std::printf("first page of the record set, 10,000,000 against 1,000,000 rows: %.2f\n",
                    big->recset / small->recset);
    if (const Figure* memory = FindFigure("memory"))
        std::printf("rowid list above the engine's page cache: %.2f bytes a row (target <= 8: %s)\n", memory->recset,
                    memory->recset <= 8 ? "met" : "NOT met");
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
