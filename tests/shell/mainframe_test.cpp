// The whole workbench in one process: start-up with and without the application data
// file, first and later runs, the commands' enabling, the close guard, the roads that
// close the database (New database, Save As, Import/Export) and the object messages.
#include "data/cadbsqldb.h"
#include "data/cadbsqlquery.h"
#include "data/cappdatafile.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/dbschema.h"
#include "designers/caddnewcolumndlg.h"
#include "designers/ccolumnconstraintdlg.h"
#include "designers/cforkeyclausedlg.h"
#include "designers/cnewindexdlg.h"
#include "designers/cnewtriggerdlg.h"
#include "designers/cnewviewdlg.h"
#include "designers/cselectfield.h"
#include "designers/ctableconstraintdlg.h"
#include "designers/ctableschemadlg.h"
#include "designers/ctablescriptdlg.h"
#include "designers/ctblconstprimuniqkeydlg.h"
#include "designers/ctriggerdlg.h"
#include "designers/cviewdlg.h"
#include "designers/cviewindexdlg.h"
#include "designers/cviewtriggerdlg.h"
#include "dialogscript.h"
#include "document/diagram/cdiagramtablewnd.h"
#include "document/dialogs/creferencedlg.h"
#include "document/dialogs/creftabledlg.h"
#include "document/dialogs/cretrrestblobdlg.h"
#include "document/grid/caddnewdatatype.h"
#include "scopedhandlers.h"
#include "document/grid/clistctrlcombo.h"
#include "document/report/cchildview.h"
#include "document/strip/ccaptiondlg.h"
#include "document/windows/ctabulondoc.h"
#include "document/session/currentdatabase.h"
#include "document/windows/doctemplate.h"
#include "document/windows/ctabulonview.h"
#include "document/windows/windowlistdlg.h"
#include "document/windows/datawindows.h"
#include "document/grid/cinlineedit.h"
#include "document/grid/clistctrlcombo.h"
#include "platform/recentfiles.h"
#include "platform/utf16.h"
#include "platform/widgets/combobox.h"
#include "platform/widgets/filedialog.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/presenters.h"
#include "platform/widgets/printdialog.h"
#include "platform/widgets/reportlist.h"
#include "shell/caboutdlg.h"
#include "shell/cappconfigsheet.h"
#include "shell/cbackupdatafiledlg.h"
#include "shell/cbackupfiledlg.h"
#include "shell/ccreatenewdbdlg.h"
#include "shell/cdatasheetpage.h"
#include "shell/cdbconfigpage.h"
#include "shell/cdbtreectrl.h"
#include "shell/citemlistdlg.h"
#include "shell/cmainframe.h"
#include "shell/cpragmalistdlg.h"
#include "shell/cquerydlg.h"
#include "shell/ctabulonapp.h"
#include "shell/cworkspacebar.h"
#include "shownboxes.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QStyle>
#include <QStyleFactory>
#include <QTabBar>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolTip>
#include <QTreeWidget>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include <sqlite3.h>

using namespace testing_support;

namespace {

constexpr wchar_t STR_DATA_FILE_MISSING[] = L"Application data file <KVZDATA.KVZ> is missing.\nCan not continue.";

// A program folder of its own, the start-up's exit and pause recorded instead of done,
// the recent-file list in a file of the test's own, and every box answered.
class Workbench : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = GetStartupHooks();
        StartupHooks& hooks = GetStartupHooks();
        hooks.programFolder = [this] { return m_strProgramFolder; };
        hooks.exitProcess = [this](int code) { m_arrExitCodes.push_back(code); };
        hooks.pause = [this](std::chrono::milliseconds pause) { m_arrPauses.push_back(pause); };
        hooks.splashLine = [this](const std::wstring& line) { m_arrSplashLines.push_back(line); };
        platform::UseRecentFileSettings(m_folder.Path(L"profile.ini"));
        m_strProgramFolder = m_folder.Path(L"program") + L"/";
    }

    void TearDown() override
    {
        m_app.reset();
        GetStartupHooks() = m_saved;
        platform::SetFileHandler({});
        platform::SetDialogHandler({});
    }

    // The shipped application data file in the program folder.
    void InstallDataFile()
    {
        QDir().mkpath(platform::ToQString(m_strProgramFolder + L"Data"));
        m_folder.CopyAppDataFile(L"program/Data/KVZDATA.KVZ");
    }

    bool Start(const QStringList& arguments = {QStringLiteral("tabulon")})
    {
        m_app = std::make_unique<CTabulonApp>();
        return m_app->InitInstance(arguments);
    }

    CMainFrame& Frame() { return *m_app->GetMainFrame(); }

    // A database with a table, an index and a trigger on it, and a view.
    std::wstring MakeSample(const std::wstring& name = L"sample.db")
    {
        return m_folder.MakeDatabase(name, "CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT);"
                                           "INSERT INTO t VALUES (1, 'one'), (2, 'two');"
                                           "CREATE INDEX t_name ON t(name);"
                                           "CREATE TRIGGER t_keep AFTER DELETE ON t BEGIN SELECT 1; END;"
                                           "CREATE TABLE other(x);"
                                           "CREATE VIEW v AS SELECT name FROM t;");
    }

    bool Open(const std::wstring& path)
    {
        const bool opened = m_app->OpenDocumentFile(path);
        Frame().UpdateCommandUI();
        return opened;
    }

    CTabulonDoc* OpenTable(const std::wstring& table)
    {
        platform::SendMessage(&Frame(), UM_OPEN_TABLE_DATA, 0, reinterpret_cast<LPARAM>(&table));
        return m_app->FindDataDocument(OpenTableData, table);
    }

    // Texts of the tree's items, depth first.
    std::vector<std::wstring> TreeTexts()
    {
        std::vector<std::wstring> texts;
        QTreeWidget* tree = Frame().m_wndWorkspace->m_wndTree.GetTreeView();
        std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
            texts.push_back(platform::FromQString(item->text(0)));
            for (int i = 0; i < item->childCount(); ++i)
                walk(item->child(i));
        };
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            walk(tree->topLevelItem(i));
        return texts;
    }

    // Every console that opens takes the text and executes it; `shown` gets the text
    // the console opened with.
    void AnswerConsoles(const std::wstring& text, std::wstring* shown = nullptr)
    {
        platform::SetDialogHandler([&text, shown](QDialog& dialog) {
            auto* console = dynamic_cast<CQueryDlg*>(&dialog);
            if (!console)
                return static_cast<int>(QDialog::Rejected);
            if (shown)
                *shown = platform::FromQString(console->m_edStatement->toPlainText());
            console->m_edStatement->setPlainText(platform::ToQString(text));
            console->m_btnExecute->click();
            return dialog.result();
        });
    }

    bool TreeHas(const std::wstring& text)
    {
        const std::vector<std::wstring> texts = TreeTexts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }

    CDbTreeCtrl& Tree() { return Frame().m_wndWorkspace->m_wndTree; }

    // Makes a tree item current, as a click or the keyboard does: the first item of the
    // kind, or the one of the kind with the text.
    QTreeWidgetItem* SelectTreeItem(NodeKind kind, const QString& text = QString())
    {
        for (QTreeWidgetItemIterator it(Tree().GetTreeView()); *it; ++it)
            if (CDbTreeCtrl::KindOf(*it) == static_cast<int>(kind) && (text.isNull() || (*it)->text(0) == text)) {
                Tree().GetTreeView()->setCurrentItem(*it);
                return *it;
            }
        ADD_FAILURE() << "no item " << static_cast<int>(kind) << " " << text.toStdString();
        return nullptr;
    }

    // The names of the objects of the type that the database holds, sorted: the file's
    // own, read back through a connection of its own, and those of the program
    // connection's temporary schema, less the views behind its query windows.
    std::vector<std::wstring> HeldNames(const std::wstring& path, const std::string& type)
    {
        std::vector<std::wstring> names;
        {
            const OtherConnection file(path);
            const std::string sql =
                "SELECT name FROM sqlite_master WHERE type = '" + type + "' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'";
            sqlite3_stmt* stmt = nullptr;
            EXPECT_EQ(sqlite3_prepare_v2(file.db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK);
            while (sqlite3_step(stmt) == SQLITE_ROW)
                names.push_back(platform::FromQString(
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)))));
            sqlite3_finalize(stmt);
        }
        CADbSqlQuery temporary;
        g_pCurrentDb->Query(temporary, L"SELECT name FROM sqlite_temp_master WHERE type = '" +
                                           platform::FromQString(QString::fromStdString(type)) +
                                           L"' AND name NOT LIKE '\\_TMPQRYVW\\_TBL\\_%' ESCAPE '\\'");
        for (bool end = temporary.Eof(); !end; end = temporary.NextRow())
            names.push_back(temporary.GetFieldValue(0));
        temporary.Finalize();
        std::sort(names.begin(), names.end());
        return names;
    }

    // Every folder of the tree (its caption and its objects) and every cached name list
    // say what the database holds.
    void ExpectTreeShowsTheSchema(const std::wstring& path)
    {
        struct Folder {
            NodeKind kind;
            const char* word;
            const char* type;
            const std::vector<std::wstring>* cached;
        };
        const Folder folders[] = {
            {NodeKind::TablesFolder, "Table", "table", &g_arrTableNames},
            {NodeKind::IndexesFolder, "Index", "index", &g_arrIndexNames},
            {NodeKind::TriggersFolder, "Trigger", "trigger", &g_arrTriggerNames},
            {NodeKind::ViewsFolder, "View", "view", &g_arrViewNames},
        };
        QTreeWidget* view = Tree().GetTreeView();
        ASSERT_EQ(view->topLevelItemCount(), 1);
        for (const Folder& folder : folders) {
            SCOPED_TRACE(folder.type);
            const std::vector<std::wstring> held = HeldNames(path, folder.type);
            QTreeWidgetItem* item = Tree().FindItemByKind(view->topLevelItem(0), folder.kind);
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->text(0).toStdString(), std::string(folder.word) + "(" + std::to_string(held.size()) + ")");
            std::vector<std::wstring> shown;
            for (int i = 0; i < item->childCount(); ++i)
                shown.push_back(platform::FromQString(item->child(i)->text(0)));
            std::sort(shown.begin(), shown.end());
            EXPECT_EQ(shown, held);
            std::vector<std::wstring> cached = *folder.cached;
            std::sort(cached.begin(), cached.end());
            EXPECT_EQ(cached, held);
        }
    }

    TempFolder m_folder;
    std::wstring m_strProgramFolder;
    std::vector<int> m_arrExitCodes;
    std::vector<std::chrono::milliseconds> m_arrPauses;
    std::vector<std::wstring> m_arrSplashLines;
    BoxRecorder m_boxes{platform::IDOK};
    std::unique_ptr<CTabulonApp> m_app;

private:
    StartupHooks m_saved;
};

TEST_F(Workbench, WithoutTheDataFileOneBoxExitCodeOneAndNoWindow)
{
    EXPECT_FALSE(Start());
    EXPECT_EQ(m_arrExitCodes, std::vector<int>{1});
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, STR_DATA_FILE_MISSING);
    EXPECT_EQ(m_boxes.Last().caption, L"Error");
    EXPECT_EQ(m_app->GetMainFrame(), nullptr);
    EXPECT_TRUE(m_arrSplashLines.empty());
}

TEST_F(Workbench, FirstRunFillsTheListsWithoutPauseAndTheNextRunPauses)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_arrSplashLines, (std::vector<std::wstring>{STR_LOADING_SETTINGS, STR_FIRST_RUN}));
    EXPECT_TRUE(m_arrPauses.empty());
    EXPECT_TRUE(Frame().m_pAppDataFile->NodeExists(NODE_DB_DATA_TYPES));
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_EQ(platform::MainWindow(), &Frame());
    EXPECT_EQ(m_app->m_nApplicationLook, CMainFrame::CurrentLookId());
    EXPECT_NE(m_app->m_nApplicationLook, 0);
    EXPECT_EQ(m_boxes.Count(), 0u);

    m_app.reset();
    m_arrSplashLines.clear();
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_arrSplashLines, std::vector<std::wstring>{STR_LOADING_SETTINGS});
    EXPECT_EQ(m_arrPauses, std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(2000)});
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// The application data file as text: every node in the order it was made, with its type,
// then its values in the order they were added, each between bars so that a blank or an
// empty text shows (NULL stands bare). The home folder reads as $HOME.
std::string StoreDump(const std::wstring& path, const std::wstring& home)
{
    const auto text = [&](const wchar_t* value) {
        if (!value)
            return std::string("NULL");
        std::wstring shown = value;
        if (shown.rfind(home, 0) == 0)
            shown.replace(0, home.size(), L"$HOME");
        return Utf8(shown);
    };
    CADbSqlDb db;
    db.OpenDb(path);
    CADbSqlQuery rows;
    db.Query(rows, L"SELECT n.NodeID, n.NodeName, n.NodeType, v.ValueID, v.TextVal FROM Node n "
                   L"LEFT JOIN NodeValue v ON v.NodeID = n.NodeID ORDER BY n.NodeID, v.ValueID");
    std::string dump;
    sqlite3_int64 node = 0;
    for (bool end = rows.Eof(); !end; end = rows.NextRow()) {
        if (rows.GetInt64Field(0) != node) {
            node = rows.GetInt64Field(0);
            dump += text(rows.GetFieldValue(1)) + " type " + std::to_string(rows.GetIntField(2)) + "\n";
        }
        if (!rows.GetFieldValue(3))
            continue; // a node without values
        const wchar_t* value = rows.GetFieldValue(4);
        dump += value ? "    |" + text(value) + "|\n" : "    NULL\n";
    }
    EXPECT_FALSE(rows.StepFailed());
    rows.Finalize();
    db.CloseDb();
    return dump;
}

