// The real tabulon binary, started offscreen on a database with a driver preloaded
// into it that works the window as a user would (tests/smoke/smokedriver.cpp). Each
// run gets a program folder of its own with a fresh application data file, and a
// home folder of its own for the profile.
#include "platform/utf16.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

using namespace testing_support;

namespace {

struct ProgramRun {
    int exitCode = -1;
    QStringList lines;
};

class RealProgram : public ::testing::Test {
protected:
    // Runs the program on the database with the scenario; waits at most two minutes.
    ProgramRun Start(const std::wstring& database, const QString& scenario, const QProcessEnvironment& extra = {})
    {
        const QString program = platform::ToQString(m_folder.Path(QStringLiteral("program%1").arg(++m_nRuns).toStdWString()));
        QDir().mkpath(program + QStringLiteral("/Data"));
        EXPECT_TRUE(QFile::copy(QStringLiteral(TABULON_EXECUTABLE), program + QStringLiteral("/tabulon")));
        m_folder.CopyAppDataFile(platform::FromQString(QStringLiteral("program%1/Data/KVZDATA.KVZ").arg(m_nRuns)));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("HOME"), platform::ToQString(m_folder.Path(L"home")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), platform::ToQString(m_folder.Path(L"home/.config")));
        environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(TABULON_SMOKE_DRIVER));
        // A sanitized program loads its runtime after the preloaded driver.
        const QString asan = environment.value(QStringLiteral("ASAN_OPTIONS"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           asan + (asan.isEmpty() ? QString() : QStringLiteral(":")) + QStringLiteral("verify_asan_link_order=0"));
        environment.insert(QStringLiteral("TABULON_SMOKE"), scenario);
        for (const QString& key : extra.keys())
            environment.insert(key, extra.value(key));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program + QStringLiteral("/tabulon"), {platform::ToQString(database)});
        ProgramRun run;
        if (!process.waitForFinished(120000)) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "the program did not end";
            return run;
        }
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return run;
    }

    TempFolder m_folder;
    int m_nRuns = 0;
};

QProcessEnvironment Table(const QString& table, int column = 0, const QString& text = {})
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("TABULON_SMOKE_TABLE"), table);
    environment.insert(QStringLiteral("TABULON_SMOKE_COLUMN"), QString::number(column));
    environment.insert(QStringLiteral("TABULON_SMOKE_TEXT"), text);
    return environment;
}

TEST_F(RealProgram, StartsOnADatabaseAndShowsItsTree)
{
    const std::wstring database = m_folder.MakeDatabase(
        L"shop.db", "CREATE TABLE customer(id INTEGER PRIMARY KEY, name TEXT);"
                    "CREATE INDEX customer_name ON customer(name); CREATE VIEW names AS SELECT name FROM customer;");
    const ProgramRun run = Start(database, QStringLiteral("tree"), Table(QStringLiteral("customer")));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.lines.contains(QStringLiteral("TREE customer")));
    EXPECT_TRUE(run.lines.contains(QStringLiteral("TREE customer_name")));
    EXPECT_TRUE(run.lines.contains(QStringLiteral("TREE names")));
}

TEST_F(RealProgram, AnEditedCellIsThereWhenTheFileIsOpenedAgain)
{
    const std::wstring database = m_folder.MakeDatabase(
        L"shop.db", "CREATE TABLE customer(id INTEGER PRIMARY KEY, name TEXT);"
                    "INSERT INTO customer VALUES (1, 'Ada'), (2, 'Grace');");
    const ProgramRun edit = Start(database, QStringLiteral("edit"), Table(QStringLiteral("customer"), 1, QStringLiteral("Edsger")));
    EXPECT_EQ(edit.exitCode, 0);
    EXPECT_TRUE(edit.lines.contains(QStringLiteral("EDITED"))) << edit.lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(QueryRaw(database, "SELECT name FROM customer WHERE id = 1"), "Edsger");
    EXPECT_EQ(QueryRaw(database, "SELECT name FROM customer WHERE id = 2"), "Grace");

    const ProgramRun read = Start(database, QStringLiteral("read"), Table(QStringLiteral("customer"), 1));
    EXPECT_EQ(read.exitCode, 0);
    EXPECT_TRUE(read.lines.contains(QStringLiteral("CELL Edsger"))) << read.lines.join(QLatin1Char('|')).toStdString();
}

