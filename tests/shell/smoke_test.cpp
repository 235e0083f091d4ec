// The real tabulon binary, started offscreen on a database with a driver preloaded
// into it that works the window as a user would (tests/smoke/smokedriver.cpp). Each
// run gets a program folder of its own with a fresh application data file, and a
// home folder of its own for the profile; the installed program runs from a prefix
// that `cmake --install` filled, as a user who cannot write it.
#include "platform/utf16.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include <pwd.h>
#include <unistd.h>

using namespace testing_support;

namespace {

struct ProgramRun {
    int exitCode = -1;
    QStringList lines;
};

// The lines that report a message box.
QStringList Boxes(const ProgramRun& run) { return run.lines.filter(QRegularExpression(QStringLiteral("^BOX "))); }

class RealProgram : public ::testing::Test {
protected:
    // Runs the program on the database with the scenario; waits at most two minutes.
    ProgramRun Start(const std::wstring& database, const QString& scenario, const QProcessEnvironment& extra = {},
                     const QStringList& options = {})
    {
        return Run(ProgramFolder() + QStringLiteral("/tabulon"), Arguments(database, options), scenario, extra);
    }

    // A program folder of its own: the executable (a hard link where the file system
    // allows one, so that many folders cost no space) and a fresh application data file.
    QString ProgramFolder()
    {
        const QString program = platform::ToQString(m_folder.Path(QStringLiteral("program%1").arg(++m_nRuns).toStdWString()));
        QDir().mkpath(program + QStringLiteral("/Data"));
        const QString executable = program + QStringLiteral("/tabulon");
        if (::link(TABULON_EXECUTABLE, QFile::encodeName(executable).constData()) != 0) {
            EXPECT_TRUE(QFile::copy(QStringLiteral(TABULON_EXECUTABLE), executable));
        }
        m_folder.CopyAppDataFile(platform::FromQString(QStringLiteral("program%1/Data/KVZDATA.KVZ").arg(m_nRuns)));
        return program;
    }

    static QStringList Arguments(const std::wstring& database, const QStringList& options = {})
    {
        QStringList arguments = options;
        if (!database.empty())
            arguments << platform::ToQString(database);
        return arguments;
    }

    // Runs an executable with the driver; as the user uid when one is given.
    ProgramRun Run(const QString& executable, const QStringList& arguments, const QString& scenario,
                   const QProcessEnvironment& extra, const passwd* user = nullptr)
    {
        return Finish(*Launch(executable, arguments, scenario, extra, user));
    }