// The lines of two texts that differ: a line of the kept text that is gone as "-", a line
// of the found text that is new as "+", each with its line number in its own text (counted
// from `firstLine`); empty when the texts are equal.
std::string LineDiff(const std::vector<std::string>& kept, const std::vector<std::string>& found, size_t firstLine)
{
    // common[i][j]: how many lines kept from i and found from j have in common at most.
    std::vector<std::vector<size_t>> common(kept.size() + 1, std::vector<size_t>(found.size() + 1));
    for (size_t i = kept.size(); i-- > 0;)
        for (size_t j = found.size(); j-- > 0;)
            common[i][j] = kept[i] == found[j] ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
    std::string diff;
    size_t i = 0;
    size_t j = 0;
    while (i < kept.size() || j < found.size()) {
        if (i < kept.size() && j < found.size() && kept[i] == found[j]) {
            ++i;
            ++j;
        } else if (i < kept.size() && (j == found.size() || common[i + 1][j] >= common[i][j + 1])) {
            diff += "-" + std::to_string(firstLine + i) + ": " + kept[i] + "\n";
            ++i;
        } else {
            diff += "+" + std::to_string(firstLine + j) + ": " + found[j] + "\n";
            ++j;
        }
    }
    return diff;
}

// What the first start writes into the shipped application data file, compared whole with
// the dump kept in the sources: a node name, a default or a list entry spelled anew, left
// out, added or moved is a changed line. A change meant is taken by copying the dump this
// run wrote over the kept one (the kept file's head says so).
TEST_F(Workbench, TheFirstStartWritesTheKeptStore)
{
    const QByteArray savedHome = qgetenv("HOME");
    const std::wstring home = m_folder.Path(L"home");
    ASSERT_TRUE(QDir().mkpath(platform::ToQString(home)));
    qputenv("HOME", QFile::encodeName(platform::ToQString(home)));
    InstallDataFile();
    const bool started = Start();
    qputenv("HOME", savedHome);
    ASSERT_TRUE(started);
    EXPECT_EQ(m_boxes.Count(), 0u);
    // The program gives Qt the names its profile has always been kept under.
    EXPECT_EQ(QCoreApplication::organizationName(), QStringLiteral("Corvellan Software"));
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Tabulon"));

    std::ifstream keptFile(TABULON_FIRST_RUN_STORE);
    ASSERT_TRUE(keptFile) << TABULON_FIRST_RUN_STORE;
    std::string head;
    std::vector<std::string> kept;
    for (std::string line; std::getline(keptFile, line);) {
        if (line.rfind('#', 0) == 0)
            head += line + "\n";
        else
            kept.push_back(line);
    }
    const std::string dump = StoreDump(m_strProgramFolder + L"Data/KVZDATA.KVZ", home);
    std::vector<std::string> found;
    std::istringstream lines(dump);
    for (std::string line; std::getline(lines, line);)
        found.push_back(line);
    const std::string diff = LineDiff(kept, found, std::count(head.begin(), head.end(), '\n') + 1);
    if (!diff.empty()) {
        const std::string written = TABULON_BINARY_DIR "/firstrunstore.txt";
        std::ofstream(written) << head << dump;
        ADD_FAILURE() << "The first start's store differs from " << TABULON_FIRST_RUN_STORE
                      << " (- its lines, + the lines of this run's dump):\n"
                      << diff << "This run's dump is in " << written << "; when the change is meant, it replaces the kept one.";
    }
}

TEST_F(Workbench, ADatabaseOnTheCommandLineIsOpenWithItsTree)
{
    InstallDataFile();
    const std::wstring path = MakeSample();
    ASSERT_TRUE(Start({QStringLiteral("tabulon"), platform::ToQString(path)}));
    EXPECT_EQ(g_strOpenDbPath, path);
    EXPECT_TRUE(m_app->m_bDatabaseOpen);
    EXPECT_TRUE(TreeHas(L"t"));
    EXPECT_TRUE(TreeHas(L"t_name"));
    EXPECT_TRUE(TreeHas(L"v"));
    EXPECT_EQ(Frame().m_wndWorkspace->m_wndTabs.currentIndex(), CWorkspaceBar::TAB_TREE);
    // No request was written: Ctrl+N leaves no window.
    m_app->OnFileNew();
    EXPECT_TRUE(DataWindowTemplate().GetDocuments().empty());
    // A request is taken by its own File New; Ctrl+N never replays it, and the
    // diagram's window is activated rather than made twice.
    m_app->OnRelationships();
    ASSERT_EQ(DataWindowTemplate().GetDocuments().size(), 1u);
    m_app->OnFileNew();
    m_app->OnRelationships();
    EXPECT_EQ(DataWindowTemplate().GetDocuments().size(), 1u);
    // Relationships that only activated the diagram leaves nothing for Ctrl+N.
    m_app->OnFileNew();
    EXPECT_EQ(DataWindowTemplate().GetDocuments().size(), 1u);
    m_app->OnDatabaseConfiguration();
    m_app->OnDatabaseConfiguration();
    EXPECT_EQ(DataWindowTemplate().GetDocuments().size(), 3u);
}

// A name with no file behind it becomes a new database only when the user says so; a
// refusal makes no file, opens nothing and leaves the recent-file list alone.
TEST_F(Workbench, AMistypedNameOnTheCommandLineIsCreatedOnlyAfterTheUserAgreed)
{
    InstallDataFile();
    const std::wstring missing = m_folder.Path(L"shopp.db");
    const QString question = QStringLiteral("The file <%1> does not exist.\nDo you want to create it?");
    m_boxes.QueueAnswer(platform::IDNO);
    ASSERT_TRUE(Start({QStringLiteral("tabulon"), platform::ToQString(missing)}));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, platform::FromQString(question.arg(platform::ToQString(missing))));
    EXPECT_EQ(m_boxes.Last().style, platform::MB_YESNO | platform::MB_ICONQUESTION | platform::MB_DEFBUTTON2);
    EXPECT_FALSE(QFileInfo::exists(platform::ToQString(missing)));
    EXPECT_TRUE(g_strOpenDbPath.empty());
    EXPECT_FALSE(m_app->m_bDatabaseOpen);
    EXPECT_TRUE(platform::RecentFiles().Entries().empty());

    m_app.reset();
    m_boxes.Clear();
    m_boxes.QueueAnswer(platform::IDYES);
    ASSERT_TRUE(Start({QStringLiteral("tabulon"), platform::ToQString(missing)}));
    EXPECT_EQ(m_boxes.Count(), 1u);
    EXPECT_TRUE(QFileInfo::exists(platform::ToQString(missing)));
    EXPECT_EQ(g_strOpenDbPath, missing);
    EXPECT_EQ(platform::RecentFiles().Entries(), std::vector<std::wstring>{missing});
}

TEST_F(Workbench, CommandsFollowTheDatabaseTheLoadAndThePreview)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    frame.UpdateCommandUI();
    // Nothing open yet: only the commands that need no database.
    EXPECT_TRUE(frame.m_actOpen->isEnabled());
    EXPECT_TRUE(frame.m_actNewDatabase->isEnabled());
    EXPECT_TRUE(frame.m_actImportExport->isEnabled());
    EXPECT_TRUE(frame.m_actSettings->isEnabled());
    for (QAction* action : {frame.m_actSaveAs, frame.m_actConsole, frame.m_actBackup, frame.m_actVacuum,
                            frame.m_actRelationships, frame.m_actDatabaseConfiguration, frame.m_actPrintReport})
        EXPECT_FALSE(action->isEnabled()) << action->toolTip().toStdString();

    ASSERT_TRUE(Open(MakeSample()));
    for (QAction* action : {frame.m_actSaveAs, frame.m_actConsole, frame.m_actBackup, frame.m_actVacuum,
                            frame.m_actRelationships, frame.m_actDatabaseConfiguration})
        EXPECT_TRUE(action->isEnabled()) << action->toolTip().toStdString();
    EXPECT_FALSE(frame.m_actPrintReport->isEnabled()); // no datasheet is active

    ASSERT_NE(OpenTable(L"t"), nullptr);
    frame.UpdateCommandUI();
    EXPECT_TRUE(frame.m_actPrintReport->isEnabled());
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("t - Tabulon"));

    frame.m_bDatasheetLoading = true;
    frame.UpdateCommandUI();
    EXPECT_FALSE(frame.m_actOpen->isEnabled());
    EXPECT_FALSE(frame.m_actNewDatabase->isEnabled());
    frame.m_bDatasheetLoading = false;

    // While a report is previewed nothing may close its document or the database, and
    // the window refuses to close.
    CChildView report;
    report.m_bPrinting = true;
    frame.m_pReportView = &report;
    frame.UpdateCommandUI();
    for (QAction* action : {frame.m_actOpen, frame.m_actNewDatabase, frame.m_actSaveAs, frame.m_actImportExport,
                            frame.m_wndWorkspace->m_pActReload})
        EXPECT_FALSE(action->isEnabled()) << action->toolTip().toStdString();
    m_boxes.Clear();
    EXPECT_FALSE(frame.close());
    EXPECT_TRUE(frame.isVisible());
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, STR_CLOSE_PRINT_PREVIEW_FIRST);
    EXPECT_EQ(m_boxes.Last().caption, L"Invalid Operation");
    EXPECT_EQ(DataWindowTemplate().GetDocuments().size(), 1u);

    report.m_bPrinting = false;
    EXPECT_TRUE(frame.close());
    EXPECT_TRUE(DataWindowTemplate().GetDocuments().empty());
    frame.m_pReportView = nullptr;
}

TEST_F(Workbench, TreeSelectionSetsThePaneFlagsByNodeKind)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    struct Case {
        int kind;
        int add, del, schema, data;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0}, {1, 1, 0, 0, 0}, {2, 0, 1, 1, 1}, {3, 1, 0, 0, 0}, {4, 0, 1, 1, 0},  {5, 1, 0, 0, 0},
        {6, 0, 1, 1, 0}, {7, 1, 0, 0, 0}, {8, 0, 1, 1, 1}, {9, 1, 0, 0, 0}, {10, 0, 0, 0, 0}, {11, 0, 0, 0, 0},
        {-1, 0, 0, 0, 0},
    };
    const CWorkspaceBar& pane = *Frame().m_wndWorkspace;
    for (const Case& c : cases) {
        const std::wstring text = L"item";
        platform::SendMessage(&Frame(), UM_TREE_SELECTION, static_cast<WPARAM>(c.kind), reinterpret_cast<LPARAM>(&text));
        EXPECT_EQ(pane.m_bCanAdd != 0, c.add != 0) << "kind " << c.kind;
        EXPECT_EQ(pane.m_bCanDelete != 0, c.del != 0) << "kind " << c.kind;
        EXPECT_EQ(pane.m_bCanViewSchema != 0, c.schema != 0) << "kind " << c.kind;
        EXPECT_EQ(pane.m_bCanViewData != 0, c.data != 0) << "kind " << c.kind;
    }
}

// The pane's buttons follow the tree's current item however it became current: the
// keyboard moves it, and after Reload no item is current and no button is on.
TEST_F(Workbench, ThePaneButtonsFollowTheCurrentItemAfterKeysAndReload)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Open(MakeSample()));
    CWorkspaceBar& pane = *Frame().m_wndWorkspace;
    CDbTreeCtrl& tree = pane.m_wndTree;
    QTreeWidget* view = tree.GetTreeView();
    QTreeWidgetItem* tables = tree.FindItemByKind(view->topLevelItem(0), NodeKind::TablesFolder);
    tables->setExpanded(true);
    view->setCurrentItem(tables);
    EXPECT_TRUE(pane.m_pActAdd->isEnabled());
    EXPECT_FALSE(pane.m_pActDelete->isEnabled());
    QTest::keyClick(view, Qt::Key_Down);
    ASSERT_EQ(CDbTreeCtrl::KindOf(tree.SelectedItem()), static_cast<int>(NodeKind::Table));
    EXPECT_FALSE(pane.m_pActAdd->isEnabled());
    EXPECT_TRUE(pane.m_pActDelete->isEnabled());
    EXPECT_TRUE(pane.m_pActViewData->isEnabled());

    pane.OnReload();
    EXPECT_EQ(tree.SelectedItem(), nullptr);
    for (QAction* action : {pane.m_pActAdd, pane.m_pActDelete, pane.m_pActViewSchema, pane.m_pActViewData})
        EXPECT_FALSE(action->isEnabled()) << action->toolTip().toStdString();
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A data window that Enter in the tree opens or brings forward takes the keyboard: its
// grid has the focus, so the arrows and typed keys reach the rows at once. That holds for
// a new window, for an open one behind another, and for the window already in front.
TEST_F(Workbench, ADataWindowOpenedFromTheTreeTakesTheKeyboard)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Open(MakeSample()));
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    QTreeWidget* view = Tree().GetTreeView();
    Tree().FindItemByKind(view->topLevelItem(0), NodeKind::TablesFolder)->setExpanded(true);
    const struct {
        const char* table;
        const char* step;
        int cursorRow; // after Down
    } steps[] = {
        {"t", "a new window", 0},
        {"other", "a second new window", 0}, // only the new-row line
        {"other", "the window in front", 0},
        {"t", "the window behind", 1},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        const QString table = QString::fromLatin1(step.table);
        view->setFocus();
        SelectTreeItem(NodeKind::Table, table);
        ASSERT_EQ(view->currentItem()->text(0), table);
        QTest::keyClick(view, Qt::Key_Return);
        CTabulonView* dataView = FindDataView(m_app->FindDataDocument(OpenTableData, table.toStdWString()));
        ASSERT_NE(dataView, nullptr);
        EXPECT_EQ(Frame().m_pMdiArea->activeSubWindow(), dataView->GetParentFrame());
        CListCtrlCombo* grid = dataView->m_wndGrid.GetGrid();
        EXPECT_TRUE(QTest::qWaitFor([grid] { return QApplication::focusWidget() == grid; }))
            << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "none");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        EXPECT_EQ(grid->GetCursorRow(), step.cursorRow);
    }
}

