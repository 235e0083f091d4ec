// The datasheet grid over a table of 10,000,000 rows, shown offscreen in a real grid
// frame, against raw prepared SELECTs by rowid of the same rows and a plain QTableView
// painting the same texts from memory, in the same run.
//
// Figures: the largest gap of a 10 ms heartbeat timer while the 10,000,000 rowids load,
// and the resident memory the loaded grid adds per row, and a second window on the same
// rows (New Window) beside it; the time from opening the table to its first painted
// viewport; 1,000 random jumps, each painted, p50 and p99 per viewport beside raw
// SELECTs of the rows that viewport shows (one read transaction per viewport, as the
// grid reads them) and beside a plain QTableView of the same size over an in-memory
// model of the same texts, with a second window on the rows open, which then makes the
// same jumps; the row reads per painted viewport; random jumps while the rows still load
// in the background;
// a header click's sort of the 10,000,000 rows on a column without an index, both ways,
// from the click to its first page painted, with the heartbeat's largest gap meanwhile,
// beside raw SQLite's own first row of the loader's ORDER BY; and deleting 10,000
// scattered selected rows of a table of 1,000,000 beside raw DELETEs of the same rows in
// one transaction; deleting 100 selected rows of a table that a child table of 1,000,000
// rows refers to through a column without an index, beside raw DELETEs of as many rows,
// with the heartbeat, and the same delete stopped with Escape; a query sorted on that column opened in a query window, its first
// page beside SQLite's first row of the same statement and, once its count has walked
// every row, 1,000 random far jumps, with the heartbeat throughout; and VACUUM of a file
// of about 700 MB beside the sqlite3 shell's, with the heartbeat. A summary with the
// ratios and the load average at the end of each benchmark ends the run.
#include "data/cadbsqldb.h"
#include "document/session/cmainframebase.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/dbschema.h"
#include "data/settings.h"
#include "data/sqlite16.h"
#include "document/datasheet/cdataaccess.h"
#include "document/datasheet/cdatainterface.h"
#include "document/datasheet/datasheetrows.h"
#include "document/grid/clistctrlcombo.h"
#include "document/grid/clistframe.h"
#include "document/grid/cplheaderctrl.h"
#include "document/session/currentdatabase.h"
#include "platform/captionline.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"
#include "platform/widgets/presenters.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <numeric>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace {

constexpr int kRows = 10'000'000;
constexpr int kJumps = 1'000;
constexpr int kJumpsWhileLoading = 200;
constexpr int kColumns = 5;
constexpr int kLoadBoundMs = 600'000;
constexpr int kDeleteTableRows = 1'000'000;
constexpr int kDeletedRows = 10'000;
constexpr int kParentRows = 1'000;
constexpr int kChildRows = 1'000'000;
constexpr int kParentsDeleted = 100;
constexpr int kParentsReferred = 10; // the first ten parents have children and are never deleted
const std::wstring kParentTable = L"parent";
const std::wstring kTable = L"big";
const std::wstring kDeleteTable = L"scattered";
const std::wstring kEmptyTable = L"empty";
constexpr int kSortColumn = 1; // name: no index covers it

using Clock = std::chrono::steady_clock;

[[noreturn]] void Fatal(const std::string& what)
{
    std::fprintf(stderr, "tabulon_bench_grid: %s\n", what.c_str());
    std::exit(1);
}

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void Exec(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK)
        Fatal(error ? error : "sqlite3_exec failed");
}

// Row reads of the user-interface thread on the datasheet's connection: each statement
// that returns rows started there is one read (the loader's rowid query runs on its own
// thread; BEGIN and COMMIT around a painted viewport return no rows and read none).
std::thread::id g_uiThread;
long long g_uiStatements = 0;

int CountStatement(unsigned, void*, void* statement, void*)
{
    if (std::this_thread::get_id() == g_uiThread && sqlite3_column_count(static_cast<sqlite3_stmt*>(statement)) > 0)
        ++g_uiStatements;
    return 0;
}

// The rows of the table, counted by raw SQLite.
long long CountRows(sqlite3* db, const std::wstring& table)
{
    SqlStatement count;
    if (sqlite16::Prepare(db, L"SELECT count(*) FROM " + table, count) != SQLITE_OK || sqlite3_step(count) != SQLITE_ROW)
        Fatal("cannot count the rows");
    return sqlite3_column_int64(count, 0);
}

struct Files {
    QTemporaryDir folder;
    std::wstring path;
    sqlite3* raw = nullptr;
};
Files* g_files = nullptr;

void CreateFile(Files& files)
{
    if (!files.folder.isValid())
        Fatal("cannot create a temporary folder");
    files.path = platform::FromQString(files.folder.filePath(QStringLiteral("grid.db")));
    const Clock::time_point start = Clock::now();
    sqlite3* db = nullptr;
    if (sqlite16::Open(files.path, &db) != SQLITE_OK)
        Fatal("cannot create the database file");
    Exec(db, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
             "CREATE TABLE big(id INTEGER PRIMARY KEY, name TEXT, city TEXT, amount REAL, note TEXT);"
             "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 10000000)"
             " INSERT INTO big SELECT x, 'Customer ' || (x * 7919 % 1000000),"
             " substr('AberdeenBergen  Cadiz   Dresden Esbjerg Faro    Gdansk  Haarlem ', 1 + (x % 8) * 8, 8),"
             " (x * 104729 % 10000000) / 100.0, 'Order ' || x || ' of batch ' || (x % 1000) FROM c;"
             "CREATE TABLE scattered AS SELECT * FROM big WHERE id <= 1000000;"
             "CREATE TABLE empty AS SELECT * FROM big WHERE 0;"
             "CREATE TABLE scattered_raw AS SELECT * FROM scattered;"
             "CREATE TABLE parent(id INTEGER PRIMARY KEY, name TEXT);"
             "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 1000)"
             " INSERT INTO parent SELECT x, 'Parent ' || x FROM c;"
             "CREATE TABLE child(id INTEGER PRIMARY KEY, pid INTEGER REFERENCES parent(id), note TEXT);"
             "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 1000000)"
             " INSERT INTO child SELECT x, 1 + x % 10, 'Line ' || x FROM c;"
             "CREATE TABLE parent_raw(id INTEGER PRIMARY KEY, name TEXT);"
             "INSERT INTO parent_raw SELECT * FROM parent;"
             "CREATE TABLE child_raw(id INTEGER PRIMARY KEY, pid INTEGER REFERENCES parent_raw(id), note TEXT);"
             "INSERT INTO child_raw SELECT * FROM child;");
    sqlite3_close(db);
    std::fprintf(stderr, "Generated %d rows in %.1f s\n", kRows, Seconds(start));
    if (sqlite16::Open(files.path, &files.raw) != SQLITE_OK)
        Fatal("cannot open the database file");
}

