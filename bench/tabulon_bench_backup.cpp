// A backup of a 1 GB database as the program makes it (the progress dialog with its worker:
// the engine's online backup from a private connection, the copy written beside its
// name, flushed with its folder and linked), against the sqlite3 shell's `.backup` of
// the same file and, for reference, cp. The copies alternate, each one after a sync, so
// that none pays for the write-back of the one before. While the program copies, a 10 ms
// heartbeat timer on the user-interface thread records its largest gap.
#include "data/settings.h"
#include "platform/utf16.h"
#include "shell/cbackupfiledlg.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kMegabytes = 1024;
constexpr int kRounds = 5;

QByteArray Quoted(const QString& path) { return "'" + QFile::encodeName(path) + "'"; }

struct Fixture {
    QTemporaryDir dir;
    QString source;
    QString backups;
    std::int64_t bytes = 0;

    Fixture()
    {
        source = dir.filePath(QStringLiteral("big.db"));
        backups = dir.filePath(QStringLiteral("backups"));
        QDir().mkpath(backups);
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(source).constData(), &db);
        const std::string sql = "PRAGMA synchronous=OFF; CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT, b BLOB); "
                                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                                std::to_string(kMegabytes * 1024) +
                                ") INSERT INTO t SELECT i, 'row ' || i, randomblob(960) FROM n;";
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            std::fprintf(stderr, "fixture: %s\n", sqlite3_errmsg(db));
        sqlite3_close(db);
        bytes = QFile(source).size();
        g_strBackupFolder = platform::FromQString(backups);
    }

    void Clear() const
    {
        QDir folder(backups);
        for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden))
            folder.remove(name);
    }
};

Fixture& Shared()
{
    static Fixture fixture;
    return fixture;
}

std::map<std::string, std::vector<double>> g_seconds; // every copy's seconds per figure
double g_largestGapMs = 0;                              // the heartbeat's, over every program copy

// One copy, after the previous copy is removed and every dirty page is on disk.
template <typename Copy> void Measure(benchmark::State& state, const char* figure, Copy copy)
{
    Fixture& f = Shared();
    for (auto _ : state) {
        f.Clear();
        ::sync();
        const auto start = std::chrono::steady_clock::now();
        if (!copy())
            state.SkipWithError("copy failed");
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        g_seconds[figure].push_back(seconds);
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void BM_Cp(benchmark::State& state)
{
    const QByteArray command =
        "cp " + Quoted(Shared().source) + " " + Quoted(Shared().backups + QStringLiteral("/cp.db"));
    Measure(state, "cp", [&] { return std::system(command.constData()) == 0; });
}

void BM_ShellBackup(benchmark::State& state)
{
    const QByteArray command = "sqlite3 " + Quoted(Shared().source) + " \".backup " +
                               Quoted(Shared().backups + QStringLiteral("/shell.db")) + "\"";
    Measure(state, "sqlite3 .backup", [&] { return std::system(command.constData()) == 0; });
}

void BM_Backup(benchmark::State& state)
{
    double largest = 0;
    Measure(state, "backup", [&] {
        CBackupFileDlg dialog(platform::FromQString(Shared().source));
        QElapsedTimer beat;
        QTimer heartbeat;
        QObject::connect(&heartbeat, &QTimer::timeout, [&] {
            largest = std::max(largest, static_cast<double>(beat.nsecsElapsed()) / 1e6);
            beat.restart();
        });
        heartbeat.start(10);
        beat.start();
        dialog.DoModal();
        heartbeat.stop();
        return dialog.m_bDone == 1;
    });
    state.counters["largest_gap_ms"] = largest;
    g_largestGapMs = std::max(g_largestGapMs, largest);
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Shared();
    // In turns, so that all three see the same state of the machine.
    for (int round = 1; round <= kRounds; ++round) {
        const std::string suffix = "/round:" + std::to_string(round);
        using Function = void (*)(benchmark::State&);
        const std::pair<std::string, Function> figures[] = {
            {"BM_Cp", BM_Cp}, {"BM_ShellBackup", BM_ShellBackup}, {"BM_Backup", BM_Backup}};
        for (const auto& [name, function] : figures)
            benchmark::RegisterBenchmark((name + suffix).c_str(), function)
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    const double mb = static_cast<double>(Shared().bytes) / (1024.0 * 1024.0);
    const double cp = Median(g_seconds["cp"]);
    const double shell = Median(g_seconds["sqlite3 .backup"]);
    const double backup = Median(g_seconds["backup"]);
    if (cp > 0 && shell > 0 && backup > 0) {
        std::printf("\nBackup of a %.0f MB database, median of %d copies each after a sync: cp %.2f s, sqlite3 "
                    ".backup %.2f s, backup %.2f s\n",
                    mb, kRounds, cp, shell, backup);
        std::printf("backup / sqlite3 .backup %.2f (target at most 1.20), backup / cp %.2f\n", backup / shell,
                    backup / cp);
        std::printf("largest gap of the 10 ms heartbeat during the backups: %.1f ms (target at most 100)\n",
                    g_largestGapMs);
    }
    benchmark::Shutdown();
    return 0;
}