TEST_F(Workbench, NewDatabaseWithADatasheetOpenClosesItBeforeTheConnectionGoes)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    // Enough rows that the loader is still at work when the command comes.
    const std::wstring big = m_folder.MakeDatabase(
        L"big.db", "CREATE TABLE t(id INTEGER PRIMARY KEY, v TEXT);"
                   "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200000)"
                   " INSERT INTO t SELECT i, 'row ' || i FROM n;");
    ASSERT_TRUE(Open(big));
    ASSERT_NE(OpenTable(L"t"), nullptr);
    Frame().m_bDatasheetLoading = false; // the command is offered once the first page is in

    const std::wstring created = m_folder.Path(L"created.db");
    platform::SetDialogHandler([&](QDialog& dialog) {
        auto* options = dynamic_cast<CCreateNewDbDlg*>(&dialog);
        if (!options)
            return static_cast<int>(QDialog::Rejected);
        options->m_edNewPath->setText(platform::ToQString(created));
        options->m_btnCreate->click();
        return dialog.result();
    });
    Frame().OnNewDatabase();
    EXPECT_TRUE(DataWindowTemplate().GetDocuments().empty());
    EXPECT_EQ(g_strOpenDbPath, created);
    EXPECT_FALSE(Frame().m_bCreatingDatabase);
    EXPECT_TRUE(QFileInfo::exists(platform::ToQString(created)));
    EXPECT_FALSE(TreeHas(L"t"));
}

// Save As of a WAL database that another program holds open: the program's closing
// cannot checkpoint the log then, and the copy still holds every committed row, the
// other program's and the program's own. The copy never replaces an existing file.
TEST_F(Workbench, SaveAsOfAWalDatabaseCopiesEveryRowAndNeverOverAnyFile)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    const std::wstring source = m_folder.MakeDatabase(L"wal.db", "PRAGMA journal_mode=WAL; CREATE TABLE t(x);");
    ASSERT_TRUE(Open(source));
    auto other = std::make_unique<testing_support::OtherConnection>(source);
    ASSERT_EQ(other->Exec("PRAGMA wal_autocheckpoint=0; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                          "FROM n WHERE i < 50) INSERT INTO t SELECT randomblob(1000) FROM n;"),
              SQLITE_OK);
    // Rows written through the program's connection stay in the write-ahead log too
    // (fewer pages than an automatic checkpoint waits for).
    for (int i = 0; i < 50; ++i)
        g_pCurrentDb->ExecuteCmd(L"INSERT INTO t VALUES (randomblob(1000))");
    ASSERT_TRUE(QFileInfo(platform::ToQString(source + L"-wal")).size() > 0);

    const std::wstring copy = m_folder.Path(L"copy.db");
    platform::SetFileHandler([&](const platform::FileRequest& request) {
        EXPECT_TRUE(request.save);
        return copy;
    });
    m_app->OnSaveAs();
    EXPECT_EQ(g_strOpenDbPath, copy);
    EXPECT_EQ(QueryRaw(copy, "SELECT count(*) FROM t"), "100");
    EXPECT_EQ(QueryRaw(copy, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(m_boxes.Count(), 0u);
    other.reset();

    // A copy that cannot be made says so, with the reason, and leaves the original open.
    const std::wstring target = m_folder.Path(L"missing-folder/copy.db");
    m_boxes.Clear();
    platform::SetFileHandler([&](const platform::FileRequest&) { return target; });
    m_app->OnSaveAs();
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, L"Could not copy the database file to <" + target + L">:\nNo such file or directory");
    EXPECT_EQ(m_boxes.Last().caption, L"Error");
    EXPECT_EQ(g_strOpenDbPath, copy);
    EXPECT_TRUE(TreeHas(L"t"));
    EXPECT_EQ(QueryRaw(copy, "SELECT count(*) FROM t"), "100");
    m_boxes.Clear();

    // The open file was deleted meanwhile: the copy fails, and the reopening says the
    // file is gone instead of making an empty database in its place.
    ASSERT_TRUE(QFile::remove(platform::ToQString(copy)));
    const std::wstring nowhere = m_folder.Path(L"missing-folder/copy.db");
    platform::SetFileHandler([&](const platform::FileRequest&) { return nowhere; });
    m_app->OnSaveAs();
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(m_boxes.Last().text, L"The file <" + copy + L"> does not exist any more.");
    EXPECT_FALSE(QFileInfo::exists(platform::ToQString(copy)));
    EXPECT_FALSE(QFileInfo::exists(platform::ToQString(nowhere)));
}

// Fault: the file dialog asked whether to replace an existing file, and then the copy,
// which never writes over a file, failed with no reason. The dialog asks nothing; a name
// that exists (another program's file, or the open file itself) gets a box saying Save As
// makes new files only, and the dialog comes again until a new name or Cancel. Every file
// that existed keeps its bytes; the open file and its window stay until a copy is made.
TEST_F(Workbench, SaveAsOntoAnExistingNameSaysSoAndAsksAgain)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    const std::wstring source = MakeSample();
    const std::wstring taken = m_folder.Path(L"taken.db");
    {
        QFile file(platform::ToQString(taken));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("someone else's file");
    }
    const std::wstring fresh = m_folder.Path(L"fresh.db");
    const auto bytes = [](const std::wstring& path) {
        QFile file(platform::ToQString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    };
    struct Case {
        std::vector<std::wstring> answers; // the file dialog's answers in turn; "" cancels
        std::wstring opened;               // the file open afterwards
    };
    const Case cases[] = {
        {{taken, L""}, source},
        {{source, taken, fresh}, fresh},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.answers.back()));
        ASSERT_TRUE(Open(source));
        ASSERT_NE(OpenTable(L"t"), nullptr);
        const QByteArray sourceBytes = bytes(source);
        std::vector<platform::FileRequest> asked;
        platform::SetFileHandler([&](const platform::FileRequest& request) {
            asked.push_back(request);
            return asked.size() <= c.answers.size() ? c.answers[asked.size() - 1] : std::wstring();
        });
        ShownBoxes boxes;
        m_app->OnSaveAs();

        ASSERT_EQ(asked.size(), c.answers.size());
        for (size_t i = 0; i < asked.size(); ++i) {
            EXPECT_FALSE(asked[i].confirmOverwrite);
            EXPECT_EQ(asked[i].initialPath, i == 0 ? source : c.answers[i - 1]);
        }
        ASSERT_EQ(boxes.Boxes().size(), c.answers.size() - 1);
        for (size_t i = 0; i < boxes.Boxes().size(); ++i) {
            const ShownBoxes::Box& box = boxes.Boxes()[i];
            EXPECT_EQ(box.shown.toStdWString(), L"A file named <" + c.answers[i] +
                                                    L"> exists already.\nSave As makes a new file only: please "
                                                    L"choose another name.");
            EXPECT_EQ(box.format, Qt::PlainText);
            EXPECT_EQ(box.caption, QStringLiteral("Save As"));
        }
        EXPECT_EQ(g_strOpenDbPath, c.opened);
        EXPECT_EQ(bytes(taken), QByteArray("someone else's file"));
        EXPECT_EQ(bytes(source), sourceBytes);
        EXPECT_EQ(DataWindowTemplate().GetDocuments().size(), c.opened == source ? 1u : 0u);
        EXPECT_EQ(QueryRaw(c.opened, "SELECT group_concat(name) FROM t"), "one,two");
    }
    EXPECT_EQ(QueryRaw(fresh, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(m_boxes.Count(), 0u) << Utf8(m_boxes.Last().text);
}

TEST_F(Workbench, ImportExportWithoutTheCompanionClosesTheWindowsAndSaysSo)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Open(MakeSample()));
    ASSERT_NE(OpenTable(L"t"), nullptr);

    m_boxes.QueueAnswer(platform::IDNO);
    m_app->OnImportExport();
    EXPECT_EQ(DataWindowTemplate().GetDocuments().size(), 1u);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, STR_CLOSE_FOR_IMPORT_EXPORT);
    EXPECT_EQ(m_boxes.Last().caption, STR_CLOSE_FOR_IMPORT_EXPORT_CAPTION);

    m_boxes.Clear();
    m_boxes.QueueAnswer(platform::IDYES);
    m_app->OnImportExport();
    EXPECT_TRUE(DataWindowTemplate().GetDocuments().empty());
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(m_boxes.Last().text, L"Could not execute Ostrivex.exe\n Location <00041>");
    EXPECT_EQ(m_boxes.Last().caption, L"Error");
    // The connection reopens its file with the next statement.
    EXPECT_TRUE(m_app->m_bDatabaseOpen);
    EXPECT_TRUE(TreeHas(L"t"));
}

TEST_F(Workbench, DroppingATableClosesItsWindowAndTakesItsIndexesAndTriggers)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    const std::wstring path = MakeSample();
    ExecRaw(path, "CREATE TABLE \"a]b\"(x); CREATE INDEX odd_x ON \"a]b\"(x); CREATE VIEW w AS SELECT x FROM other;");
    ASSERT_TRUE(Open(path));
    ASSERT_NE(OpenTable(L"t"), nullptr);

    const std::wstring table = L"t";
    platform::SendMessage(&Frame(), UM_DROP_TABLE, 0, reinterpret_cast<LPARAM>(&table));
    EXPECT_EQ(m_app->FindDataDocument(OpenTableData, L"t"), nullptr);
    EXPECT_EQ(QueryRaw(path, "SELECT count(*) FROM sqlite_master WHERE tbl_name = 't'"), "0");
    EXPECT_FALSE(TreeHas(L"t"));
    EXPECT_FALSE(TreeHas(L"t_name"));
    EXPECT_FALSE(TreeHas(L"t_keep"));
    EXPECT_TRUE(TreeHas(L"other"));
    EXPECT_EQ(std::count(g_arrTableNames.begin(), g_arrTableNames.end(), L"t"), 0);
    EXPECT_EQ(std::count(g_arrIndexNames.begin(), g_arrIndexNames.end(), L"t_name"), 0);
    EXPECT_EQ(std::count(g_arrTriggerNames.begin(), g_arrTriggerNames.end(), L"t_keep"), 0);
    EXPECT_EQ(m_boxes.Count(), 0u);

    // A name holding "]" is quoted whole.
    const std::wstring odd = L"a]b";
    platform::SendMessage(&Frame(), UM_DROP_TABLE, 0, reinterpret_cast<LPARAM>(&odd));
    EXPECT_EQ(QueryRaw(path, "SELECT count(*) FROM sqlite_master WHERE tbl_name = 'a]b'"), "0");
    EXPECT_FALSE(TreeHas(L"a]b"));
    EXPECT_FALSE(TreeHas(L"odd_x"));
    EXPECT_EQ(m_boxes.Count(), 0u);

    // A view's window stays open when the view goes.
    const std::wstring view = L"w";
    platform::SendMessage(&Frame(), UM_OPEN_VIEW_DATA, 0, reinterpret_cast<LPARAM>(&view));
    ASSERT_EQ(DataWindowTemplate().GetDocuments().size(), 1u);
    platform::SendMessage(&Frame(), UM_DROP_VIEW, 0, reinterpret_cast<LPARAM>(&view));
    EXPECT_EQ(QueryRaw(path, "SELECT count(*) FROM sqlite_master WHERE name = 'w'"), "0");
    EXPECT_FALSE(TreeHas(L"w"));
    EXPECT_EQ(DataWindowTemplate().GetDocuments().size(), 1u);
    EXPECT_EQ(m_boxes.Count(), 0u);

    // The engine refuses: its box, and the tree as it was.
    const std::vector<std::wstring> before = TreeTexts();
    const std::wstring master = L"sqlite_master";
    platform::SendMessage(&Frame(), UM_DROP_TABLE, 0, reinterpret_cast<LPARAM>(&master));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"Location <00008>"), std::wstring::npos);
    EXPECT_EQ(TreeTexts(), before);
}

TEST_F(Workbench, RenameOntoAnExistingNameIsRefusedWithTheEnginesText)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    const std::wstring path = MakeSample();
    ASSERT_TRUE(Open(path));

    std::vector<std::wstring> names{L"t", L"other"};
    EXPECT_EQ(platform::SendMessage(&Frame(), UM_RENAME_TABLE, 0, reinterpret_cast<LPARAM>(&names)), 0);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"other"), std::wstring::npos);
    EXPECT_EQ(m_boxes.Last().caption, STR_PRODUCT_NAME);
    EXPECT_EQ(QueryRaw(path, "SELECT count(*) FROM sqlite_master WHERE name = 't'"), "1");

    names = {L"t", L"  "};
    EXPECT_EQ(platform::SendMessage(&Frame(), UM_RENAME_TABLE, 0, reinterpret_cast<LPARAM>(&names)), 0);
    EXPECT_EQ(m_boxes.Count(), 1u);

    names = {L"t", L"renamed"};
    EXPECT_EQ(platform::SendMessage(&Frame(), UM_RENAME_TABLE, 0, reinterpret_cast<LPARAM>(&names)), 1);
    EXPECT_EQ(QueryRaw(path, "SELECT count(*) FROM sqlite_master WHERE name = 'renamed'"), "1");
    EXPECT_EQ(std::count(g_arrTableNames.begin(), g_arrTableNames.end(), L"renamed"), 1);
    EXPECT_EQ(std::count(g_arrTableNames.begin(), g_arrTableNames.end(), L"t"), 0);
}