// One data window: a grid frame in a shown top-level window over a datasheet's rows. The
// first window on a table opens its datasheet (the model, its bridge and the rows that
// every grid over them shows) as the document of a table window does, and sets the grid
// up as the data view does; a second window (New Window) shows the first one's rows and
// must go before it.
class Window {
public:
    explicit Window(const std::wstring& table = kTable, int mode = RECSET_MODE_TABLE)
        : m_pOwned(std::make_unique<Datasheet>())
        , m_data(*m_pOwned)
    {
        if (!m_data.model.Open(table, mode))
            Fatal("cannot open the table");
        m_data.model.InitRowBuffers();
        Show(table, mode);
    }
    explicit Window(Window& first)
        : m_data(first.m_data)
    {
        Show(first.m_strTable, first.m_nMode);
    }
    ~Window() { m_frame.setParent(nullptr); }

    CListCtrlCombo* Grid() { return m_frame.GetGrid(); }
    CDataAccess& Model() { return m_data.model; }

    // Paints the viewport now, as the window system would after a scroll.
    void Paint() { Grid()->viewport()->repaint(); }

    // Scrolls row `top` to the top of the viewport and paints it.
    void JumpTo(int top)
    {
        Grid()->verticalScrollBar()->setValue(top);
        Paint();
    }

    bool WaitLoaded()
    {
        QElapsedTimer timer;
        timer.start();
        while (!Grid()->HasNewRowLine() && timer.elapsed() < kLoadBoundMs)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        return Grid()->HasNewRowLine();
    }

    // A query's rows: until its count has ended.
    bool WaitCounted()
    {
        QElapsedTimer timer;
        timer.start();
        while (!Model().IsLoadEnded() && timer.elapsed() < kLoadBoundMs)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        QApplication::processEvents();
        return Model().IsLoadEnded();
    }

private:
    struct Datasheet {
        Datasheet()
        {
            model.m_pDataInterface = &bridge;
            bridge.m_pDataAccess = &model;
        }
        CDataInterface bridge;
        CDataAccess model;
        DatasheetRows rows{bridge};
    };

    void Show(const std::wstring& table, int mode)
    {
        m_strTable = table;
        m_nMode = mode;
        m_host.resize(900, 600);
        m_frame.m_nMode = CListFrame::MODE_DATASHEET;
        m_frame.m_pRows = &m_data.rows;
        m_frame.m_strTitle = table;
        m_frame.Create(&m_host, QRect(0, 0, 900, 600));
        CRecSet& recset = *Model().m_pRecSet;
        for (int i = 0; i < recset.m_nFields; ++i) {
            CADbSqlFieldInfo info;
            recset.GetFieldInfo(i, info);
            m_frame.AddColumn(info.m_strName, GRID_EDIT, 130, 1, info.GetType());
        }
        Grid()->SetItemCountEx(Model().GetItemCount());
        m_frame.InitGrid();
        if (mode != RECSET_MODE_TABLE)
            m_frame.m_bReadOnly = 1;
        m_host.show();
    }

    QWidget m_host;
    std::unique_ptr<Datasheet> m_pOwned; // the first window's
    Datasheet& m_data;
    CListFrame m_frame;
    std::wstring m_strTable;
    int m_nMode = RECSET_MODE_TABLE;
};

// Qt's own limit for the same picture: a plain table view of the same size, font and
// column widths over a model that holds the texts of the viewports it will show.
class PlainTexts : public QAbstractTableModel {
public:
    int rowCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : kRows; }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : kColumns; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return QVariant();
        const auto it = m_rows.find(index.row());
        return it == m_rows.end() ? QVariant() : QVariant(it->second[static_cast<size_t>(index.column())]);
    }
    void Add(int row, std::vector<QString> texts) { m_rows.emplace(row, std::move(texts)); }

private:
    std::unordered_map<int, std::vector<QString>> m_rows;
};

std::map<std::string, double> g_figures;
// The one-minute load average when each benchmark ended, by benchmark.
std::map<std::string, double> g_loads;

double LoadAverage()
{
    std::ifstream loadavg("/proc/loadavg");
    double load = 0;
    loadavg >> load;
    return load;
}

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, static_cast<size_t>(p * (values.size() - 1) + 0.5));
    return values[index];
}

std::vector<int> RandomTops(int count, int rows, int page, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, std::max(0, rows - page));
    std::vector<int> tops(count);
    for (int& top : tops)
        top = pick(random);
    return tops;
}

// The process's resident memory, from /proc.
double ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long long pages = 0;
    long long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// A 10 ms timer on the user-interface thread; each beat records the gap since the one
// before, so the largest gap is the longest the window could not repaint or take input.
class Heartbeat {
public:
    explicit Heartbeat(std::function<void()> onBeat = {}) : m_onBeat(std::move(onBeat))
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Beat(); });
    }
    void Start()
    {
        m_last = Clock::now();
        m_timer.start();
    }
    void Stop() { m_timer.stop(); }
    // A beat now: also closes the gap still open when a measurement ends.
    void Beat()
    {
        const Clock::time_point now = Clock::now();
        m_gaps.push_back(std::chrono::duration<double>(now - m_last).count());
        m_last = now;
        if (m_onBeat)
            m_onBeat();
    }
    const std::vector<double>& Gaps() const { return m_gaps; }

