// The whole workbench in one process: start-up with and without the application data
// file, first and later runs, the commands' enabling, the close guard, the roads that
// close the database (New database, Save As, Import/Export) and the object messages.
#include "data/cadbsqldb.h"
#include "data/cappdatafile.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "designers/caddnewcolumndlg.h"
#include "designers/cnewindexdlg.h"
#include "designers/cnewtriggerdlg.h"
#include "designers/cnewviewdlg.h"
#include "designers/ctableschemadlg.h"
#include "dialogscript.h"
#include "document/grid/clistctrlcombo.h"
#include "document/report/cchildview.h"
#include "document/windows/ctabulondoc.h"
#include "document/session/currentdatabase.h"
#include "document/windows/doctemplate.h"
#include "document/windows/ctabulonview.h"
#include "platform/recentfiles.h"
#include "platform/utf16.h"
#include "platform/widgets/combobox.h"
#include "platform/widgets/filedialog.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/presenters.h"
#include "shell/ccreatenewdbdlg.h"
#include "shell/cdbtreectrl.h"
#include "shell/cmainframe.h"
#include "shell/cquerydlg.h"
#include "shell/ctabulonapp.h"
#include "shell/cworkspacebar.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

#include <memory>

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
        return m_app->FindDocumentByTitle(table);
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

    bool TreeHas(const std::wstring& text)
    {
        const std::vector<std::wstring> texts = TreeTexts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
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
    EXPECT_EQ(m_app->m_nApplicationLook, APPLICATION_LOOK_AQUA);
    EXPECT_EQ(m_boxes.Count(), 0u);

    m_app.reset();
    m_arrSplashLines.clear();
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_arrSplashLines, std::vector<std::wstring>{STR_LOADING_SETTINGS});
    EXPECT_EQ(m_arrPauses, std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(2000)});
    EXPECT_EQ(m_boxes.Count(), 0u);
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
    m_app->OnDatabaseConfiguration();
    m_app->OnDatabaseConfiguration();
    EXPECT_EQ(DataWindowTemplate().GetDocuments().size(), 3u);
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

TEST_F(Workbench, SaveAsOfAWalDatabaseCopiesEveryRowAndNeverOntoItself)
{
    InstallDataFile();
    ASSERT_TRUE(Start());
    const std::wstring source = m_folder.MakeDatabase(L"wal.db", "PRAGMA journal_mode=WAL; CREATE TABLE t(x);");
    ASSERT_TRUE(Open(source));
    // Rows written through the program's connection stay in the write-ahead log until
    // the connection closes (fewer pages than an automatic checkpoint waits for).
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
    EXPECT_EQ(QueryRaw(copy, "SELECT count(*) FROM t"), "50");
    EXPECT_EQ(QueryRaw(copy, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(m_boxes.Count(), 0u);

    // A copy that cannot be made says so and leaves the original open.
    const std::wstring nowhere = m_folder.Path(L"missing-folder/copy.db");
    platform::SetFileHandler([&](const platform::FileRequest&) { return nowhere; });
    m_app->OnSaveAs();
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, L"Could not copy the database file to <" + nowhere + L">.");
    EXPECT_EQ(m_boxes.Last().caption, L"Error");
    EXPECT_EQ(g_strOpenDbPath, copy);
    EXPECT_TRUE(TreeHas(L"t"));
    m_boxes.Clear();

    // Onto itself: nothing is copied, the file keeps its rows and stays open.
    platform::SetFileHandler([&](const platform::FileRequest&) { return copy; });
    m_app->OnSaveAs();
    EXPECT_EQ(g_strOpenDbPath, copy);
    EXPECT_EQ(QueryRaw(copy, "SELECT count(*) FROM t"), "50");
    EXPECT_EQ(m_boxes.Count(), 0u);
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
    EXPECT_EQ(m_app->FindDocumentByTitle(L"t"), nullptr);
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
    platform::SetDialogHandler([&](QDialog& dialog) {
        auto* console = dynamic_cast<CQueryDlg*>(&dialog);
        if (!console)
            return static_cast<int>(QDialog::Rejected);
        console->m_edStatement->setPlainText(platform::ToQString(statement));
        console->m_btnExecute->click();
        return dialog.result();
    });
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