// The renamed table's open window follows it: the new title, the new name's rows,
// its place among the tabs; a refused rename brings it back on the old name.
TEST_F(Workbench, RenamingATableTakesItsOpenWindowAlong)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    const std::wstring path = MakeSample();
    ASSERT_TRUE(Open(path));
    ASSERT_NE(OpenTable(L"other"), nullptr);
    ASSERT_NE(OpenTable(L"t"), nullptr);
    const std::wstring view = L"v";
    platform::SendMessage(&Frame(), UM_OPEN_VIEW_DATA, 0, reinterpret_cast<LPARAM>(&view));
    ASSERT_EQ(DataWindowTemplate().GetDocuments().size(), 3u);

    std::vector<std::wstring> names{L"t", L"renamed"};
    EXPECT_EQ(platform::SendMessage(&Frame(), UM_RENAME_TABLE, 0, reinterpret_cast<LPARAM>(&names)), 1);
    EXPECT_EQ(m_app->FindDataDocument(OpenTableData, L"t"), nullptr);
    CTabulonDoc* renamed = m_app->FindDataDocument(OpenTableData, L"renamed");
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(renamed->GetTitle(), L"renamed");
    EXPECT_EQ(DataWindowTemplate().GetDocuments().size(), 3u);
    CTabulonView* dataView = FindDataView(renamed);
    ASSERT_NE(dataView, nullptr);
    QMdiArea* area = Frame().m_pMdiArea;
    EXPECT_EQ(area->subWindowList().indexOf(dataView->GetParentFrame()), 1);
    EXPECT_EQ(area->activeSubWindow()->windowTitle(), "v");
    // Its edits reach the table under the new name.
    CListCtrlCombo* grid = dataView->m_wndGrid.GetGrid();
    ASSERT_EQ(grid->GetRecordCount(), 2);
    grid->SetCell(0, 1, L"uno", true);
    EXPECT_EQ(QueryRaw(path, "SELECT name FROM renamed WHERE id = 1"), "uno");
    EXPECT_EQ(m_boxes.Count(), 0u);

    names = {L"renamed", L"other"};
    EXPECT_EQ(platform::SendMessage(&Frame(), UM_RENAME_TABLE, 0, reinterpret_cast<LPARAM>(&names)), 0);
    EXPECT_EQ(m_boxes.Count(), 1u);
    ASSERT_NE(m_app->FindDataDocument(OpenTableData, L"renamed"), nullptr);
    EXPECT_EQ(DataWindowTemplate().GetDocuments().size(), 3u);
}

// The search box starts empty for every database opened: a text searched for in the
// previous file means nothing in the next.
TEST_F(Workbench, TheSearchBoxIsEmptiedForANewDatabase)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Open(MakeSample()));
    auto* search = qobject_cast<QLineEdit*>(Frame().m_wndCaptionBar.GetCaptionDlg()->GetControl(CCaptionDlg::SearchText));
    ASSERT_NE(search, nullptr);
    search->setText(QStringLiteral("one"));
    ASSERT_TRUE(Open(MakeSample(L"second.db")));
    EXPECT_TRUE(search->text().isEmpty());
}

// A table named like the diagram's title is dropped with its own window only.
TEST_F(Workbench, DroppingATableNamedLikeTheDiagramLeavesTheDiagramOpen)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    const std::wstring path = MakeSample();
    ExecRaw(path, "CREATE TABLE \"<Table Relation>\"(x);");
    ASSERT_TRUE(Open(path));
    m_app->OnRelationships();
    ASSERT_NE(m_app->FindDataDocument(OpenRelationships, L""), nullptr);
    ASSERT_NE(OpenTable(STR_TABLE_RELATION_TITLE), nullptr);
    ASSERT_EQ(DataWindowTemplate().GetDocuments().size(), 2u);

    const std::wstring table = STR_TABLE_RELATION_TITLE;
    platform::SendMessage(&Frame(), UM_DROP_TABLE, 0, reinterpret_cast<LPARAM>(&table));
    EXPECT_EQ(QueryRaw(path, "SELECT count(*) FROM sqlite_master WHERE name = '<Table Relation>'"), "0");
    EXPECT_EQ(m_app->FindDataDocument(OpenTableData, table), nullptr);
    EXPECT_NE(m_app->FindDataDocument(OpenRelationships, L""), nullptr);
    EXPECT_EQ(DataWindowTemplate().GetDocuments().size(), 1u);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// Add on the Tables folder opens the table designer; its Save creates the table, which
// the tree then shows with its fields and the cached names list. Cancel changes nothing.
TEST_F(Workbench, ANewTableAndANewColumnJoinTheTreeOnOkOnly)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    const std::wstring path = MakeSample();
    ASSERT_TRUE(Open(path));
    const std::vector<std::wstring> before = TreeTexts();
    const std::wstring table = L"t";
    DialogScript script;
    platform::SendMessage(&Frame(), UM_NEW_TABLE, 0, 0);
    platform::SendMessage(&Frame(), UM_NEW_COLUMN, 0, reinterpret_cast<LPARAM>(&table));
    EXPECT_EQ(script.Shown(), (std::vector<std::string>{"CTableSchemaDlg", "CAddNewColumnDlg"}));
    EXPECT_EQ(TreeTexts(), before);

    script.On("CTableSchemaDlg", [](QDialog& shown) {
        auto& design = static_cast<CTableSchemaDlg&>(shown);
        design.m_editTableName->setText(QStringLiteral("fresh"));
        design.OnAddField();
        design.m_wndList.GetGrid()->SetItemText(0, 0, L"k");
        QTest::mouseClick(design.m_btnSave, Qt::LeftButton);
    });
    platform::SendMessage(&Frame(), UM_NEW_TABLE, 0, 0);
    EXPECT_EQ(QueryRaw(path, "SELECT count(*) FROM sqlite_master WHERE name = 'fresh'"), "1");
    EXPECT_TRUE(TreeHas(L"fresh"));
    EXPECT_TRUE(TreeHas(L"k"));
    EXPECT_TRUE(TreeHas(L"Table(3)"));
    EXPECT_EQ(std::count(g_arrTableNames.begin(), g_arrTableNames.end(), L"fresh"), 1);

    script.On("CAddNewColumnDlg", [](QDialog& shown) {
        auto& column = static_cast<CAddNewColumnDlg&>(shown);
        column.m_editName->setText(QStringLiteral("extra"));
        QTest::mouseClick(column.m_btnOk, Qt::LeftButton);
    });
    platform::SendMessage(&Frame(), UM_NEW_COLUMN, 0, reinterpret_cast<LPARAM>(&table));
    EXPECT_EQ(QueryRaw(path, "SELECT count(*) FROM pragma_table_info('t') WHERE name = 'extra'"), "1");
    EXPECT_TRUE(TreeHas(L"extra"));
    EXPECT_TRUE(TreeHas(L"Field(3)"));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// The foreign-key map that the relationship diagram and the related-records dialog read
// follows the schema: a table created with a key, a column added with REFERENCES and a
// dropped table show in it at once, not only once the database is opened again.
TEST_F(Workbench, TheForeignKeyMapFollowsNewTablesNewColumnsAndDrops)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    const std::wstring path = MakeSample();
    ExecRaw(path, "CREATE TABLE kid(tid REFERENCES t(id));");
    ASSERT_TRUE(Open(path));
    BuildForeignKeyMap();
    ForeignKeyMap& map = *g_pForeignKeyMap;
    const auto parentOf = [&](const wchar_t* table) -> std::wstring {
        const int e = map.FindTable(table);
        return e < 0 ? L"(none)" : map.m_arrEntries[static_cast<size_t>(e)].m_strParentTable;
    };
    const auto childrenOf = [&](const wchar_t* table) {
        std::vector<std::wstring> names;
        const int e = map.FindTable(table);
        if (e >= 0)
            for (const int child : map.m_arrEntries[static_cast<size_t>(e)].m_arrChildren)
                names.push_back(map.m_arrEntries[static_cast<size_t>(child)].m_strTableName);
        return names;
    };
    ASSERT_EQ(parentOf(L"kid"), L"t");

    DialogScript script;
    script.On("CTableSchemaDlg", [](QDialog& shown) {
        auto& design = static_cast<CTableSchemaDlg&>(shown);
        design.m_editTableName->setText(QStringLiteral("fresh"));
        design.OnAddField();
        design.m_wndList.GetGrid()->SetItemText(0, 0, L"oid");
        design.m_constraint.m_foreignKey.m_strParentTable = L"other";
        design.m_constraint.m_foreignKey.m_arrChildKeys = {L"oid"};
        QTest::mouseClick(design.m_btnSave, Qt::LeftButton);
    });
    platform::SendMessage(&Frame(), UM_NEW_TABLE, 0, 0);
    ASSERT_EQ(QueryRaw(path, "SELECT count(*) FROM pragma_foreign_key_list('fresh') WHERE \"table\" = 'other'"), "1");
    EXPECT_EQ(parentOf(L"fresh"), L"other");
    EXPECT_EQ(childrenOf(L"other"), std::vector<std::wstring>{L"fresh"});
    EXPECT_EQ(std::count(g_arrTableNames.begin(), g_arrTableNames.end(), L"fresh"), 1);

    script.On("CAddNewColumnDlg", [](QDialog& shown) {
        auto& column = static_cast<CAddNewColumnDlg&>(shown);
        column.m_editName->setText(QStringLiteral("fid"));
        column.m_column.m_bHasConstraint = 1;
        column.m_column.m_strParentTable = L"fresh";
        QTest::mouseClick(column.m_btnOk, Qt::LeftButton);
    });
    const std::wstring table = L"other";
    platform::SendMessage(&Frame(), UM_NEW_COLUMN, 0, reinterpret_cast<LPARAM>(&table));
    ASSERT_EQ(QueryRaw(path, "SELECT count(*) FROM pragma_foreign_key_list('other') WHERE \"table\" = 'fresh'"), "1");
    EXPECT_EQ(parentOf(L"other"), L"fresh");
    EXPECT_EQ(childrenOf(L"fresh"), std::vector<std::wstring>{L"other"});

    const std::wstring kid = L"kid";
    platform::SendMessage(&Frame(), UM_DROP_TABLE, 0, reinterpret_cast<LPARAM>(&kid));
    EXPECT_EQ(parentOf(L"kid"), L"(none)");
    EXPECT_EQ(childrenOf(L"t"), std::vector<std::wstring>{});
    EXPECT_EQ(std::count(g_arrTableNames.begin(), g_arrTableNames.end(), L"kid"), 0);
    EXPECT_EQ(m_boxes.Count(), 0u) << Utf8(m_boxes.Last().text);
}

// The tree's Add and View Schema and a double-click on a trigger open the designers and
// the statement viewers; a designer's OK adds its object to the tree, its Cancel nothing.
TEST_F(Workbench, TheTreeOpensEveryDesignerAndViewerAndGainsWhatTheyCreate)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    const std::wstring path = MakeSample();
    ASSERT_TRUE(Open(path));
    CDbTreeCtrl& tree = Frame().m_wndWorkspace->m_wndTree;
    const auto select = [&](const QString& text) {
        for (QTreeWidgetItemIterator it(tree.GetTreeView()); *it; ++it)
            if ((*it)->text(0) == text || (*it)->text(0).startsWith(text + QLatin1Char('('))) {
                tree.GetTreeView()->setCurrentItem(*it);
                return;
            }
        ADD_FAILURE() << "no item " << text.toStdString();
    };
    const auto press = [](QDialog& dialog, const QString& text) {
        QTest::mouseClick(ButtonWithText(dialog, text), Qt::LeftButton);
    };
    DialogScript script;
    std::vector<QString> shown; // title and statement of each viewer
    for (const char* viewer : {"CTableScriptDlg", "CViewIndexDlg", "CViewTriggerDlg", "CViewDlg", "CTriggerDlg"})
        script.On(viewer, [&](QDialog& dialog) {
            shown.push_back(dialog.windowTitle() + QStringLiteral(": ") + dialog.findChild<QPlainTextEdit*>()->toPlainText());
            dialog.reject();
        });
    script.On("CSelectField", [&](QDialog& dialog) {
        dialog.findChild<QTreeWidget*>()->topLevelItem(1)->setCheckState(0, Qt::Checked);
        press(dialog, QStringLiteral("Ok"));
    });
    script.On("CNewIndexDlg", [&](QDialog& dialog) {
        auto& designer = static_cast<CNewIndexDlg&>(dialog);
        designer.m_editName->setText(QStringLiteral("t_name2"));
        designer.m_comboTable->setEditText(QStringLiteral("t"));
        press(dialog, QStringLiteral("On Field(s)..."));
        press(dialog, QStringLiteral("Save"));
    });
    script.On("CNewTriggerDlg", [&](QDialog& dialog) {
        auto& designer = static_cast<CNewTriggerDlg&>(dialog);
        designer.m_editName->setText(QStringLiteral("t_added"));
        designer.m_comboTime->setCurrentIndex(designer.m_comboTime->findText(QStringLiteral("AFTER")));
        designer.m_comboEvent->setCurrentIndex(designer.m_comboEvent->findText(QStringLiteral("INSERT")));
        designer.m_comboTable->setCurrentIndex(designer.m_comboTable->findText(QStringLiteral("t")));
        designer.m_editBody->setPlainText(QStringLiteral("BEGIN SELECT 2; END"));
        press(dialog, QStringLiteral("Save"));
    });
    script.On("CNewViewDlg", [&](QDialog& dialog) {
        auto& designer = static_cast<CNewViewDlg&>(dialog);
        designer.m_editName->setText(QStringLiteral("v2"));
        designer.m_editSelect->setPlainText(QStringLiteral("SELECT id FROM t"));
        press(dialog, QStringLiteral("OK"));
    });

    select(QStringLiteral("Index"));
    tree.DoAdd();
    select(QStringLiteral("Trigger"));
    tree.DoAdd();
    select(QStringLiteral("View"));
    tree.DoAdd();
    EXPECT_EQ(m_boxes.Count(), 0u) << Utf8(m_boxes.Last().text);
    EXPECT_TRUE(TreeHas(L"t_name2"));
    EXPECT_TRUE(TreeHas(L"t_added"));
    EXPECT_TRUE(TreeHas(L"v2"));
    EXPECT_TRUE(TreeHas(L"View(2)"));
    EXPECT_EQ(QueryRaw(path, "SELECT group_concat(name) FROM pragma_index_info('t_name2')"), "name");
    EXPECT_EQ(QueryRaw(path, "SELECT count(*) FROM v2"), "2");

    // A designer cancelled leaves the tree as it was.
    script.On("CNewViewDlg", [](QDialog& dialog) { dialog.reject(); });
    const std::vector<std::wstring> before = TreeTexts();
    select(QStringLiteral("View"));
    tree.DoAdd();
    EXPECT_EQ(TreeTexts(), before);

    for (const char* item : {"t", "t_name", "t_keep", "v"}) {
        select(QString::fromUtf8(item));
        tree.DoView();
    }
    select(QStringLiteral("t_keep"));
    tree.OnTreeDblClk();
    EXPECT_EQ(shown, (std::vector<QString>{
                         QStringLiteral("Table Schema: CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT)"),
                         QStringLiteral("Index Create Statement: CREATE INDEX t_name ON t(name)"),
                         QStringLiteral("Trigger Create Statement: CREATE TRIGGER t_keep AFTER DELETE ON t BEGIN SELECT 1; END"),
                         QStringLiteral("View Create Statement: CREATE VIEW v AS SELECT name FROM t"),
                         QStringLiteral("Create Trigger: CREATE TRIGGER t_keep AFTER DELETE ON t BEGIN SELECT 1; END"),
                     }));
    EXPECT_EQ(m_boxes.Count(), 0u) << Utf8(m_boxes.Last().text);
}