private:
    QTimer m_timer;
    std::function<void()> m_onBeat;
    Clock::time_point m_last;
    std::vector<double> m_gaps;
};

// A 10 ms timer beats on the user-interface thread while every rowid loads: its largest
// gap is the longest the window could not repaint or take input. Run first, so that the
// memory measured is the grid's and not the heap left over by earlier windows. The
// memory is measured from the empty program: one grid window over an empty table shown,
// painted and closed, so that the library code its painting pages in is not counted
// as the rows' memory. Then a second window on the loaded rows (New Window) is shown and
// painted at random places: the memory it adds, and the two windows' together.
void BM_LoadHeartbeat(benchmark::State& state)
{
    {
        Window empty(kEmptyTable);
        if (!empty.WaitLoaded())
            Fatal("the empty table did not load");
        empty.Paint();
    }
    for (auto _ : state) {
        const double before = ResidentBytes();
        auto window = std::make_unique<Window>();
        Heartbeat heartbeat;
        const Clock::time_point start = Clock::now();
        heartbeat.Start();
        if (!window->WaitLoaded())
            Fatal("the load did not end");
        heartbeat.Stop();
        state.SetIterationTime(Seconds(start));
        const double loaded = ResidentBytes();
        g_figures["heartbeat max gap"] = Percentile(heartbeat.Gaps(), 1.0);
        g_figures["heartbeat p99 gap"] = Percentile(heartbeat.Gaps(), 0.99);
        g_figures["resident bytes per row"] = (loaded - before) / kRows;
        state.PauseTiming();
        {
            Window second(*window);
            const int page = second.Grid()->GetCountPerPage() + 1;
            for (int top : RandomTops(100, kRows, page, 5))
                second.JumpTo(top);
            const double both = ResidentBytes();
            g_figures["second window bytes per row"] = (both - loaded) / kRows;
            g_figures["two windows bytes per row"] = (both - before) / kRows;
        }
        window.reset();
        state.ResumeTiming();
        state.counters["max_gap_ms"] = g_figures["heartbeat max gap"] * 1e3;
        state.counters["bytes_per_row"] = g_figures["resident bytes per row"];
        state.counters["second_bytes_per_row"] = g_figures["second window bytes per row"];
    }
    g_loads["load"] = LoadAverage();
}

void BM_OpenToFirstPaint(benchmark::State& state)
{
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        auto window = std::make_unique<Window>();
        window->Paint();
        const double seconds = Seconds(start);
        state.SetIterationTime(seconds);
        g_figures["open to first paint"] = std::max(g_figures["open to first paint"], seconds);
        state.PauseTiming();
        window.reset(); // stops the load and waits for the loader
        state.ResumeTiming();
    }
    g_loads["open"] = LoadAverage();
}

// The viewports of the same random jumps, painted by the grid and read by raw SQLite.
void BM_RandomJumps(benchmark::State& state)
{
    Window window;
    if (!window.WaitLoaded())
        Fatal("the load did not end");
    // A second window on the same rows (New Window) stands beside the first throughout,
    // and makes the same jumps once the first has made them all.
    Window second(window);
    const int page = window.Grid()->GetCountPerPage() + 1; // a partly visible last row is painted too
    const std::vector<int> tops = RandomTops(kJumps, kRows, page, 42);
    SqlStatement select;
    if (sqlite16::Prepare(g_files->raw, L"SELECT * FROM big WHERE rowid = ?", select) != SQLITE_OK)
        Fatal("cannot prepare the raw SELECT");
    // The plain view's texts, read before the runs.
    PlainTexts texts;
    for (int top : tops)
        for (int row = top; row < top + page; ++row) {
            sqlite3_bind_int64(select, 1, row + 1);
            std::vector<QString> line;
            if (sqlite3_step(select) == SQLITE_ROW)
                for (int c = 0; c < kColumns; ++c)
                    line.push_back(QString::fromUtf16(static_cast<const char16_t*>(sqlite3_column_text16(select, c))));
            sqlite3_reset(select);
            line.resize(kColumns);
            texts.Add(row, std::move(line));
        }
    QWidget plainHost;
    plainHost.resize(900, 600);
    QTableView plain(&plainHost);
    plain.setGeometry(window.Grid()->geometry());
    plain.setFont(window.Grid()->font());
    plain.setModel(&texts);
    plain.verticalHeader()->hide();
    plain.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    plain.verticalHeader()->setDefaultSectionSize(window.Grid()->GetRowHeight());
    plain.setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    for (int c = 0; c < kColumns; ++c)
        plain.setColumnWidth(c, window.Grid()->columnWidth(c));
    plainHost.show();
    QApplication::processEvents();

    std::vector<double> grid, model, modelInRead, raw, qt, secondGrid;
    long long reads = 0;
    long long secondReads = 0;
    for (auto _ : state) {
        grid.clear();
        model.clear();
        modelInRead.clear();
        raw.clear();
        qt.clear();
        secondGrid.clear();
        reads = 0;
        secondReads = 0;
        for (int top : tops) {
            const long long before = g_uiStatements;
            const Clock::time_point start = Clock::now();
            window.JumpTo(top);
            grid.push_back(Seconds(start));
            reads += g_uiStatements - before;

            // The same cells through the model alone: what the paint costs beyond reading.
            const Clock::time_point modelStart = Clock::now();
            for (int row = top; row < top + page; ++row)
                for (int c = 0; c < kColumns; ++c)
                    benchmark::DoNotOptimize(window.Model().GetCellText(row, c));
            model.push_back(Seconds(modelStart));

            // The same again inside one read transaction, as the paint reads them: the
            // reads above each take and drop the file's lock on their own.
            const Clock::time_point inReadStart = Clock::now();
            {
                const CDataAccess::ViewportRead read(&window.Model());
                for (int row = top; row < top + page; ++row)
                    for (int c = 0; c < kColumns; ++c)
                        benchmark::DoNotOptimize(window.Model().GetCellText(row, c));
            }
            modelInRead.push_back(Seconds(inReadStart));

            // The viewport's rows in one read transaction, as the grid reads them.
            const Clock::time_point rawStart = Clock::now();
            Exec(g_files->raw, "BEGIN");
            for (int row = top; row < top + page; ++row) {
                sqlite3_bind_int64(select, 1, row + 1); // unsorted: row r is rowid r + 1
                if (sqlite3_step(select) == SQLITE_ROW)
                    for (int c = 0; c < kColumns; ++c)
                        benchmark::DoNotOptimize(sqlite3_column_text16(select, c));
                sqlite3_reset(select);
            }
            Exec(g_files->raw, "COMMIT");
            raw.push_back(Seconds(rawStart));

            const Clock::time_point qtStart = Clock::now();
            plain.verticalScrollBar()->setValue(top);
            plain.viewport()->repaint();
            qt.push_back(Seconds(qtStart));
        }
        for (int top : tops) {
            const long long before = g_uiStatements;
            const Clock::time_point start = Clock::now();
            second.JumpTo(top);
            secondGrid.push_back(Seconds(start));
            secondReads += g_uiStatements - before;
        }
        state.SetIterationTime(std::accumulate(grid.begin(), grid.end(), 0.0));
    }
    select.Finalize();
    g_figures["jump p50 grid"] = Percentile(grid, 0.50);
    g_figures["jump p99 grid"] = Percentile(grid, 0.99);
    g_figures["jump p50 model"] = Percentile(model, 0.50);
    g_figures["jump p99 model"] = Percentile(model, 0.99);
    g_figures["jump p50 model in read"] = Percentile(modelInRead, 0.50);
    g_figures["jump p99 model in read"] = Percentile(modelInRead, 0.99);
    g_figures["jump p50 raw"] = Percentile(raw, 0.50);
    g_figures["jump p99 raw"] = Percentile(raw, 0.99);
    g_figures["jump p50 qt"] = Percentile(qt, 0.50);
    g_figures["jump p99 qt"] = Percentile(qt, 0.99);
    g_figures["row reads per visible row"] = static_cast<double>(reads) / (static_cast<double>(tops.size()) * page);
    g_figures["jump p50 second grid"] = Percentile(secondGrid, 0.50);
    g_figures["jump p99 second grid"] = Percentile(secondGrid, 0.99);
    g_figures["second window row reads per visible row"] =
        static_cast<double>(secondReads) / (static_cast<double>(tops.size()) * page);
    state.counters["p50_ms"] = g_figures["jump p50 grid"] * 1e3;
    state.counters["p99_ms"] = g_figures["jump p99 grid"] * 1e3;
    state.counters["raw_p99_ms"] = g_figures["jump p99 raw"] * 1e3;
    state.counters["qt_p99_ms"] = g_figures["jump p99 qt"] * 1e3;
    state.counters["reads_per_row"] = g_figures["row reads per visible row"];
    g_loads["jumps"] = LoadAverage();
}

