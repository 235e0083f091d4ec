// Backup copy throughput: a backup of a 1 GB database file (a private connection's read
// transaction, the bytes read through the engine's file handle, progress reported in
// whole percent) against cp of the same file, in turns, in the same run.
#include "data/settings.h"
#include "platform/utf16.h"
#include "shell/backup.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

constexpr int kMegabytes = 1024;

struct Fixture {
    QTemporaryDir dir;
    std::wstring source;
    QString backups;
    std::int64_t bytes = 0;

    Fixture()
    {
        source = platform::FromQString(dir.filePath(QStringLiteral("big.db")));
        backups = dir.filePath(QStringLiteral("backups"));
        QDir().mkpath(backups);
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(platform::ToQString(source)).constData(), &db);
        std::string sql = "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; CREATE TABLE t(b); "
                          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                          std::to_string(kMegabytes) + ") INSERT INTO t SELECT randomblob(1048000) FROM n;";
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            std::fprintf(stderr, "fixture: %s\n", sqlite3_errmsg(db));
        sqlite3_close(db);
        bytes = QFile(platform::ToQString(source)).size();
        g_strBackupFolder = platform::FromQString(backups);
    }

    void Clear() const
    {
        QDir folder(backups);
        for (const QString& name : folder.entryList(QDir::Files))
            folder.remove(name);
    }
};

Fixture& Shared()
{
    static Fixture fixture;
    return fixture;
}

std::map<std::string, double> g_seconds; // median seconds per figure

void Record(benchmark::State& state, const char* name)
{
    state.SetBytesProcessed(state.iterations() * Shared().bytes);
    (void)name;
}

void BM_Cp(benchmark::State& state)
{
    Fixture& f = Shared();
    const QByteArray command = "cp " + QFile::encodeName(platform::ToQString(f.source)) + " " +
                               QFile::encodeName(f.backups + QStringLiteral("/cp.db"));
    for (auto _ : state) {
        if (std::system(command.constData()) != 0)
            state.SkipWithError("cp failed");
        state.PauseTiming();
        f.Clear();
        state.ResumeTiming();
    }
    Record(state, "cp");
}

void BM_Backup(benchmark::State& state)
{
    Fixture& f = Shared();
    const std::atomic<bool> cancel = false;
    int reports = 0;
    for (auto _ : state) {
        std::wstring target;
        if (CopyBackupFile(f.source, target, cancel, [&](int) { ++reports; }) != 0)
            state.SkipWithError("backup failed");
        state.PauseTiming();
        f.Clear();
        state.ResumeTiming();
    }
    state.counters["progress_reports"] = benchmark::Counter(reports, benchmark::Counter::kAvgIterations);
    Record(state, "backup");
}

// In turns, so that both see the same state of the machine.
BENCHMARK(BM_Cp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);

class Summary : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.aggregate_name == "median")
                g_seconds[run.run_name.function_name] = run.GetAdjustedRealTime() / 1000.0;
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Shared();
    Summary reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double cp = g_seconds["BM_Cp"];
    const double backup = g_seconds["BM_Backup"];
    if (cp > 0 && backup > 0) {
        const double mb = static_cast<double>(Shared().bytes) / (1024.0 * 1024.0);
        std::printf("\nBackup of a %.0f MB database: cp %.0f MB/s, backup %.0f MB/s, throughput ratio backup/cp %.2f "
                    "(target at least 0.80)\n",
                    mb, mb / cp, mb / backup, cp / backup);
    }
    benchmark::Shutdown();
    return 0;
}