TEST_F(Workbench, TheConsoleOpensAQueryOrAPragmaWindowForTheStatement)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Open(MakeSample()));
    std::wstring statement;
    AnswerConsoles(statement);
    statement = L"SELECT name FROM t";
    Frame().OnConsole();
    statement = L"pragma\ttable_info(t)";
    Frame().OnConsole();
    const std::vector<CDocument*> windows = DataWindowTemplate().GetDocuments();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(static_cast<CTabulonDoc*>(windows[0])->m_nKind, OpenSqlQuery);
    EXPECT_EQ(static_cast<CTabulonDoc*>(windows[1])->m_nKind, OpenPragmaQuery);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// The rows of a statement as the program's connection gives them, every cell as text.
std::vector<std::vector<std::wstring>> EngineRows(const std::wstring& sql)
{
    std::vector<std::vector<std::wstring>> rows;
    const std::u16string sql16 = platform::ToUtf16(sql);
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare16_v2(g_pCurrentDb->m_pDb, sql16.c_str(), -1, &stmt, nullptr), SQLITE_OK);
    while (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
        std::vector<std::wstring>& row = rows.emplace_back();
        for (int column = 0; column < sqlite3_column_count(stmt); ++column) {
            const void* text = sqlite3_column_text16(stmt, column);
            row.push_back(text ? platform::FromUtf16(static_cast<const char16_t*>(text)) : L"");
        }
    }
    sqlite3_finalize(stmt);
    return rows;
}

// The console's texts as a user types them: each is checked in the file and in what the
// user is shown (windows with their columns and rows, the windows behind each box, the
// boxes, and the text the next console opens with).
TEST_F(Workbench, TheConsoleRunsEveryStatementOfItsTextInOrder)
{
    using namespace std::string_literals;
    InstallDataFile();
    ASSERT_TRUE(Start());
    // The rows of a window whose statement's rows depend on the engine (an EXPLAIN): as
    // many as the engine's own run of the statement gives, with the same texts.
    constexpr size_t kEngineRows = static_cast<size_t>(-1);
    const std::vector<std::wstring> explainColumns{L"addr", L"opcode", L"p1", L"p2", L"p3", L"p4", L"p5", L"comment"};
    const std::vector<std::wstring> planColumns{L"id", L"parent", L"notused", L"detail"};
    struct Window {
        int kind;
        size_t rows;
        std::vector<std::wstring> columns;
    };
    struct Case {
        const wchar_t* name;
        std::wstring text;
        const char* names; // group_concat(name) of t in id order afterwards
        std::vector<Window> windows;
        std::vector<std::wstring> boxParts; // one box holding every part; none when empty
        std::wstring kept;                  // what the next console opens with
    };
    const Case cases[] = {
        {L"one", L"UPDATE t SET name = 'a' WHERE id = 1", "a,two", {}, {STR_EXECUTED_STATEMENT}, L""},
        {L"two", L"UPDATE t SET name = 'a' WHERE id = 1;\nUPDATE t SET name = 'b' WHERE id = 2;", "a,b", {},
         {L"Successfully executed 2 statements"}, L""},
        {L"three with a query", L"UPDATE t SET name = 'a' WHERE id = 1; SELECT * FROM t; UPDATE t SET name = 'b' WHERE id = 2",
         "a,b", {{OpenSqlQuery, 2, {L"id", L"name"}}}, {L"Successfully executed 3 statements"}, L""},
        {L"second fails", L"UPDATE t SET name = 'a' WHERE id = 1; UPDATE missing SET x = 1; UPDATE t SET name = 'b' WHERE id = 2",
         "a,two", {},
         {L"Statement 2 of 3 failed: UPDATE missing SET x = 1;", L"The 1 statement(s) before it ran",
          L"no such table: missing", L"Location <00020>"},
         L"UPDATE missing SET x = 1; UPDATE t SET name = 'b' WHERE id = 2"},
        {L"first fails", L"INSERT INTO t VALUES (1, 'dup'); UPDATE t SET name = 'b' WHERE id = 2", "one,two", {},
         {L"Statement 1 of 2 failed: INSERT INTO t VALUES (1, 'dup');", L"No statement of the text ran.",
          L"UNIQUE constraint failed"},
         L"INSERT INTO t VALUES (1, 'dup'); UPDATE t SET name = 'b' WHERE id = 2"},
        {L"alone fails", L"  UPDATE t SET nosuch = 1", "one,two", {}, {L"no such column: nosuch"},
         L"UPDATE t SET nosuch = 1"},
        {L"with", L"WITH w AS (SELECT id FROM t) SELECT * FROM w", "one,two", {{OpenSqlQuery, 2, {L"id"}}}, {}, L""},
        {L"values", L"VALUES (1), (2), (3)", "one,two", {{OpenSqlQuery, 3, {L"column1"}}}, {}, L""},
        {L"leading comment", L"-- the names\nSELECT name FROM t", "one,two", {{OpenSqlQuery, 2, {L"name"}}}, {}, L""},
        {L"pragma and a line break", L"PRAGMA\ntable_info(t)", "one,two",
         {{OpenPragmaQuery, 2, {L"cid", L"name", L"type", L"notnull", L"dflt_value", L"pk"}}}, {}, L""},
        {L"select mentioning pragma", L"SELECT 'pragma' AS pragma FROM t", "one,two",
         {{OpenSqlQuery, 2, {L"pragma"}}}, {}, L""},
        {L"pragma assignment and a query", L"PRAGMA user_version = 7; SELECT name FROM t WHERE id = 1", "one,two",
         {{OpenSqlQuery, 1, {L"name"}}}, {L"Successfully executed 2 statements"}, L""},
        // The engine reads nothing after a NUL character: a statement behind one is not
        // run, and says so; nor is one that it would cut short.
        {L"a NUL between statements", L"INSERT INTO t VALUES (3, 'three');\0INSERT INTO t VALUES (4, 'four')"s,
         "one,two,three", {},
         {L"Statement 2 of 2 failed: INSERT INTO t VALUES (4, 'four')\nThe 1 statement(s) before it ran",
          STR_TEXT_AFTER_NUL, L"Location <00020>"},
         L"\0INSERT INTO t VALUES (4, 'four')"s},
        {L"a NUL cutting a statement short", L"DELETE FROM t\0 WHERE id = 1"s, "one,two", {},
         {STR_TEXT_AFTER_NUL, L"Location <00020>"}, L"DELETE FROM t\0 WHERE id = 1"s},
        {L"a NUL at the end", L"UPDATE t SET name = 'a' WHERE id = 1;\0\n"s, "a,two", {}, {STR_EXECUTED_STATEMENT}, L""},
        // Rows no view can hold are read from the statement itself; an EXPLAIN runs
        // nothing of the statement it explains.
        {L"explain", L"EXPLAIN SELECT * FROM t", "one,two", {{OpenSqlQuery, kEngineRows, explainColumns}}, {}, L""},
        {L"explain query plan", L"EXPLAIN QUERY PLAN SELECT name FROM t WHERE id = 1", "one,two",
         {{OpenSqlQuery, kEngineRows, planColumns}}, {}, L""},
        {L"explain delete", L"EXPLAIN DELETE FROM t", "one,two", {{OpenSqlQuery, kEngineRows, explainColumns}}, {}, L""},
        {L"explain and a delete", L"EXPLAIN QUERY PLAN DELETE FROM t WHERE id = 2; DELETE FROM t WHERE id = 1", "two",
         {{OpenSqlQuery, kEngineRows, planColumns}}, {L"Successfully executed 2 statements"}, L""},
        {L"a parameter", L"SELECT name FROM t WHERE ?1 IS NULL ORDER BY id", "one,two", {{OpenSqlQuery, 2, {L"name"}}},
         {}, L""},
        {L"only comments", L"-- nothing to run\n/* at all */", "one,two", {}, {}, L""},
    };
    std::wstring text;
    std::wstring shown;
    AnswerConsoles(text, &shown);
    // A data window without its title behind a box: one made for a statement without a window.
    QMdiArea* area = Frame().findChild<QMdiArea*>();
    ASSERT_NE(area, nullptr);
    std::vector<std::wstring> untitledBehindBoxes;
    const ScopedMessageBoxHandler boxesSeen(
        [&](const platform::MessageBoxRequest& request, const platform::MessageBoxHandler& next) {
            for (QMdiSubWindow* window : area->subWindowList())
                if (window->windowTitle().isEmpty())
                    untitledBehindBoxes.push_back(request.text);
            if (const QTabBar* tabs = area->findChild<QTabBar*>())
                for (int i = 0; i < tabs->count(); ++i)
                    if (tabs->tabText(i) == QStringLiteral("(Untitled)"))
                        untitledBehindBoxes.push_back(request.text);
            return next(request);
        });
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.name));
        const std::wstring path = MakeSample(L"console" + std::to_wstring(++number) + L".db");
        ASSERT_TRUE(Open(path));
        m_boxes.Clear();
        untitledBehindBoxes.clear();
        text = c.text;
        Frame().OnConsole();
        EXPECT_EQ(QueryRaw(path, "SELECT group_concat(name) FROM (SELECT name FROM t ORDER BY id)"), c.names);
        const std::vector<CDocument*> windows = DataWindowTemplate().GetDocuments();
        ASSERT_EQ(windows.size(), c.windows.size());
        for (size_t i = 0; i < windows.size(); ++i) {
            auto* document = static_cast<CTabulonDoc*>(windows[i]);
            const Window& expected = c.windows[i];
            EXPECT_EQ(document->m_nKind, expected.kind);
            if (document->m_nKind == OpenPragmaQuery) {
                EXPECT_EQ(document->m_arrPragmaColumns, expected.columns);
                EXPECT_EQ(document->m_arrPragmaRows.size(), expected.rows);
                continue;
            }
            CDataAccess& data = *document->m_pDataAccess;
            std::vector<std::wstring> columns;
            for (int column = 0; column < data.m_pRecSet->m_nFields; ++column)
                columns.push_back(data.GetColumnName(column));
            EXPECT_EQ(columns, expected.columns);
            std::vector<std::vector<std::wstring>> rows;
            for (int row = 0; row < data.GetRecordCount(); ++row) {
                std::vector<std::wstring>& cells = rows.emplace_back();
                for (int column = 0; column < data.m_pRecSet->m_nFields; ++column) {
                    const wchar_t* cell = data.GetCellText(row, column);
                    cells.push_back(cell ? cell : L"");
                }
            }
            if (expected.rows == kEngineRows) {
                EXPECT_FALSE(rows.empty());
                EXPECT_EQ(rows, EngineRows(data.m_strSource));
            } else {
                EXPECT_EQ(rows.size(), expected.rows);
            }
        }
        EXPECT_TRUE(untitledBehindBoxes.empty()) << Utf8(untitledBehindBoxes.front());
        if (c.boxParts.empty()) {
            EXPECT_EQ(m_boxes.Count(), 0u);
        } else {
            ASSERT_EQ(m_boxes.Count(), 1u);
            for (const std::wstring& part : c.boxParts)
                EXPECT_NE(m_boxes.Last().text.find(part), std::wstring::npos) << Utf8(m_boxes.Last().text);
        }
        // The next console: the text that did not run, or an empty one.
        text.clear();
        Frame().OnConsole();
        EXPECT_EQ(shown, c.kept);
        m_app->CloseAllDocuments();
    }
    EXPECT_EQ(QueryRaw(m_folder.Path(L"console12.db"), "PRAGMA user_version"), "7");
}

// A transaction begun in the console and left open: every road that closes the database
// asks first, and keeps what the user chose (Yes commits, No rolls back, Cancel keeps
// the database open with its transaction).
TEST_F(Workbench, AnOpenTransactionIsAskedAboutBeforeTheDatabaseCloses)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    std::wstring text;
    AnswerConsoles(text);
    const std::wstring path = MakeSample();
    const std::wstring other = MakeSample(L"other.db");
    const auto begin = [&](const wchar_t* statements) {
        ASSERT_TRUE(Open(path));
        text = statements;
        Frame().OnConsole();
        ASSERT_TRUE(g_pCurrentDb->InTransaction());
        m_boxes.Clear();
    };
    const auto asked = [&] {
        ASSERT_GE(m_boxes.Count(), 1u);
        EXPECT_EQ(m_boxes.Boxes().front().text, STR_COMMIT_OPEN_TRANSACTION);
        EXPECT_EQ(m_boxes.Boxes().front().caption, STR_OPEN_TRANSACTION_CAPTION);
    };

    // Cancel: another file does not open; the database and its transaction stay.
    begin(L"BEGIN; UPDATE t SET name = 'kept' WHERE id = 1");
    ASSERT_NE(OpenTable(L"t"), nullptr);
    m_boxes.QueueAnswer(platform::IDCANCEL);
    EXPECT_FALSE(Open(other));
    asked();
    EXPECT_EQ(g_strOpenDbPath, path);
    EXPECT_TRUE(g_pCurrentDb->InTransaction());
    EXPECT_EQ(DataWindowTemplate().GetDocuments().size(), 1u);
    EXPECT_EQ(QueryRaw(path, "SELECT name FROM t WHERE id = 1"), "one");

    // Yes on Reload commits, with the datasheet's edit made inside the transaction.
    CTabulonDoc* sheet = m_app->FindDataDocument(OpenTableData, L"t");
    ASSERT_NE(sheet, nullptr);
    m_boxes.Clear();
    m_boxes.QueueAnswer(platform::IDYES);
    Frame().m_wndWorkspace->OnReload();
    asked();
    EXPECT_FALSE(g_pCurrentDb->InTransaction());
    EXPECT_EQ(QueryRaw(path, "SELECT name FROM t WHERE id = 1"), "kept");

    // No rolls back, and the other file opens.
    begin(L"SAVEPOINT s; DELETE FROM t");
    m_boxes.QueueAnswer(platform::IDNO);
    EXPECT_TRUE(Open(other));
    asked();
    EXPECT_EQ(QueryRaw(path, "SELECT count(*) FROM t"), "2");

    // Quitting asks too: Cancel keeps the window open, Yes commits and closes.
    begin(L"BEGIN IMMEDIATE; DELETE FROM t WHERE id = 2");
    m_boxes.QueueAnswer(platform::IDCANCEL);
    EXPECT_FALSE(Frame().close());
    asked();
    EXPECT_TRUE(Frame().isVisible());
    m_boxes.Clear();
    m_boxes.QueueAnswer(platform::IDYES);
    EXPECT_TRUE(Frame().close());
    asked();
    EXPECT_EQ(QueryRaw(path, "SELECT count(*) FROM t"), "1");
}