// Random jumps among the rows loaded so far while the loader still runs.
void BM_JumpsWhileLoading(benchmark::State& state)
{
    for (auto _ : state) {
        Window window;
        const int page = window.Grid()->GetCountPerPage() + 1;
        std::mt19937 random(7);
        std::vector<double> paints;
        int jumps = 0;
        int loadingJumps = 0;
        const Clock::time_point start = Clock::now();
        while (jumps < kJumpsWhileLoading) {
            QApplication::processEvents(); // the loader's progress grows the grid
            const bool loading = !window.Grid()->HasNewRowLine();
            const int lines = window.Grid()->GetItemCount();
            std::uniform_int_distribution<int> pick(0, std::max(0, lines - page));
            const Clock::time_point paintStart = Clock::now();
            window.JumpTo(pick(random));
            paints.push_back(Seconds(paintStart));
            ++jumps;
            loadingJumps += loading ? 1 : 0;
        }
        state.SetIterationTime(Seconds(start));
        g_figures["loading jump p50"] = Percentile(paints, 0.50);
        g_figures["loading jump p99"] = Percentile(paints, 0.99);
        g_figures["loading jump max"] = Percentile(paints, 1.0);
        g_figures["jumps made while loading"] = loadingJumps;
        state.counters["p99_ms"] = g_figures["loading jump p99"] * 1e3;
        state.counters["while_loading"] = loadingJumps;
    }
    g_loads["loading jumps"] = LoadAverage();
}