    // Starts an executable with the driver, its home folder under the temporary folder.
    std::unique_ptr<QProcess> Launch(const QString& executable, const QStringList& arguments, const QString& scenario,
                                     const QProcessEnvironment& extra, const passwd* user = nullptr,
                                     const std::wstring& home = L"home")
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("HOME"), platform::ToQString(m_folder.Path(home)));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), platform::ToQString(m_folder.Path(home + L"/.config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), platform::ToQString(m_folder.Path(home + L"/.local/share")));
        environment.remove(QStringLiteral("QT_STYLE_OVERRIDE"));
        // A sanitized program loads its runtime after the preloaded driver.
        const QString asan = environment.value(QStringLiteral("ASAN_OPTIONS"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           asan + (asan.isEmpty() ? QString() : QStringLiteral(":")) + QStringLiteral("verify_asan_link_order=0"));
        environment.insert(QStringLiteral("TABULON_SMOKE"), scenario);
        for (const QString& key : extra.keys())
            environment.insert(key, extra.value(key));
        // The driver goes into the program only, not into the tool that changes the user.
        const QString preload = QStringLiteral("LD_PRELOAD=") + QStringLiteral(TABULON_SMOKE_DRIVER);
        QString program = executable;
        QStringList all = arguments;
        if (user) {
            program = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
            all = QStringList{QStringLiteral("--reuid=%1").arg(user->pw_uid), QStringLiteral("--regid=%1").arg(user->pw_gid),
                              QStringLiteral("--clear-groups"), QStringLiteral("env"), preload, executable} +
                  arguments;
        } else {
            program = QStringLiteral("env");
            all = QStringList{preload, executable} + arguments;
        }
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(program, all);
        return process;
    }

    // Waits for the program's end until the deadline, two minutes from now unless given.
    static ProgramRun Finish(QProcess& process, QDeadlineTimer deadline = QDeadlineTimer(120000))
    {
        ProgramRun run;
        if (!process.waitForFinished(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)))) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "the program did not end";
            return run;
        }
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return run;
    }

    // Root can write anywhere: the program then runs as the unprivileged "nobody", and
    // user is set; any other user runs it as itself. False when root has no such user.
    static bool UnprivilegedUser(const passwd*& user)
    {
        user = nullptr;
        if (geteuid() != 0)
            return true;
        user = getpwnam("nobody");
        return user && !QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty();
    }

    // Lets the user reach the temporary folder (made for its owner only).
    void OpenTheFolderToOthers()
    {
        const QString root = platform::ToQString(m_folder.Path(L""));
        QFile::setPermissions(root, QFile::permissions(root) | QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup |
                                        QFile::ExeGroup);
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

// The name of a file that is not there: the program asks, the driver answers No, and
// nothing is made, opened or remembered.
TEST_F(RealProgram, AMistypedNameCreatesNothing)
{
    const std::wstring missing = m_folder.Path(L"shopp.db");
    const ProgramRun run = Start(missing, QStringLiteral("quit"));
    EXPECT_EQ(run.exitCode, 0) << run.lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(Boxes(run), QStringList{QStringLiteral("BOX The file <%1> does not exist. / Do you want to create it?")
                                          .arg(platform::ToQString(missing))});
    EXPECT_FALSE(QFileInfo::exists(platform::ToQString(missing)));
    // The recent-file list lives in the profile under the home folder.
    for (QDirIterator it(platform::ToQString(m_folder.Path(L"home")), QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        QFile file(it.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_FALSE(file.readAll().contains("shopp.db")) << file.fileName().toStdString();
    }
}

// A close during start-up ends the program whenever it comes: after the question about a
// missing file was answered, and while the question is still up, so that the close comes
// before the main loop runs. Many starts at once, each in a folder and home of its own,
// so that the close falls at every moment of the start-up.
TEST_F(RealProgram, ACloseDuringStartUpEndsTheProgram)
{
    struct Started {
        QString scenario;
        std::wstring missing;
        std::unique_ptr<QProcess> process;
    };
    std::vector<Started> started;
    // One deadline for all: a start that does not end costs its two minutes only once.
    const QDeadlineTimer deadline(120000);
    for (int i = 0; i < 16; ++i) {
        const QString scenario = i % 3 == 0 ? QStringLiteral("quit-asked") : QStringLiteral("quit");
        const std::wstring missing = m_folder.Path(QStringLiteral("missing%1.db").arg(i).toStdWString());
        const std::wstring home = QStringLiteral("home%1").arg(i).toStdWString();
        started.push_back({scenario, missing,
                           Launch(ProgramFolder() + QStringLiteral("/tabulon"), Arguments(missing), scenario, {}, nullptr, home)});
    }
    for (Started& start : started) {
        const ProgramRun run = Finish(*start.process, deadline);
        EXPECT_EQ(run.exitCode, 0) << start.scenario.toStdString() << ": " << run.lines.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(Boxes(run), QStringList{QStringLiteral("BOX The file <%1> does not exist. / Do you want to create it?")
                                              .arg(platform::ToQString(start.missing))})
            << start.scenario.toStdString();
        EXPECT_FALSE(QFileInfo::exists(platform::ToQString(start.missing)));
    }
}

// A damaged application data file is one box naming it, exit code 1, and the file as it was.
TEST_F(RealProgram, ADamagedDataFileIsOneBoxAndStaysAsItWas)
{
    // The first run makes the program folder; its data file is then damaged.
    ASSERT_EQ(Start(L"", QStringLiteral("quit")).exitCode, 0);
    const QString program = platform::ToQString(m_folder.Path(L"program1"));
    const QString data = program + QStringLiteral("/Data/KVZDATA.KVZ");
    {
        QFile file(data);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.resize(file.size() / 2);
    }
    QFile file(data);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    const ProgramRun run = Run(program + QStringLiteral("/tabulon"), {}, QStringLiteral("quit"), {});
    EXPECT_EQ(run.exitCode, 1);
    const QStringList boxes = Boxes(run);
    ASSERT_EQ(boxes.size(), 1) << run.lines.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("BOX Application data file <%1> is damaged: ").arg(data)))
        << boxes[0].toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

// A data file the user cannot write would fail every setting the program stores: one
// box names it at start, the program ends with exit code 1, and the file stays as it was.
TEST_F(RealProgram, ADataFileTheUserCannotWriteIsOneBox)
{
    const passwd* user = nullptr;
    if (!UnprivilegedUser(user))
        GTEST_SKIP() << "run as root without a user \"nobody\" or without setpriv: no user who cannot write the file";
    ASSERT_EQ(Start(L"", QStringLiteral("quit")).exitCode, 0);
    const QString program = platform::ToQString(m_folder.Path(L"program1"));
    const QString data = program + QStringLiteral("/Data/KVZDATA.KVZ");
    QFile::setPermissions(data, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    OpenTheFolderToOthers();
    QFile file(data);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    const QString home = platform::ToQString(m_folder.Path(L"home"));
    ASSERT_TRUE(QDir().mkpath(home));
    if (user) {
        ASSERT_EQ(::chown(home.toLocal8Bit().constData(), user->pw_uid, user->pw_gid), 0) << std::strerror(errno);
    }
    const ProgramRun run = Run(program + QStringLiteral("/tabulon"), {}, QStringLiteral("quit"), {}, user);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Boxes(run), QStringList{QStringLiteral("BOX Application data file <%1> cannot be written. / Can not continue.")
                                          .arg(data)});
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

// The hidden menu bar shows while Alt is held and after F10, which opens the File menu;
// Ctrl+Q ends the program.
TEST_F(RealProgram, AltAndF10ShowTheMenusAndCtrlQQuits)
{
    const ProgramRun run = Start(L"", QStringLiteral("menus"));
    EXPECT_EQ(run.exitCode, 0) << run.lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(run.lines, (QStringList{"BAR hidden at start", "BAR shown with Alt", "BAR hidden after Alt",
                                      "F10 MENU &New Database...|&Open...|P&rint Setup...|E&xit",
                                      "BAR hidden after Escape"}));
}

// The program takes the style that -style or QT_STYLE_OVERRIDE names, and its
// Application Look item carries the mark.
TEST_F(RealProgram, AnExplicitStyleWins)
{
    QProcessEnvironment override;
    override.insert(QStringLiteral("QT_STYLE_OVERRIDE"), QStringLiteral("windows"));
    const ProgramRun byEnvironment = Start(L"", QStringLiteral("style"), override);
    EXPECT_EQ(byEnvironment.exitCode, 0);
    EXPECT_EQ(byEnvironment.lines, (QStringList{"STYLE windows", "LOOK Windows"}));
    const ProgramRun byOption = Start(L"", QStringLiteral("style"), {}, {QStringLiteral("-style"), QStringLiteral("windows")});
    EXPECT_EQ(byOption.exitCode, 0);
    EXPECT_EQ(byOption.lines, (QStringList{"STYLE windows", "LOOK Windows"}));
}

// Installed with `cmake --install` and started twice by a user who cannot write the
// prefix: no box, the setting changed in the first run is there in the second, and the
// prefix stays as it was installed.
TEST_F(RealProgram, TheInstalledProgramKeepsAUsersSettingsWithoutABox)
{
    // Any user but root runs it on a prefix whose folders it cannot write.
    const passwd* user = nullptr;
    if (!UnprivilegedUser(user))
        GTEST_SKIP() << "run as root without a user \"nobody\" or without setpriv: no user who cannot write the prefix";
    const QString root = platform::ToQString(m_folder.Path(L""));
    const QString prefix = root + QStringLiteral("/prefix");
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(TABULON_CMAKE_COMMAND),
                  {QStringLiteral("--install"), QStringLiteral(TABULON_BINARY_DIR), QStringLiteral("--prefix"), prefix});
    ASSERT_TRUE(install.waitForFinished(120000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAll().toStdString();
    const QString executable = prefix + QStringLiteral("/bin/tabulon");
    const QString shipped = prefix + QStringLiteral("/share/tabulon/KVZDATA.KVZ");
    ASSERT_TRUE(QFileInfo::exists(executable));
    ASSERT_TRUE(QFileInfo::exists(shipped));
    EXPECT_FALSE(QFileInfo::exists(prefix + QStringLiteral("/bin/Data")));
    EXPECT_FALSE(QFileInfo(shipped).permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));

    const auto listing = [&] {
        QStringList files;
        for (QDirIterator it(prefix, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString path = it.next();
            QFile file(path);
            QByteArray hash;
            if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly))
                hash = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex();
            files << path + QLatin1Char(' ') + QString::fromLatin1(hash);
        }
        files.sort();
        return files;
    };
    const QStringList installed = listing();

    // The user's own home, and the way to it; the prefix stays the installer's.
    OpenTheFolderToOthers();
    const QString home = platform::ToQString(m_folder.Path(L"home"));
    ASSERT_TRUE(QDir().mkpath(home));
    if (user) {
        ASSERT_EQ(::chown(home.toLocal8Bit().constData(), user->pw_uid, user->pw_gid), 0);
    } else {
        for (QDirIterator it(prefix, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories); it.hasNext();) {
            const QString folder = it.next();
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                              QFile::ReadOther | QFile::ExeOther);
        }
        QFile::setPermissions(prefix, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    }

    QProcessEnvironment text;
    text.insert(QStringLiteral("TABULON_SMOKE_TEXT"), QStringLiteral("Kept by the user"));
    const ProgramRun first = Run(executable, {}, QStringLiteral("header"), text, user);
    EXPECT_EQ(first.exitCode, 0) << first.lines.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(Boxes(first).isEmpty()) << Boxes(first).join(QLatin1Char('|')).toStdString();
    const QString own = home + QStringLiteral("/.local/share/Tabulon/KVZDATA.KVZ");
    EXPECT_TRUE(QFileInfo::exists(own));
    if (user) {
        EXPECT_EQ(QFileInfo(own).ownerId(), user->pw_uid);
    }

    const ProgramRun second = Run(executable, {}, QStringLiteral("show-header"), {}, user);
    EXPECT_EQ(second.exitCode, 0) << second.lines.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(Boxes(second).isEmpty()) << Boxes(second).join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(second.lines.contains(QStringLiteral("HEADER Kept by the user")))
        << second.lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(QueryRaw(platform::FromQString(own), "SELECT TextVal FROM NodeValue JOIN Node USING (NodeID) "
                                                   "WHERE NodeName = 'CONFIG\\DATASHEET\\REPORT_HEADER_TEXT'"),
              "Kept by the user");
    EXPECT_EQ(listing(), installed);
    // The folders go back to their owner, so that the temporary folder can be removed.
    if (!user)
        for (QDirIterator it(prefix, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories); it.hasNext();)
            QFile::setPermissions(it.next(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(prefix, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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

// The keys of the real program: Enter in the tree opens the table, the first Ctrl+End
// reaches the new-row line, a typed text there makes a row; Ctrl+N after Relationships
// activated the diagram makes no second one.
TEST_F(RealProgram, KeysOpenTheTableReachItsEndAndMakeNoSecondDiagram)
{
    const std::wstring database = m_folder.MakeDatabase(
        L"shop.db", "CREATE TABLE customer(id INTEGER PRIMARY KEY, name TEXT, city TEXT);"
                    "INSERT INTO customer VALUES (1, 'Ada', 'London'), (2, 'Grace', 'Arlington');");
    const ProgramRun run = Start(database, QStringLiteral("keys"), Table(QStringLiteral("customer"), 0, QStringLiteral("Paris")));
    EXPECT_EQ(run.exitCode, 0);
    const std::string lines = run.lines.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(run.lines.contains(QStringLiteral("LINES 4"))) << lines;
    EXPECT_TRUE(run.lines.contains(QStringLiteral("DIAGRAMS 1"))) << lines;
    EXPECT_EQ(QueryRaw(database, "SELECT count(*) FROM customer"), "3");
    EXPECT_EQ(QueryRaw(database, "SELECT city FROM customer WHERE id = 3"), "Paris");
    EXPECT_EQ(QueryRaw(database, "SELECT city FROM customer WHERE id = 2"), "Arlington");
}

} // namespace