// DDL typed in the console changes the tree and the name lists as the tree's own drop
// and rename do; a table or view dropped or altered loses its data window first.
TEST_F(Workbench, ConsoleDdlRefreshesTheTreeAndClosesTheWindowsOfWhatItChanges)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    std::wstring text;
    AnswerConsoles(text);
    const std::wstring path = MakeSample();
    ASSERT_TRUE(Open(path));
    ASSERT_NE(OpenTable(L"t"), nullptr);
    const std::wstring view = L"v";
    platform::SendMessage(&Frame(), UM_OPEN_VIEW_DATA, 0, reinterpret_cast<LPARAM>(&view));
    ASSERT_EQ(DataWindowTemplate().GetDocuments().size(), 2u);

    text = L"CREATE TABLE fresh(a, b); CREATE INDEX fresh_a ON fresh(a);"
           L"CREATE TRIGGER fresh_t AFTER INSERT ON fresh BEGIN SELECT 1; END; CREATE VIEW fresh_v AS SELECT a FROM fresh;"
           L"DROP VIEW v; ALTER TABLE \"T\" RENAME TO renamed; DROP TABLE other";
    m_boxes.Clear();
    Frame().OnConsole();
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, L"Successfully executed 7 statements");
    EXPECT_EQ(QueryRaw(path, "SELECT group_concat(name) FROM (SELECT name FROM sqlite_master ORDER BY name)"),
              "fresh,fresh_a,fresh_t,fresh_v,renamed,t_keep,t_name");
    for (const wchar_t* name : {L"fresh", L"fresh_a", L"fresh_t", L"fresh_v", L"renamed", L"t_name", L"t_keep"})
        EXPECT_TRUE(TreeHas(name)) << Utf8(name);
    for (const wchar_t* name : {L"t", L"v", L"other"})
        EXPECT_FALSE(TreeHas(name)) << Utf8(name);
    EXPECT_EQ(g_arrTableNames, (std::vector<std::wstring>{L"fresh", L"renamed"}));
    EXPECT_EQ(g_arrIndexNames, (std::vector<std::wstring>{L"fresh_a", L"t_name"}));
    EXPECT_EQ(g_arrTriggerNames, (std::vector<std::wstring>{L"fresh_t", L"t_keep"}));
    EXPECT_EQ(g_arrViewNames, (std::vector<std::wstring>{L"fresh_v"}));
    EXPECT_TRUE(DataWindowTemplate().GetDocuments().empty());

    // A column added shows under its table in the tree.
    text = L"ALTER TABLE renamed ADD COLUMN added TEXT";
    Frame().OnConsole();
    EXPECT_TRUE(TreeHas(L"added"));
}

// The tree's folders and the cached name lists say what the database holds, in its file
// and in its temporary schema, after each step of every road that changes the schema: a
// designer's object and then any DDL in the console (which listed the object twice), a
// temporary trigger and then its table dropped from the tree (the engine drops the
// trigger with it), a table renamed in the tree, Reload.
TEST_F(Workbench, TheTreeAndTheNameListsFollowTheSchemaThroughEveryChange)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    CWorkspaceBar& pane = *Frame().m_wndWorkspace;
    QTreeWidget* view = Tree().GetTreeView();
    int made = 0; // numbers the objects that the steps make
    bool temporary = false;
    const auto press = [](QDialog& dialog, const QString& text) {
        QTest::mouseClick(ButtonWithText(dialog, text), Qt::LeftButton);
    };
    DialogScript script;
    script.On("CQueryDlg", [&](QDialog& dialog) {
        auto& console = static_cast<CQueryDlg&>(dialog);
        console.m_edStatement->setPlainText(QStringLiteral("CREATE TABLE extra%1(x)").arg(made));
        console.m_btnExecute->click();
    });
    script.On("CSelectField", [&](QDialog& dialog) {
        dialog.findChild<QTreeWidget*>()->topLevelItem(1)->setCheckState(0, Qt::Checked);
        press(dialog, QStringLiteral("Ok"));
    });
    script.On("CNewIndexDlg", [&](QDialog& dialog) {
        auto& designer = static_cast<CNewIndexDlg&>(dialog);
        designer.m_editName->setText(QStringLiteral("i%1").arg(made));
        designer.m_comboTable->setEditText(QStringLiteral("t"));
        press(dialog, QStringLiteral("On Field(s)..."));
        press(dialog, QStringLiteral("Save"));
    });
    script.On("CNewTriggerDlg", [&](QDialog& dialog) {
        auto& designer = static_cast<CNewTriggerDlg&>(dialog);
        designer.m_checkTemporary->setChecked(temporary);
        designer.m_editName->setText(QStringLiteral("g%1").arg(made));
        designer.m_comboTime->setCurrentIndex(designer.m_comboTime->findText(QStringLiteral("AFTER")));
        designer.m_comboEvent->setCurrentIndex(designer.m_comboEvent->findText(QStringLiteral("INSERT")));
        designer.m_comboTable->setCurrentIndex(designer.m_comboTable->findText(QStringLiteral("other")));
        designer.m_editBody->setPlainText(QStringLiteral("BEGIN SELECT 2; END"));
        press(dialog, QStringLiteral("Save"));
    });
    script.On("CNewViewDlg", [&](QDialog& dialog) {
        auto& designer = static_cast<CNewViewDlg&>(dialog);
        designer.m_editName->setText(QStringLiteral("v%1").arg(made));
        designer.m_editSelect->setPlainText(QStringLiteral("SELECT id FROM t"));
        press(dialog, QStringLiteral("OK"));
    });

    enum class Step { NewIndex, NewTrigger, NewTemporaryTrigger, NewView, OpenView, ConsoleDdl, DropOther, RenameT, Reload };
    const auto add = [&](NodeKind folder) {
        SelectTreeItem(folder);
        ASSERT_TRUE(pane.m_pActAdd->isEnabled());
        pane.m_pActAdd->trigger();
    };
    const auto run = [&](Step step) {
        ++made;
        temporary = step == Step::NewTemporaryTrigger;
        switch (step) {
        case Step::NewIndex: add(NodeKind::IndexesFolder); break;
        case Step::NewTrigger:
        case Step::NewTemporaryTrigger: add(NodeKind::TriggersFolder); break;
        case Step::NewView: add(NodeKind::ViewsFolder); break;
        case Step::OpenView: // its window reads it through a temporary view of the program's own
            SelectTreeItem(NodeKind::View, QStringLiteral("v"));
            QTest::keyClick(view, Qt::Key_Return);
            ASSERT_NE(m_app->FindDataDocument(OpenViewData, L"v"), nullptr);
            break;
        case Step::ConsoleDdl: Frame().OnConsole(); break;
        case Step::DropOther:
            SelectTreeItem(NodeKind::Table, QStringLiteral("other"));
            m_boxes.QueueAnswer(platform::IDYES);
            QTest::keyClick(view, Qt::Key_Delete);
            break;
        case Step::RenameT:
            SelectTreeItem(NodeKind::Table, QStringLiteral("t"));
            QTest::keyClick(view, Qt::Key_F2);
            Tree().GetRenameEdit()->setText(QStringLiteral("renamed"));
            QTest::keyClick(Tree().GetRenameEdit(), Qt::Key_Return);
            break;
        case Step::Reload: pane.m_pActReload->trigger(); break;
        }
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"a view's designer, then the console", {Step::NewView, Step::ConsoleDdl, Step::ConsoleDdl}},
        {"an index's designer, then the console", {Step::NewIndex, Step::ConsoleDdl}},
        {"a trigger's designer, then the console", {Step::NewTrigger, Step::ConsoleDdl}},
        {"a temporary trigger, the console, then its table dropped",
         {Step::NewTemporaryTrigger, Step::ConsoleDdl, Step::DropOther, Step::ConsoleDdl}},
        {"designers, a view's window, a rename, then the console",
         {Step::NewView, Step::OpenView, Step::NewTemporaryTrigger, Step::RenameT, Step::ConsoleDdl}},
        {"designers, then Reload", {Step::NewIndex, Step::NewTemporaryTrigger, Step::NewView, Step::Reload, Step::ConsoleDdl}},
    };
    int number = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = MakeSample(L"sequence" + std::to_wstring(++number) + L".db");
        ASSERT_TRUE(Open(path));
        ExpectTreeShowsTheSchema(path);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE("after step " + std::to_string(i + 1));
            m_boxes.Clear();
            run(c.steps[i]);
            ExpectTreeShowsTheSchema(path);
            // The only boxes are the question before a drop and the console's success.
            for (const platform::MessageBoxRequest& box : m_boxes.Boxes())
                EXPECT_TRUE(box.text == STR_DELETE_CONFIRM || box.text == STR_EXECUTED_STATEMENT) << Utf8(box.text);
        }
    }
}

// A table renamed in the tree takes its keys along in the foreign-key map: the engine
// rewrites the references to it, and the map names every table, parent and child by the
// name the file holds now.
TEST_F(Workbench, TheForeignKeyMapFollowsARename)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    const std::wstring path = MakeSample();
    ExecRaw(path, "CREATE TABLE kid(tid REFERENCES t(id)); CREATE TABLE grandkid(k REFERENCES kid);");
    ASSERT_TRUE(Open(path));
    BuildForeignKeyMap();
    const auto expectMapAsTheFile = [&] {
        const ForeignKeyMap& map = *g_pForeignKeyMap;
        const std::vector<std::wstring> tables = HeldNames(path, "table");
        std::vector<std::wstring> mapped;
        for (const ForeignKeyMapEntry& entry : map.m_arrEntries)
            mapped.push_back(entry.m_strTableName);
        std::sort(mapped.begin(), mapped.end());
        EXPECT_EQ(mapped, tables);
        for (const std::wstring& table : tables) {
            SCOPED_TRACE(Utf8(table));
            const int e = map.FindTable(table);
            ASSERT_GE(e, 0);
            const ForeignKeyMapEntry& entry = map.m_arrEntries[static_cast<size_t>(e)];
            const std::string parent =
                QueryRaw(path, "SELECT \"table\" FROM pragma_foreign_key_list('" + Utf8(table) + "')");
            EXPECT_EQ(Utf8(entry.m_strParentTable), parent == "<none>" ? "" : parent);
            if (parent == "<none>")
                continue;
            const int p = map.FindTable(entry.m_strParentTable);
            ASSERT_GE(p, 0);
            const std::vector<int>& children = map.m_arrEntries[static_cast<size_t>(p)].m_arrChildren;
            EXPECT_NE(std::find(children.begin(), children.end(), e), children.end());
        }
    };
    expectMapAsTheFile();
    for (const auto& [from, to] : {std::pair{"t", "parent"}, std::pair{"kid", "child"}}) {
        SCOPED_TRACE(std::string(from) + " to " + to);
        SelectTreeItem(NodeKind::Table, QString::fromUtf8(from));
        QTest::keyClick(Tree().GetTreeView(), Qt::Key_F2);
        Tree().GetRenameEdit()->setText(QString::fromUtf8(to));
        QTest::keyClick(Tree().GetRenameEdit(), Qt::Key_Return);
        ASSERT_EQ(QueryRaw(path, "SELECT count(*) FROM sqlite_master WHERE name = '" + std::string(to) + "'"), "1");
        expectMapAsTheFile();
    }
    EXPECT_EQ(QueryRaw(path, "SELECT \"table\" FROM pragma_foreign_key_list('grandkid')"), "child");
    EXPECT_EQ(m_boxes.Count(), 0u) << Utf8(m_boxes.Last().text);
}

// Dropping a table that other rows refer to is refused with the engine's message: the
// table stays in the file, in the tree and in the name list.
TEST_F(Workbench, ADropOfAReferencedTableIsRefusedAndTheTreeKeepsIt)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    const std::wstring path = m_folder.MakeDatabase(
        L"keys.db", "CREATE TABLE genre(id INTEGER PRIMARY KEY, name);"
                    "CREATE TABLE track(id INTEGER PRIMARY KEY, genre INTEGER REFERENCES genre(id));"
                    "INSERT INTO genre VALUES (1, 'rock'), (2, 'jazz'); INSERT INTO track VALUES (1, 1), (2, 1);");
    ASSERT_TRUE(Open(path));
    const std::wstring name = L"genre";
    platform::SendMessage(&Frame(), UM_DROP_TABLE, 0, reinterpret_cast<LPARAM>(&name));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"FOREIGN KEY constraint failed"), std::wstring::npos);
    EXPECT_NE(m_boxes.Last().text.find(L"Location <00008>"), std::wstring::npos);
    EXPECT_TRUE(TreeHas(L"genre"));
    EXPECT_EQ(std::count(g_arrTableNames.begin(), g_arrTableNames.end(), L"genre"), 1);
    EXPECT_EQ(QueryRaw(path, "SELECT count(*) FROM genre"), "2");
    EXPECT_EQ(QueryRaw(path, "SELECT count(*) FROM pragma_foreign_key_check"), "0");
}