// Each designer and statement viewer opens from the tree; the index, trigger and view
// designers create their objects, which the tree then shows and the file holds.
TEST_F(RealProgram, EveryDesignerAndViewerOpensFromTheTree)
{
    const std::wstring database = m_folder.MakeDatabase(
        L"shop.db", "CREATE TABLE customer(id INTEGER PRIMARY KEY, name TEXT);"
                    "CREATE INDEX customer_name ON customer(name);"
                    "CREATE TRIGGER customer_keep AFTER DELETE ON customer BEGIN SELECT 1; END;"
                    "CREATE VIEW names AS SELECT name FROM customer;");
    QProcessEnvironment environment = Table(QStringLiteral("customer"));
    environment.insert(QStringLiteral("TABULON_SMOKE_INDEX"), QStringLiteral("customer_name"));
    environment.insert(QStringLiteral("TABULON_SMOKE_TRIGGER"), QStringLiteral("customer_keep"));
    environment.insert(QStringLiteral("TABULON_SMOKE_VIEW"), QStringLiteral("names"));
    const ProgramRun run = Start(database, QStringLiteral("designers"), environment);
    const std::string lines = run.lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(run.exitCode, 0) << lines;
    for (const char* line : {"DIALOG New Index", "DIALOG Field(s)", "DIALOG New Trigger", "DIALOG New View",
                             "DIALOG Table Schema", "TEXT CREATE TABLE customer(id INTEGER PRIMARY KEY, name TEXT)",
                             "DIALOG Index Create Statement", "TEXT CREATE INDEX customer_name ON customer(name)",
                             "DIALOG Trigger Create Statement",
                             "TEXT CREATE TRIGGER customer_keep AFTER DELETE ON customer BEGIN SELECT 1; END",
                             "DIALOG View Create Statement", "TEXT CREATE VIEW names AS SELECT name FROM customer",
                             "DIALOG Create Trigger", "TREE smoke_index", "TREE smoke_trigger", "TREE smoke_view"})
        EXPECT_TRUE(run.lines.contains(QString::fromUtf8(line))) << line << " in " << lines;
    EXPECT_EQ(QueryRaw(database, "SELECT sql FROM sqlite_master WHERE name = 'smoke_index'"),
              "CREATE INDEX [smoke_index] ON [customer] ( [name])");
    EXPECT_EQ(QueryRaw(database, "SELECT tbl_name FROM sqlite_master WHERE name = 'smoke_trigger'"), "customer");
    EXPECT_EQ(QueryRaw(database, "SELECT one FROM smoke_view"), "1");
}

// From the tree's Add on the Tables folder, through the table designer, its Table
// Constraint and its foreign key, to a table in the file and in the tree.
TEST_F(RealProgram, ATableWithAForeignKeyIsDesignedFromTheTree)
{
    const std::wstring database =
        m_folder.MakeDatabase(L"shop.db", "CREATE TABLE customer(id INTEGER PRIMARY KEY, name TEXT);");
    QProcessEnvironment environment = Table(QStringLiteral("customer"));
    environment.insert(QStringLiteral("TABULON_SMOKE_TABLE_NAME"), QStringLiteral("orders"));
    const ProgramRun run = Start(database, QStringLiteral("design"), environment);
    EXPECT_EQ(run.exitCode, 0) << run.lines.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(run.lines.contains(QStringLiteral("TREE orders"))) << run.lines.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(run.lines.contains(QStringLiteral("TREE customer_id")));
    EXPECT_EQ(QueryRaw(database, "SELECT group_concat(name || ':' || type, ',') FROM pragma_table_info('orders')"),
              "id:INTEGER,customer_id:INTEGER");
    EXPECT_EQ(QueryRaw(database, "SELECT \"table\" || '.' || \"to\" || '<' || \"from\" FROM pragma_foreign_key_list('orders')"),
              "customer.id<customer_id");
}

} // namespace