// Sorts by a header click on `name` (no index), ascending and then descending: from the
// click to the first page painted in the new order, while a 10 ms heartbeat beats, beside
// raw SQLite preparing the loader's own statement and stepping to its first row. The
// program's wait pump is installed (see main), so the wait paints and holds input.
void BM_SortFirstPage(benchmark::State& state)
{
    Window window;
    if (!window.WaitLoaded())
        Fatal("the load did not end");
    bool captionShown = false;
    const platform::CaptionSink oldSink = platform::SetCaptionSink([&](const std::wstring& text, int) {
        captionShown = captionShown || text == STR_SORTING;
    });
    SqlStatement nameOf;
    if (sqlite16::Prepare(g_files->raw, L"SELECT name FROM big WHERE rowid = ?", nameOf) != SQLITE_OK)
        Fatal("cannot prepare the raw name query");
    bool waitCursorSeen = false;
    Heartbeat heartbeat([&] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        waitCursorSeen = waitCursorSeen || (cursor && cursor->shape() == Qt::WaitCursor);
    });
    for (auto _ : state) {
        double total = 0;
        // A first click sorts ascending, the next one descending.
        for (const std::string direction : {"asc", "desc"}) {
            captionShown = false;
            waitCursorSeen = false;
            const Clock::time_point start = Clock::now();
            heartbeat.Start();
            emit window.Grid()->horizontalHeader()->ItemClicked(kSortColumn);
            window.Paint();
            const double seconds = Seconds(start);
            heartbeat.Beat();
            heartbeat.Stop();
            total += seconds;
            if (!captionShown || !waitCursorSeen)
                Fatal("the sort showed no caption line or no wait cursor while it waited");
            const std::wstring topName = window.Grid()->GetItemText(0, kSortColumn);
            if (!window.WaitLoaded())
                Fatal("the sorted load did not end");

            // The loader's statement, as it builds it, on the raw connection.
            const std::wstring sql =
                std::wstring(L"SELECT rowid FROM [big]  ORDER BY [name] ") + (direction == "asc" ? L"ASC " : L"DESC ");
            const Clock::time_point rawStart = Clock::now();
            SqlStatement select;
            if (sqlite16::Prepare(g_files->raw, sql, select) != SQLITE_OK || sqlite3_step(select) != SQLITE_ROW)
                Fatal("the raw sorted SELECT gave no row");
            const double rawSeconds = Seconds(rawStart);
            sqlite3_bind_int64(nameOf, 1, sqlite3_column_int64(select, 0));
            if (sqlite3_step(nameOf) != SQLITE_ROW)
                Fatal("the raw first row has no name");
            const std::wstring rawName = platform::FromUtf16(static_cast<const char16_t*>(sqlite3_column_text16(nameOf, 0)));
            sqlite3_reset(nameOf);
            select.Finalize();
            if (topName != rawName)
                Fatal("the grid's first row after the sort is not SQLite's first row");

            g_figures["sort first page " + direction] = seconds;
            g_figures["sort first page " + direction + " raw"] = rawSeconds;
            state.counters[direction + "_ms"] = seconds * 1e3;
            state.counters[direction + "_raw_ms"] = rawSeconds * 1e3;
        }
        state.SetIterationTime(total);
    }
    nameOf.Finalize();
    platform::SetCaptionSink(oldSink);
    g_figures["sort heartbeat max gap"] = Percentile(heartbeat.Gaps(), 1.0);
    state.counters["max_gap_ms"] = g_figures["sort heartbeat max gap"] * 1e3;
    g_loads["sort"] = LoadAverage();
}

// A query sorted on a column without an index, opened in a query window: from the open
// to the first painted viewport beside raw SQLite preparing the same statement and
// stepping to its first row; then, once the count has walked every row, 1,000 random
// jumps painted; a 10 ms heartbeat beats from the open to the last jump.
void BM_QueryFarPages(benchmark::State& state)
{
    const std::wstring query = L"SELECT * FROM big ORDER BY name";
    // SQLite's own first row of the same statement and its first row's name. Measured
    // before and after the window, as the second sort of the process meets the memory
    // and temporary files the first one left.
    auto rawFirstRow = [&query](std::wstring& name) {
        const Clock::time_point rawStart = Clock::now();
        SqlStatement select;
        if (sqlite16::Prepare(g_files->raw, query, select) != SQLITE_OK || sqlite3_step(select) != SQLITE_ROW)
            Fatal("the raw sorted SELECT gave no row");
        const double seconds = Seconds(rawStart);
        name = platform::FromUtf16(static_cast<const char16_t*>(sqlite3_column_text16(select, 1)));
        return seconds;
    };
    Heartbeat heartbeat;
    for (auto _ : state) {
        std::wstring rawName;
        const double rawBefore = rawFirstRow(rawName);
        heartbeat.Start();
        const Clock::time_point start = Clock::now();
        Window window(query, RECSET_MODE_QUERY);
        window.Paint();
        const double firstPage = Seconds(start);
        const std::wstring topName = window.Grid()->GetItemText(0, kSortColumn);
        if (!window.WaitCounted())
            Fatal("the query's count did not end");
        const double counted = Seconds(start);
        if (window.Model().GetRecordCount() != kRows)
            Fatal("the query's count is not every row");
        const int page = window.Grid()->GetCountPerPage() + 1;
        std::vector<double> jumps;
        for (int top : RandomTops(kJumps, kRows, page, 11)) {
            const Clock::time_point jumpStart = Clock::now();
            window.JumpTo(top);
            jumps.push_back(Seconds(jumpStart));
            QApplication::processEvents(); // the heartbeat's turn between jumps
        }
        const int lastTop = window.Grid()->verticalScrollBar()->value();
        const std::wstring lastName = window.Grid()->GetItemText(lastTop, kSortColumn);
        heartbeat.Beat();
        heartbeat.Stop();
        state.SetIterationTime(firstPage);

        const double rawAfter = rawFirstRow(rawName);
        const double rawSeconds = (rawBefore + rawAfter) / 2;
        if (topName != rawName)
            Fatal("the query window's first row is not SQLite's first row");
        // The last jump's row as SQLite gives it at that position.
        SqlStatement at;
        if (sqlite16::Prepare(g_files->raw, query + L" LIMIT 1 OFFSET ?", at) != SQLITE_OK)
            Fatal("cannot prepare the raw OFFSET query");
        sqlite3_bind_int(at, 1, lastTop);
        if (sqlite3_step(at) != SQLITE_ROW ||
            lastName != platform::FromUtf16(static_cast<const char16_t*>(sqlite3_column_text16(at, 1))))
            Fatal("a far page of the query window is not SQLite's row at that position");
        at.Finalize();

        g_figures["query first page"] = firstPage;
        g_figures["query first page raw"] = rawSeconds;
        g_figures["query first page raw before"] = rawBefore;
        g_figures["query first page raw after"] = rawAfter;
        g_figures["query counted"] = counted;
        g_figures["query jump p50"] = Percentile(jumps, 0.50);
        g_figures["query jump p99"] = Percentile(jumps, 0.99);
        g_figures["query jump max"] = Percentile(jumps, 1.0);
        state.counters["raw_ms"] = rawSeconds * 1e3;
        state.counters["jump_p99_ms"] = g_figures["query jump p99"] * 1e3;
    }
    g_figures["query heartbeat max gap"] = Percentile(heartbeat.Gaps(), 1.0);
    state.counters["max_gap_ms"] = g_figures["query heartbeat max gap"] * 1e3;
    g_loads["query"] = LoadAverage();
}