// Marks a file or folder immutable (chattr +i) for the life of the object: nobody, root
// included, may write it or make a file in it. Unavailable without the capability or on
// a file system without the flag.
class Immutable {
public:
    explicit Immutable(const std::wstring& path)
        : m_path(platform::ToQString(path))
    {
        m_bSet = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), m_path}) == 0;
    }
    ~Immutable()
    {
        if (m_bSet)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
    }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;
    bool IsSet() const { return m_bSet; }

private:
    QString m_path;
    bool m_bSet = false;
};

// A database file that cannot be written, for its own sake or its folder's (no journal
// can be made there): said as it opens, its datasheet read-only, no cell editor opening,
// and the file left as it was.
TEST_F(Workbench, AFileThatCannotBeWrittenIsSaidAtOpenAndShownReadOnly)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    for (const bool folder : {false, true}) {
        SCOPED_TRACE(folder ? "the folder" : "the file");
        const std::wstring dir = m_folder.Path(folder ? L"locked" : L"open");
        QDir().mkpath(platform::ToQString(dir));
        const std::wstring path = m_folder.MakeDatabase(folder ? L"locked/ro.db" : L"open/ro.db",
                                                        "CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT);"
                                                        "INSERT INTO t VALUES (1, 'one'), (2, 'two');");
        const auto hash = [&] {
            QFile file(platform::ToQString(path));
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
        };
        const QByteArray before = hash();
        const Immutable locked(folder ? dir : path);
        if (!locked.IsSet())
            GTEST_SKIP() << "chattr +i is not available here";
        CaptionRecorder lines;
        ASSERT_TRUE(Open(path));
        ASSERT_GE(lines.Count(), 1u);
        EXPECT_EQ(lines.Lines().front().text, STR_READ_ONLY_DATABASE);
        EXPECT_EQ(lines.Lines().front().type, platform::CAPTION_LINE_WARNING);
        EXPECT_TRUE(g_pCurrentDb->IsReadOnly());

        CTabulonDoc* sheet = OpenTable(L"t");
        ASSERT_NE(sheet, nullptr);
        CTabulonView* view = FindDataView(sheet);
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(view->m_wndGrid.IsReadOnly());
        EXPECT_EQ(view->m_wndGrid.m_strReadOnlyReason, STR_READ_ONLY_DATABASE); // said when a cell is chosen
        CListCtrlCombo* grid = view->m_wndGrid.GetGrid();
        grid->BeginEdit(0, 1, true);
        for (const GridColumn& column : grid->m_arrColumns)
            EXPECT_FALSE(column.m_pEdit && column.m_pEdit->isVisible()) << "a cell editor opened";
        lines.Clear();
        EXPECT_EQ(sheet->m_pDataAccess->SetCellValue(0, 1, L"changed", false), CELL_REFUSED);
        EXPECT_EQ(sheet->m_pDataAccess->DeleteRows({0}), 0);
        ASSERT_EQ(lines.Count(), 2u);
        EXPECT_EQ(lines.Last().text, STR_READ_ONLY_DATABASE);
        EXPECT_EQ(QueryRaw(path, "SELECT group_concat(name) FROM t"), "one,two");
        m_app->CloseAllDocuments();
        DestroyDatabaseGlobals();
        CreateDatabaseGlobals();
        EXPECT_EQ(hash(), before) << "the file was written";
        EXPECT_FALSE(QFile::exists(platform::ToQString(path + L"-journal")));
        EXPECT_EQ(m_boxes.Count(), 0u);
    }
}

// On a file that cannot be written the tree offers nothing that would change it: the
// pane's Add and Delete and the menu's Add, Delete and Rename are grey, F2 and Delete do
// nothing, and no designer opens; View Schema and View Data, which only read, stay.
TEST_F(Workbench, AFileThatCannotBeWrittenOffersNoObjectCommandThatWritesIt)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    const std::wstring path = MakeSample();
    const std::string schema = QueryRaw(path, "SELECT group_concat(name || ':' || sql) FROM sqlite_master");
    const Immutable locked(path);
    if (!locked.IsSet())
        GTEST_SKIP() << "chattr +i is not available here";
    ASSERT_TRUE(Open(path));
    ASSERT_TRUE(g_pCurrentDb->IsReadOnly());
    CWorkspaceBar& pane = *Frame().m_wndWorkspace;
    QTreeWidget* view = Tree().GetTreeView();
    DialogScript script; // every dialog that opens is recorded and cancelled
    QStringList menuEntries;
    const ScopedMenuHandler menus([&](QMenu& menu, const QPoint&) -> QAction* {
        menuEntries.clear();
        for (QAction* action : menu.actions())
            if (action->isEnabled())
                menuEntries << action->text();
        return nullptr;
    });
    const struct {
        NodeKind kind;
        const char* text; // null: the first item of the kind
        QStringList menu; // the menu's enabled entries
    } cases[] = {
        {NodeKind::TablesFolder, nullptr, {}},
        {NodeKind::Table, "t", {QStringLiteral("View Schema"), QStringLiteral("View Data")}},
        {NodeKind::FieldsFolder, nullptr, {}},
        {NodeKind::IndexesFolder, nullptr, {}},
        {NodeKind::Index, "t_name", {QStringLiteral("View Schema")}},
        {NodeKind::TriggersFolder, nullptr, {}},
        {NodeKind::Trigger, "t_keep", {QStringLiteral("View Schema")}},
        {NodeKind::ViewsFolder, nullptr, {}},
        {NodeKind::View, "v", {QStringLiteral("View Schema"), QStringLiteral("View Data")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.kind)) + " " + (c.text ? c.text : ""));
        QTreeWidgetItem* item = SelectTreeItem(c.kind, c.text ? QString::fromUtf8(c.text) : QString());
        ASSERT_NE(item, nullptr);
        EXPECT_FALSE(pane.m_pActAdd->isEnabled());
        EXPECT_FALSE(pane.m_pActDelete->isEnabled());
        EXPECT_EQ(pane.m_pActViewSchema->isEnabled(), c.menu.contains(QStringLiteral("View Schema")));
        EXPECT_EQ(pane.m_pActViewData->isEnabled(), c.menu.contains(QStringLiteral("View Data")));
        pane.m_pActAdd->trigger();
        pane.m_pActDelete->trigger();
        const QPoint point = view->visualItemRect(item).center();
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, point, view->viewport()->mapToGlobal(point));
        QApplication::sendEvent(view->viewport(), &menuEvent);
        EXPECT_EQ(menuEntries.join(QStringLiteral(", ")).toStdString(), c.menu.join(QStringLiteral(", ")).toStdString());
        view->setFocus();
        QTest::keyClick(view, Qt::Key_F2);
        EXPECT_FALSE(Tree().GetRenameEdit()->isVisible());
        QTest::keyClick(view, Qt::Key_Delete);
    }
    EXPECT_TRUE(script.Shown().empty()) << script.Shown().front();
    EXPECT_EQ(m_boxes.Count(), 0u) << Utf8(m_boxes.Last().text);
    EXPECT_EQ(QueryRaw(path, "SELECT group_concat(name || ':' || sql) FROM sqlite_master"), schema);
    EXPECT_TRUE(TreeHas(L"t"));
}

TEST_F(Workbench, FileOpenRemembersTheFolderAndADroppedFileOpens)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    const std::wstring first = MakeSample(L"first.db");
    platform::SetFileHandler([&](const platform::FileRequest& request) {
        EXPECT_FALSE(request.save);
        EXPECT_TRUE(request.mustExist);
        return first;
    });
    Frame().m_wndWorkspace->m_wndTabs.setCurrentIndex(CWorkspaceBar::TAB_RECENT_FILES);
    m_app->OnFileOpen();
    EXPECT_EQ(g_strOpenDbPath, first);
    std::wstring folder;
    EXPECT_TRUE(Frame().m_pAppDataFile->GetTextValue(NODE_USER_DB_LOCATION, folder));
    EXPECT_EQ(folder, m_folder.Path(L"") + L"/");
    EXPECT_EQ(Frame().m_wndWorkspace->m_wndTabs.currentIndex(), CWorkspaceBar::TAB_TREE);

    // The next dialog starts in that folder.
    platform::SetFileHandler([&](const platform::FileRequest& request) {
        EXPECT_EQ(request.initialPath, folder);
        return std::wstring();
    });
    m_app->OnFileOpen();
    EXPECT_EQ(g_strOpenDbPath, first);

    const std::wstring second = m_folder.MakeDatabase(L"second.db", "CREATE TABLE dropped(x);");
    Frame().OnDropFiles({QUrl(QStringLiteral("https://example.org/x.db")),
                         QUrl::fromLocalFile(platform::ToQString(second))});
    EXPECT_EQ(g_strOpenDbPath, second);
    EXPECT_TRUE(TreeHas(L"dropped"));
    EXPECT_FALSE(TreeHas(L"t"));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(Workbench, AboutNamesTheEnginesVersionAndAMissingHelpFileIsSaid)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    QStringList texts;
    platform::SetDialogHandler([&](QDialog& dialog) {
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            texts << label->text();
        texts << dialog.windowTitle();
        return static_cast<int>(QDialog::Accepted);
    });
    m_app->OnAbout();
    EXPECT_TRUE(texts.contains(QStringLiteral("About Tabulon")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Tabulon, Version 1.0.1.1")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Built with SQLite version: ") + QString::fromUtf8(sqlite3_libversion())));

    Frame().OnHelp();
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, L"Unable to open help file");
    EXPECT_EQ(m_boxes.Last().caption, STR_PRODUCT_NAME);
}

} // namespace

namespace {

QStringList ItemTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* action : menu->actions())
        if (action->isVisible() && !action->isSeparator())
            texts << action->text();
    return texts;
}

// The titles of the menu bar's visible menus, in order.
QStringList BarTitles(CMainFrame& frame)
{
    QStringList titles;
    for (QAction* action : frame.m_wndMenuBar->actions())
        if (action->isVisible())
            titles << action->text();
    return titles;
}

QMenu* TopMenu(CMainFrame& frame, const QString& title)
{
    for (QAction* action : frame.m_wndMenuBar->actions())
        if (action->text() == title)
            return action->menu();
    return nullptr;
}

// Menu 128 without a data window, 130 with one; the bar hidden at start, shown while
// Alt is held and after F10, hidden again when no menu is in use.
TEST_F(Workbench, TheMenusFollowTheActiveWindowAndTheHiddenBarShowsOnAltAndF10)
{
    InstallDataFile();
    const std::wstring sample = MakeSample();
    platform::RecentFiles().Add(sample);
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    EXPECT_FALSE(frame.m_wndMenuBar->isVisible());
    EXPECT_EQ(BarTitles(frame), (QStringList{"&File", "&View", "&Help"}));
    QMenu* file = TopMenu(frame, QStringLiteral("&File"));
    ASSERT_NE(file, nullptr);
    emit file->aboutToShow();
    EXPECT_EQ(ItemTexts(file), (QStringList{"&New Database...", "&Open...", "P&rint Setup...",
                                            "&1 " + platform::ToQString(sample), "E&xit"}));

    // The recent file opens as File > Open would.
    file->actions()[file->actions().indexOf(file->actions().last()) - 2]->trigger();
    EXPECT_EQ(g_strOpenDbPath, sample);
    ASSERT_NE(OpenTable(L"t"), nullptr);
    frame.UpdateCommandUI();
    EXPECT_EQ(BarTitles(frame), (QStringList{"&File", "&View", "&Window", "&Help"}));
    emit file->aboutToShow();
    EXPECT_EQ(ItemTexts(file), (QStringList{"&New Database...", "&Open...", "&Close", "Save &As...", "&Print...",
                                            "Print Pre&view", "P&rint Setup...", "&1 " + platform::ToQString(sample),
                                            "E&xit"}));
    QMenu* window = TopMenu(frame, QStringLiteral("&Window"));
    emit window->aboutToShow();
    EXPECT_EQ(ItemTexts(window), (QStringList{"&New Window", "&1 t", "&Windows..."}));
    EXPECT_TRUE(window->actions()[2]->isChecked());

    // Alt held shows the bar; letting go hides it.
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &frame;
    QTest::keyPress(focus, Qt::Key_Alt, Qt::AltModifier);
    EXPECT_TRUE(frame.m_wndMenuBar->isVisible());
    QTest::keyRelease(focus, Qt::Key_Alt);
    QTRY_VERIFY_WITH_TIMEOUT(!frame.m_wndMenuBar->isVisible(), 5000);
    // F10 shows it with the first menu open; the bar goes once that menu closes.
    QTest::keyClick(focus, Qt::Key_F10);
    EXPECT_TRUE(frame.m_wndMenuBar->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(file->isVisible(), 5000);
    file->close();
    frame.m_wndMenuBar->setActiveAction(nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(!frame.m_wndMenuBar->isVisible(), 5000);

    // Ctrl+W closes the active data window, and Ctrl+Q the program, while the bar is hidden.
    QApplication::setActiveWindow(&frame);
    frame.UpdateCommandUI();
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::ControlModifier);
    QTRY_VERIFY_WITH_TIMEOUT(DataWindowTemplate().GetDocuments().empty(), 5000);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(frame.isVisible());
}

// The Window menu's New Window opens another window on the active table, numbered in
// the titles of the window, its tab, the Window menu and the frame; Windows... lists
// them and closes one of them, the frame's title following. Neither a settings window nor
// the diagram has a New Window, and Windows... is always there.
TEST_F(Workbench, NewWindowAndTheWindowListFromTheWindowMenu)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Open(MakeSample()));
    CMainFrame& frame = Frame();
    CTabulonDoc* table = OpenTable(L"t");
    ASSERT_NE(table, nullptr);
    QMenu* window = TopMenu(frame, QStringLiteral("&Window"));
    ASSERT_NE(window, nullptr);
    emit window->aboutToShow();
    ASSERT_TRUE(frame.m_actNewWindow->isEnabled());
    frame.m_actNewWindow->trigger();
    EXPECT_EQ(table->GetViews().size(), 2u);
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("t:2 - Tabulon"));
    emit window->aboutToShow();
    EXPECT_EQ(ItemTexts(window), (QStringList{"&New Window", "&1 t:1", "&2 t:2", "&Windows..."}));

    DialogScript script;
    QStringList listed;
    script.On("WindowListDialog", [&](QDialog& dialog) {
        auto& list = static_cast<WindowListDialog&>(dialog);
        for (int i = 0; i < list.GetList()->count(); ++i)
            listed << list.GetList()->item(i)->text();
        list.GetList()->clearSelection();
        list.GetList()->item(0)->setSelected(true);
        QTest::mouseClick(list.GetCloseButton(), Qt::LeftButton);
        dialog.accept();
    });
    frame.m_actWindowManager->trigger();
    EXPECT_EQ(script.Shown(), std::vector<std::string>{"WindowListDialog"});
    EXPECT_EQ(listed, (QStringList{"t:1", "t:2"}));
    QTRY_COMPARE_WITH_TIMEOUT(table->GetViews().size(), size_t(1), 5000);
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("t - Tabulon"));

    m_app->OnDatabaseConfiguration();
    emit window->aboutToShow();
    EXPECT_FALSE(frame.m_actNewWindow->isEnabled());
    EXPECT_EQ(ItemTexts(window).last(), QStringLiteral("&Windows..."));
    m_app->OnRelationships();
    frame.UpdateCommandUI();
    EXPECT_FALSE(frame.m_actNewWindow->isEnabled());
}

// An "&" in a file's path or a table's name is shown as it stands in the recent-file
// items, the Window menu and the tabs, never taken for a shortcut letter.
TEST_F(Workbench, AnAmpersandInANameIsShownInMenusAndTabs)
{
    InstallDataFile();
    const std::wstring path = m_folder.MakeDatabase(L"R&D.db", "CREATE TABLE [R&D](x); INSERT INTO [R&D] VALUES (1);");
    platform::RecentFiles().Add(path);
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    QMenu* file = TopMenu(frame, QStringLiteral("&File"));
    emit file->aboutToShow();
    EXPECT_TRUE(ItemTexts(file).contains("&1 " + platform::ToQString(path).replace("&", "&&")));

    ASSERT_TRUE(Open(path));
    CTabulonDoc* table = OpenTable(L"R&D");
    ASSERT_NE(table, nullptr);
    frame.m_actNewWindow->trigger();
    QMenu* window = TopMenu(frame, QStringLiteral("&Window"));
    emit window->aboutToShow();
    EXPECT_EQ(ItemTexts(window), (QStringList{"&New Window", "&1 R&&D:1", "&2 R&&D:2", "&Windows..."}));
    const QTabBar* tabs = frame.m_pMdiArea->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), "R&&D:1");
    EXPECT_EQ(tabs->tabText(1), "R&&D:2");
    // The window left alone loses its number, and its tab follows.
    frame.m_pMdiArea->activeSubWindow()->close();
    QTRY_COMPARE_WITH_TIMEOUT(tabs->count(), 1, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(tabs->tabText(0), QStringLiteral("R&&D"), 5000);
}

// The program keeps the style Qt started it in; the look items are the styles Qt
// offers, and choosing one puts it on.
TEST_F(Workbench, ApplicationLookOffersQtsStylesAndStartsOnTheOneInUse)
{
    InstallDataFile();
    const QString before = QApplication::style()->name();
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    EXPECT_EQ(QApplication::style()->name(), before);
    QStringList items;
    for (const auto& [id, action] : frame.m_arrLookActions)
        items << action->text();
    EXPECT_EQ(items, QStyleFactory::keys());
    for (const auto& [id, action] : frame.m_arrLookActions)
        EXPECT_EQ(action->isChecked(), action->text().compare(before, Qt::CaseInsensitive) == 0) << id;

    const auto other = std::find_if(frame.m_arrLookActions.begin(), frame.m_arrLookActions.end(), [&](const auto& item) {
        return item.second->text().compare(before, Qt::CaseInsensitive) != 0;
    });
    ASSERT_NE(other, frame.m_arrLookActions.end()) << "Qt offers one style only";
    other->second->trigger();
    EXPECT_EQ(QApplication::style()->name().compare(other->second->text(), Qt::CaseInsensitive), 0);
    EXPECT_TRUE(other->second->isChecked());
    EXPECT_EQ(m_app->m_nApplicationLook, other->first);
    QApplication::setStyle(QStyleFactory::create(before));
}

TEST_F(Workbench, PrintSetupEditsTheProgramsPrinterThatReportsUse)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    int shown = 0;
    platform::SetPageSetupHandler([&](QWidget* owner, QPrinter& printer) {
        ++shown;
        EXPECT_EQ(owner, &Frame());
        printer.setPageOrientation(QPageLayout::Landscape);
        return true;
    });
    QMenu* file = TopMenu(Frame(), QStringLiteral("&File"));
    for (QAction* action : file->actions())
        if (action->text() == QStringLiteral("P&rint Setup..."))
            action->trigger();
    platform::SetPageSetupHandler({});
    EXPECT_EQ(shown, 1);
    CChildView report;
    EXPECT_EQ(report.GetPrinter().pageLayout().orientation(), QPageLayout::Landscape);

    // File > Print of a datasheet: the print dialog on that printer, with the report's pages.
    ASSERT_TRUE(Open(MakeSample()));
    ASSERT_NE(OpenTable(L"t"), nullptr);
    Frame().UpdateCommandUI();
    std::vector<platform::PrintRequest> asked;
    const platform::PrintHandler previous = platform::SetPrintHandler([&](const platform::PrintRequest& request) {
        asked.push_back(request);
        return false;
    });
    ASSERT_TRUE(Frame().m_actPrint->isEnabled());
    Frame().m_actPrint->trigger();
    platform::SetPrintHandler(previous);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].printer, &platform::ApplicationPrinter());
    EXPECT_EQ(asked[0].maxPage, 1);
    platform::ApplicationPrinter().setPageOrientation(QPageLayout::Portrait);
}

// Fault: labels guessed whether their text was markup, so a name holding <b> showed bold
// and a text in angle brackets vanished. Every label of every window shows its text as
// plain text: the main window with a table's data window and the diagram (the table
// windows' captions), and each dialog of the program over names that look like markup.
TEST_F(Workbench, EveryLabelOfEveryWindowShowsItsTextAsPlainText)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    const std::wstring path = m_folder.MakeDatabase(
        L"markup.db", "CREATE TABLE [<b>t</b>](id INTEGER PRIMARY KEY, [<i>c</i>] TEXT);"
                      "CREATE TABLE child(id INTEGER PRIMARY KEY, p REFERENCES [<b>t</b>](id));"
                      "CREATE INDEX [<u>i</u>] ON [<b>t</b>]([<i>c</i>]);"
                      "CREATE TRIGGER [<s>g</s>] AFTER INSERT ON [<b>t</b>] BEGIN SELECT 1; END;"
                      "CREATE VIEW [<em>v</em>] AS SELECT 1;");
    ASSERT_TRUE(Open(path));
    CTabulonDoc* table = OpenTable(L"<b>t</b>");
    ASSERT_NE(table, nullptr);
    m_app->OnRelationships();

    const std::wstring name = L"<b>t</b>";
    ColumnDefinition column;
    column.m_strName = L"<i>c</i>";
    std::vector<ColumnDefinition> columns{column};
    std::vector<KeyColumn> keys;
    std::wstring conflict;
    std::vector<std::wstring> candidates{column.m_strName};
    std::vector<std::wstring> chosen;
    std::vector<std::wstring> tables{name};
    std::wstring picked;
    std::vector<CADbSqlFieldInfo> fields(1);
    fields[0].m_strName = column.m_strName;
    CTableSchemaDlg owner;
    using Make = std::function<std::unique_ptr<QWidget>()>;
    const std::pair<const char*, Make> windows[] = {
        {"CTableSchemaDlg", [] { return std::make_unique<CTableSchemaDlg>(); }},
        {"CColumnConstraintDlg", [&] { return std::make_unique<CColumnConstraintDlg>(&column, nullptr); }},
        {"CForKeyClauseDlg",
         [&] {
             return std::make_unique<CForKeyClauseDlg>(&candidates, &column, nullptr, CForKeyClauseDlg::MODE_COLUMN);
         }},
        {"CTableConstraintDlg", [&] { return std::make_unique<CTableConstraintDlg>(&owner); }},
        {"CTblConstPrimUniqKeyDlg",
         [&] { return std::make_unique<CTblConstPrimUniqKeyDlg>(&columns, &keys, &conflict, nullptr); }},
        {"CAddNewColumnDlg", [&] { return std::make_unique<CAddNewColumnDlg>(name, nullptr); }},
        {"CNewIndexDlg", [] { return std::make_unique<CNewIndexDlg>(); }},
        {"CNewTriggerDlg", [] { return std::make_unique<CNewTriggerDlg>(); }},
        {"CNewViewDlg", [] { return std::make_unique<CNewViewDlg>(); }},
        {"CSelectField", [&] { return std::make_unique<CSelectField>(&chosen, &fields); }},
        {"CTableScriptDlg", [&] { return std::make_unique<CTableScriptDlg>(name); }},
        {"CViewIndexDlg", [] { return std::make_unique<CViewIndexDlg>(L"<u>i</u>"); }},
        {"CViewTriggerDlg", [] { return std::make_unique<CViewTriggerDlg>(L"<s>g</s>"); }},
        {"CTriggerDlg", [] { return std::make_unique<CTriggerDlg>(L"<s>g</s>"); }},
        {"CViewDlg", [] { return std::make_unique<CViewDlg>(L"<em>v</em>"); }},
        {"CAddNewDataType", [] { return std::make_unique<CAddNewDataType>(); }},
        {"CRefTableDlg", [&] { return std::make_unique<CRefTableDlg>(&tables, nullptr); }},
        {"CRetrRestBlobDlg", [] { return std::make_unique<CRetrRestBlobDlg>(false); }},
        {"CReferenceDlg",
         [&] {
             return std::make_unique<CReferenceDlg>(0, table->m_pDataAccess.get(), nullptr,
                                                    CReferenceDlg::DIRECTION_CHILDREN);
         }},
        {"CAboutDlg", [] { return std::make_unique<CAboutDlg>(); }},
        {"CAppConfigSheet", [this] { return std::make_unique<CAppConfigSheet>(&Frame()); }},
        {"CDataSheetPage", [] { return std::make_unique<CDataSheetPage>(); }},
        {"CDBConfigPage", [] { return std::make_unique<CDBConfigPage>(); }},
        {"CBackupDataFileDlg", [] { return std::make_unique<CBackupDataFileDlg>(); }},
        {"CBackupFileDlg", [&] { return std::make_unique<CBackupFileDlg>(path); }},
        {"CCreateNewDbDlg", [] { return std::make_unique<CCreateNewDbDlg>(); }},
        {"CQueryDlg", [this] { return std::make_unique<CQueryDlg>(&Frame()); }},
        {"CItemListDlg", [&] { return std::make_unique<CItemListDlg>(&picked, &tables, nullptr); }},
        {"CPragmaListDlg", [this] { return std::make_unique<CPragmaListDlg>(&Frame()); }},
    };
    const auto expectPlain = [](const char* window, const QWidget& widget) {
        for (const QLabel* label : widget.findChildren<QLabel*>())
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << window << ": " << label->text().toStdString();
    };
    expectPlain("the main window", Frame());
    for (const auto& [window, make] : windows) {
        const std::unique_ptr<QWidget> widget = make();
        expectPlain(window, *widget);
    }
    EXPECT_EQ(m_boxes.Count(), 0u) << Utf8(m_boxes.Last().text);

    // The names the labels show come out as they are written.
    CNewTriggerDlg trigger;
    trigger.m_comboTable->setFocus();
    QTest::keyClick(trigger.m_comboTable, Qt::Key_Down);
    ASSERT_EQ(trigger.m_comboTable->currentText(), QStringLiteral("<b>t</b>"));
    EXPECT_EQ(DisplayedText(*trigger.m_staticOn).toStdString(), "ON <b>t</b>");
    QStringList captions;
    for (const CDiagramTableWnd* window : Frame().findChildren<CDiagramTableWnd*>())
        captions << DisplayedText(*window->GetCaption());
    EXPECT_TRUE(captions.contains(QStringLiteral("<b>t</b>"))) << captions.join(QLatin1Char('|')).toStdString();
}

// Fault: a tooltip is taken for markup whenever its text looks like it, so the whole of a
// caption line cut short ("SQLITE_ERROR:<table ...") lost its reason, and a name holding
// <b> showed bold. The tooltips that show a name or a message show it as written: the
// caption strip's line, the diagram window's table and the field picker's columns.
TEST_F(Workbench, TooltipsShowNamesAndMessagesAsWritten)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Open(m_folder.MakeDatabase(L"markup.db", "CREATE TABLE [<b>t</b>](id INTEGER PRIMARY KEY, "
                                                         "[a  <i>&amp;</i>\nb] TEXT);")));
    m_app->OnRelationships();
    auto* table = Frame().findChild<CDiagramTableWnd*>();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(DisplayedToolTip(table->GetCaption()->toolTip()).toStdString(), "<b>t</b>");

    std::vector<CADbSqlFieldInfo> fields;
    GetTableFieldInfo(L"<b>t</b>", fields);
    std::vector<std::wstring> chosen;
    CSelectField picker(&chosen, &fields);
    ASSERT_EQ(picker.m_list->RowCount(), 2);
    EXPECT_EQ(DisplayedToolTip(picker.m_list->topLevelItem(1)->toolTip(0)).toStdString(), "a  <i>&amp;</i>\nb");

    auto* strip = Frame().findChild<CCaptionDlg*>();
    ASSERT_NE(strip, nullptr);
    const QString line = QStringLiteral("SQLITE_ERROR:<table [<b>t</b>] already exists> ") + QString(300, QLatin1Char('x'));
    strip->SetMessage(line.toStdWString(), platform::CAPTION_LINE_NORMAL);
    const QPoint at = strip->GetMessageRect().center();
    QHelpEvent help(QEvent::ToolTip, at, strip->mapToGlobal(at));
    QApplication::sendEvent(strip, &help);
    EXPECT_EQ(DisplayedToolTip(QToolTip::text()).toStdString(), line.toStdString());
    QToolTip::hideText();
}

} // namespace