// VACUUM of a file of about 700 MB (the first 6,300,000 rows of the big table) as the
// toolbar's Vacuum runs it on the program's connection, with a 10 ms heartbeat, beside
// the sqlite3 shell's VACUUM of the same file; the two take turns, three times each.
void BM_Vacuum(benchmark::State& state)
{
    constexpr int kVacuumRuns = 3;
    const QString vacuumPath = g_files->folder.filePath(QStringLiteral("vacuum.db"));
    {
        const std::string attach = "ATTACH '" + vacuumPath.toStdString() + "' AS v;"
                                   "CREATE TABLE v.big AS SELECT * FROM main.big WHERE id <= 6300000; DETACH v;";
        Exec(g_files->raw, attach.c_str());
    }
    // The program's connection moves to that file for the measurement.
    g_pCurrentDb->CloseDb();
    g_pCurrentDb->OpenDb(platform::FromQString(vacuumPath));
    Heartbeat heartbeat;
    bool lineShown = false;
    const platform::CaptionSink oldSink = platform::SetCaptionSink([&](const std::wstring& text, int) {
        lineShown = lineShown || text == STR_VACUUMING;
    });
    g_figures["vacuum file MB"] = static_cast<double>(QFileInfo(vacuumPath).size()) / (1024.0 * 1024.0);
    std::vector<double> program, shell;
    for (auto _ : state) {
        for (int run = 0; run < kVacuumRuns; ++run) {
            heartbeat.Start();
            const Clock::time_point start = Clock::now();
            VacuumDatabase();
            program.push_back(Seconds(start));
            heartbeat.Beat();
            heartbeat.Stop();
            if (!lineShown)
                Fatal("the vacuum showed no caption line");

            const Clock::time_point shellStart = Clock::now();
            if (std::system(("sqlite3 '" + vacuumPath.toStdString() + "' VACUUM").c_str()) != 0)
                Fatal("the sqlite3 shell's VACUUM failed (is the sqlite3 package installed?)");
            shell.push_back(Seconds(shellStart));
        }
        state.SetIterationTime(Percentile(program, 0.5));
    }
    platform::SetCaptionSink(oldSink);
    g_pCurrentDb->CloseDb();
    g_pCurrentDb->OpenDb(g_files->path);
    g_figures["vacuum"] = Percentile(program, 0.5);
    g_figures["vacuum shell"] = Percentile(shell, 0.5);
    g_figures["vacuum heartbeat max gap"] = Percentile(heartbeat.Gaps(), 1.0);
    state.counters["shell_ms"] = g_figures["vacuum shell"] * 1e3;
    state.counters["max_gap_ms"] = g_figures["vacuum heartbeat max gap"] * 1e3;
    g_loads["vacuum"] = LoadAverage();
}

// 10,000 scattered rows selected in a grid of 1,000,000 and deleted with the grid's
// Delete, beside raw DELETEs by rowid of as many rows in one transaction.
void BM_DeleteScatteredRows(benchmark::State& state)
{
    Window window(kDeleteTable);
    if (!window.WaitLoaded())
        Fatal("the load did not end");
    platform::SetMessageBoxHandler([](const platform::MessageBoxRequest&) { return platform::IDYES; });
    int iteration = 0;
    std::vector<double> grid, raw;
    for (auto _ : state) {
        state.PauseTiming();
        const int records = window.Grid()->GetRecordCount();
        const int step = records / kDeletedRows;
        window.Grid()->ClearSelection();
        for (int i = 0; i < kDeletedRows; ++i)
            window.Grid()->SelectRows(i * step + iteration % step, i * step + iteration % step);
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        window.Grid()->DeleteSelectedRows();
        const double seconds = Seconds(start);
        state.SetIterationTime(seconds);
        grid.push_back(seconds);
        if (window.Grid()->GetRecordCount() != records - kDeletedRows)
            Fatal("the delete did not delete every selected row");

        // As many scattered rows of a copy of the table, deleted by raw SQLite.
        state.PauseTiming();
        SqlStatement del;
        if (sqlite16::Prepare(g_files->raw, L"DELETE FROM scattered_raw WHERE rowid = ?", del) != SQLITE_OK)
            Fatal("cannot prepare the raw DELETE");
        const sqlite3_int64 firstRaw = static_cast<sqlite3_int64>(kDeleteTableRows) - 1 - iteration;
        const Clock::time_point rawStart = Clock::now();
        Exec(g_files->raw, "BEGIN");
        for (int i = 0; i < kDeletedRows; ++i) {
            sqlite3_bind_int64(del, 1, firstRaw - static_cast<sqlite3_int64>(i) * (kDeleteTableRows / kDeletedRows));
            sqlite3_step(del);
            sqlite3_reset(del);
        }
        Exec(g_files->raw, "COMMIT");
        raw.push_back(Seconds(rawStart));
        del.Finalize();
        ++iteration;
        state.ResumeTiming();
    }
    platform::SetMessageBoxHandler([](const platform::MessageBoxRequest&) { return platform::IDOK; });
    g_figures["delete 10000 grid"] = Percentile(grid, 0.5);
    g_figures["delete 10000 raw"] = Percentile(raw, 0.5);
    state.counters["raw_ms"] = g_figures["delete 10000 raw"] * 1e3;
    g_loads["delete"] = LoadAverage();
}

// 100 selected rows of a table of 1,000 deleted with the grid's Delete, where a child
// table of 1,000,000 rows refers to them through a column without an index, so that every
// row's delete scans the child: with a 10 ms heartbeat, beside raw DELETEs of as many rows
// of a copy of both tables in one transaction, the foreign keys on. Then 100 more rows
// deleted the same way and stopped with Escape once the delete has run for a second: from
// the key to the return of the delete, with nothing deleted.
void BM_DeleteBesideUnindexedChild(benchmark::State& state)
{
    constexpr double kStopAfterSeconds = 1.0;
    Window window(kParentTable);
    if (!window.WaitLoaded())
        Fatal("the load did not end");
    platform::SetMessageBoxHandler([](const platform::MessageBoxRequest&) { return platform::IDYES; });
    bool deletingShown = false;
    bool stoppedShown = false;
    const platform::CaptionSink oldSink = platform::SetCaptionSink([&](const std::wstring& text, int) {
        deletingShown = deletingShown || text == STR_DELETING_ROWS;
        stoppedShown = stoppedShown || text == STR_DELETE_STOPPED;
    });
    Exec(g_files->raw, "PRAGMA foreign_keys = ON");
    SqlStatement del;
    if (sqlite16::Prepare(g_files->raw, L"DELETE FROM parent_raw WHERE id = ?", del) != SQLITE_OK)
        Fatal("cannot prepare the raw DELETE");
    Heartbeat deleting;
    Clock::time_point stopStart;
    bool stopAsked = false;
    Clock::time_point escapePosted;
    bool escapeSent = false;
    Heartbeat stopping([&] {
        if (stopAsked && !escapeSent && Seconds(stopStart) >= kStopAfterSeconds) {
            escapePosted = Clock::now();
            escapeSent = true;
            QCoreApplication::postEvent(window.Grid(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        }
    });
    auto selectParents = [&] {
        window.Grid()->ClearSelection();
        window.Grid()->SelectRows(kParentsReferred, kParentsReferred + kParentsDeleted - 1);
    };
    int iteration = 0;
    std::vector<double> grid, raw, stops;
    for (auto _ : state) {
        state.PauseTiming();
        const int records = window.Grid()->GetRecordCount();
        selectParents();
        deletingShown = false;
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        deleting.Start();
        window.Grid()->DeleteSelectedRows();
        const double seconds = Seconds(start);
        deleting.Beat();
        deleting.Stop();
        state.SetIterationTime(seconds);
        grid.push_back(seconds);
        if (window.Grid()->GetRecordCount() != records - kParentsDeleted || !deletingShown)
            Fatal("the delete did not delete every selected row, or said nothing while it ran");

        state.PauseTiming();
        // As many parents of the copy, by raw SQLite in one transaction.
        const sqlite3_int64 firstRaw = kParentsReferred + 1 + static_cast<sqlite3_int64>(iteration) * kParentsDeleted;
        const Clock::time_point rawStart = Clock::now();
        Exec(g_files->raw, "BEGIN");
        for (sqlite3_int64 id = firstRaw; id < firstRaw + kParentsDeleted; ++id) {
            sqlite3_bind_int64(del, 1, id);
            if (sqlite3_step(del) != SQLITE_DONE)
                Fatal("the raw DELETE failed");
            sqlite3_reset(del);
        }
        Exec(g_files->raw, "COMMIT");
        raw.push_back(Seconds(rawStart));

        // The next 100 parents, stopped with Escape after a second.
        const long long parents = CountRows(g_files->raw, kParentTable);
        selectParents();
        stoppedShown = false;
        escapeSent = false;
        stopAsked = true;
        stopStart = Clock::now();
        stopping.Start();
        window.Grid()->DeleteSelectedRows();
        const Clock::time_point stopEnd = Clock::now();
        stopping.Beat();
        stopping.Stop();
        stopAsked = false;
        if (!escapeSent || !stoppedShown || window.Grid()->GetRecordCount() != records - kParentsDeleted ||
            CountRows(g_files->raw, kParentTable) != parents)
            Fatal("the delete was not stopped with every row kept");
        stops.push_back(std::chrono::duration<double>(stopEnd - escapePosted).count());
        ++iteration;
        state.ResumeTiming();
    }
    del.Finalize();
    Exec(g_files->raw, "PRAGMA foreign_keys = OFF");
    platform::SetCaptionSink(oldSink);
    platform::SetMessageBoxHandler([](const platform::MessageBoxRequest&) { return platform::IDOK; });
    g_figures["delete beside child grid"] = Percentile(grid, 0.5);
    g_figures["delete beside child raw"] = Percentile(raw, 0.5);
    g_figures["delete beside child heartbeat max gap"] = Percentile(deleting.Gaps(), 1.0);
    g_figures["delete stop max"] = Percentile(stops, 1.0);
    g_figures["delete stop heartbeat max gap"] = Percentile(stopping.Gaps(), 1.0);
    state.counters["raw_ms"] = g_figures["delete beside child raw"] * 1e3;
    state.counters["max_gap_ms"] = g_figures["delete beside child heartbeat max gap"] * 1e3;
    state.counters["stop_ms"] = g_figures["delete stop max"] * 1e3;
    g_loads["delete beside child"] = LoadAverage();
}

void PrintSummary()
{
    auto figure = [](const char* name) { return g_figures.count(name) ? g_figures[name] : 0.0; };
    auto ratio = [&](const char* a, const char* b) { return figure(b) > 0 ? figure(a) / figure(b) : 0.0; };
    std::printf("\nDatasheet grid over %d rows (offscreen), this run:\n", kRows);
    std::printf("  while the rows load: heartbeat gap max / p99 %.1f / %.1f ms; resident memory %.1f bytes a row\n",
                figure("heartbeat max gap") * 1e3, figure("heartbeat p99 gap") * 1e3, figure("resident bytes per row"));
    std::printf("  open to first painted viewport, max %9.2f ms\n", figure("open to first paint") * 1e3);
    std::printf("  random jump, painted, p50           %9.3f ms  (raw SELECTs %.3f ms, ratio %.2f)\n",
                figure("jump p50 grid") * 1e3, figure("jump p50 raw") * 1e3, ratio("jump p50 grid", "jump p50 raw"));
    std::printf("  random jump, painted, p99           %9.3f ms  (raw SELECTs %.3f ms, ratio %.2f)\n",
                figure("jump p99 grid") * 1e3, figure("jump p99 raw") * 1e3, ratio("jump p99 grid", "jump p99 raw"));
    std::printf("  the same cells read through the model, p50 / p99  %.3f / %.3f ms (ratio to raw %.2f / %.2f)\n",
                figure("jump p50 model") * 1e3, figure("jump p99 model") * 1e3, ratio("jump p50 model", "jump p50 raw"),
                ratio("jump p99 model", "jump p99 raw"));
    std::printf("  plain QTableView, same texts from memory, p50 / p99  %.3f / %.3f ms; grid to it %.2f / %.2f\n",
                figure("jump p50 qt") * 1e3, figure("jump p99 qt") * 1e3, ratio("jump p50 grid", "jump p50 qt"),
                ratio("jump p99 grid", "jump p99 qt"));
    std::printf("  row reads per painted row           %9.2f\n", figure("row reads per visible row"));
    std::printf("  a second window on the rows: memory it adds %.2f bytes a row, the two windows %.1f bytes a row;"
                " its jumps p50 / p99 %.3f / %.3f ms, to the plain QTableView %.2f / %.2f; row reads per painted row %.2f\n",
                figure("second window bytes per row"), figure("two windows bytes per row"),
                figure("jump p50 second grid") * 1e3, figure("jump p99 second grid") * 1e3,
                ratio("jump p50 second grid", "jump p50 qt"), ratio("jump p99 second grid", "jump p99 qt"),
                figure("second window row reads per visible row"));
    std::printf("  jump while loading, p50 / p99 / max %9.3f / %.3f / %.3f ms (%d of %d jumps during the load)\n",
                figure("loading jump p50") * 1e3, figure("loading jump p99") * 1e3, figure("loading jump max") * 1e3,
                static_cast<int>(figure("jumps made while loading")), kJumpsWhileLoading);
    std::printf("  sort on an unindexed column, first page asc / desc %9.1f / %.1f ms  (SQLite's first row %.1f / %.1f ms,"
                " ratio %.2f / %.2f); heartbeat gap max %.1f ms\n",
                figure("sort first page asc") * 1e3, figure("sort first page desc") * 1e3,
                figure("sort first page asc raw") * 1e3, figure("sort first page desc raw") * 1e3,
                ratio("sort first page asc", "sort first page asc raw"),
                ratio("sort first page desc", "sort first page desc raw"), figure("sort heartbeat max gap") * 1e3);
    std::printf("  delete %d scattered rows of %d, median %9.1f ms  (raw DELETEs %.1f ms, ratio %.2f)\n", kDeletedRows,
                kDeleteTableRows, figure("delete 10000 grid") * 1e3, figure("delete 10000 raw") * 1e3,
                ratio("delete 10000 grid", "delete 10000 raw"));
    std::printf("  delete %d of %d rows beside an unindexed child of %d rows, median %9.1f ms  (raw DELETEs %.1f ms,"
                " ratio %.2f); heartbeat gap max %.1f ms; stopped with Escape: key to return max %.1f ms, heartbeat gap"
                " max %.1f ms\n",
                kParentsDeleted, kParentRows, kChildRows, figure("delete beside child grid") * 1e3,
                figure("delete beside child raw") * 1e3, ratio("delete beside child grid", "delete beside child raw"),
                figure("delete beside child heartbeat max gap") * 1e3, figure("delete stop max") * 1e3,
                figure("delete stop heartbeat max gap") * 1e3);
    std::printf("  query sorted on an unindexed column: first page %.1f ms (SQLite's first row %.1f ms, before / after"
                " %.1f / %.1f, ratio %.2f); count ended at %.1f s; far jump p50 / p99 / max %.3f / %.3f / %.3f ms;"
                " heartbeat gap max %.1f ms\n",
                figure("query first page") * 1e3, figure("query first page raw") * 1e3,
                figure("query first page raw before") * 1e3, figure("query first page raw after") * 1e3,
                ratio("query first page", "query first page raw"), figure("query counted"),
                figure("query jump p50") * 1e3, figure("query jump p99") * 1e3, figure("query jump max") * 1e3,
                figure("query heartbeat max gap") * 1e3);
    std::printf("  the model's cells of a jump inside one read transaction, p50 / p99  %.3f / %.3f ms (ratio to raw %.2f / %.2f)\n",
                figure("jump p50 model in read") * 1e3, figure("jump p99 model in read") * 1e3,
                ratio("jump p50 model in read", "jump p50 raw"), ratio("jump p99 model in read", "jump p99 raw"));
    std::printf("  VACUUM of a %.0f MB file, median of 3: %.2f s (sqlite3 shell %.2f s, ratio %.2f); heartbeat gap max %.1f ms\n",
                figure("vacuum file MB"), figure("vacuum"), figure("vacuum shell"), ratio("vacuum", "vacuum shell"),
                figure("vacuum heartbeat max gap") * 1e3);
    std::printf("  one-minute load average at the end of each benchmark:");
    for (const auto& [name, load] : g_loads)
        std::printf(" %s %.2f;", name.c_str(), load);
    std::printf("\n");
}

} // namespace

BENCHMARK(BM_LoadHeartbeat)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenToFirstPaint)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RandomJumps)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpsWhileLoading)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortFirstPage)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryFarPages)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteScatteredRows)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteBesideUnindexedChild)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Vacuum)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_uiThread = std::this_thread::get_id();

    // The program's waits and cursor; nothing may wait for a user.
    platform::InstallWidgetPresenters();
    platform::SetMessageBoxHandler([](const platform::MessageBoxRequest&) { return platform::IDOK; });
    platform::SetCaptionSink([](const std::wstring&, int) {});
    g_strFontFace = L"DejaVu Sans Mono";
    g_strFontSize = L"12";
    g_clrText = 0x000000;
    g_clrEvenRow = 0xF0F0F0;
    g_clrOddRow = 0xFFFFFF;
    g_nMaxGridRows = 2 * kRows;

    Files files;
    CreateFile(files);
    g_files = &files;
    CMainFrameBase mainFrame;
    g_pMainFrame = &mainFrame;
    CreateDatabaseGlobals();
    g_strCurrentDbPath = files.path;
    if (!CDataAccess::OpenDatabase())
        Fatal("cannot open the datasheet's connection");
    sqlite3_trace_v2(g_pCurrentDb->m_pDb, SQLITE_TRACE_STMT, CountStatement, nullptr);

    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    benchmark::Shutdown();
    DestroyDatabaseGlobals();
    g_pMainFrame = nullptr;
    sqlite3_close(files.raw);
    return 0;
}
