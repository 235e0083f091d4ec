#include "data/cadbsqldb.h"
#include "data/constants.h"
#include "data/settings.h"
#include "document/session/currentdatabase.h"
#include "scopedhandlers.h"
#include "shell/backup.h"
#include "shell/cbackupdatafiledlg.h"
#include "shell/cbackupfiledlg.h"
#include "shell/settingsloaders.h"
#include "shellfixture.h"

#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <cerrno>
#include <memory>

namespace {

class BackupDialogTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        LoadBackupSettings();
        m_source = m_folder.MakeDatabase(L"shop.db", "CREATE TABLE t(a); INSERT INTO t VALUES (1), (2), (3);");
        m_bigSource = m_folder.MakeDatabase(
            L"big.db", "CREATE TABLE t(a); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                       "100000) INSERT INTO t SELECT randomblob(500) FROM n;");
    }

    QStringList Copies() const
    {
        return QDir(platform::ToQString(g_strBackupFolder)).entryList(QDir::Files, QDir::Name);
    }

    static bool WaitClosed(QDialog& dialog) { return QTest::qWaitFor([&] { return !dialog.isVisible(); }, 60000); }

    std::wstring m_source;
    std::wstring m_bigSource;
};

TEST_F(BackupDialogTest, ACompletedCopyClosesTheDialogAndRecordsTheTime)
{
    for (const bool empty : {false, true}) {
        const std::wstring source = empty ? m_folder.Path(L"empty.db") : m_source;
        if (empty)
            QFile(platform::ToQString(source)).open(QIODevice::WriteOnly);
        m_store.UpdateTextValue(NODE_BACKUP_DATE_TIME, STR_NO_BACKUP_TIME);
        CBackupFileDlg dialog(source);
        int lastValue = -1;
        ScopedDialogHandler handler([&](QDialog& shown) {
            EXPECT_EQ(shown.windowTitle(), QStringLiteral("File backup is in progress. Please Wait..."));
            EXPECT_TRUE(WaitClosed(shown));
            lastValue = dialog.m_progress->value();
            return shown.result();
        });
        dialog.DoModal();
        EXPECT_EQ(dialog.m_bDone, 1);
        EXPECT_EQ(lastValue, 100);
        EXPECT_EQ(Value(NODE_BACKUP_DATE_TIME), L"2014-11-07 09:05:03");
        EXPECT_EQ(m_boxes.Count(), 0u);
    }
    EXPECT_EQ(Copies(), (QStringList{"empty2014-11-07 _0.db", "shop2014-11-07 _0.db"}));
}

TEST_F(BackupDialogTest, YesToTheQuestionStopsTheCopyLeavesNoFileAndRecordsNothing)
{
    // The question comes while the copy runs: the progress waits for the box's answer.
    std::atomic<bool> asked = false;
    m_boxes.QueueAnswer(platform::IDYES);
    {
        CBackupFileDlg dialog(m_bigSource);
        ScopedDialogHandler handler([&](QDialog& shown) {
            dialog.m_btnCancel->click();
            asked = true;
            EXPECT_TRUE(WaitClosed(shown));
            return shown.result();
        });
        dialog.DoModal();
        EXPECT_EQ(dialog.m_bDone, 0) << "the copy ended before the question";
    } // the worker is joined here
    ASSERT_TRUE(asked);
    ASSERT_GE(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text, L"Are you sure to cancel this backup ?");
    EXPECT_EQ(m_boxes.Boxes()[0].caption, L"Cancel Backup");
    EXPECT_EQ(m_boxes.Boxes()[0].style, platform::MB_YESNO | platform::MB_ICONQUESTION);
    EXPECT_TRUE(Copies().isEmpty());
    EXPECT_EQ(Value(NODE_BACKUP_DATE_TIME), STR_NO_BACKUP_TIME);
}

TEST_F(BackupDialogTest, NoToTheQuestionLetsTheCopyFinish)
{
    m_boxes.QueueAnswer(platform::IDNO);
    CBackupFileDlg dialog(m_bigSource);
    ScopedDialogHandler handler([&](QDialog& shown) {
        dialog.m_btnCancel->click();
        EXPECT_TRUE(WaitClosed(shown));
        return shown.result();
    });
    dialog.DoModal();
    EXPECT_EQ(dialog.m_bDone, 1);
    EXPECT_EQ(Copies(), QStringList{"big2014-11-07 _0.db"});
    EXPECT_EQ(Value(NODE_BACKUP_DATE_TIME), L"2014-11-07 09:05:03");
}

TEST_F(BackupDialogTest, ACopyThatCompletesWhileTheQuestionIsOpenClosesAndRecordsWhateverTheAnswer)
{
    CBackupFileDlg dialog(m_bigSource);
    const platform::MessageBoxHandler previous = platform::SetMessageBoxHandler([&](const platform::MessageBoxRequest&) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.m_bDone == 1; }, 60000));
        EXPECT_TRUE(dialog.isVisible()); // nothing closes under the open question
        return platform::IDYES;
    });
    ScopedDialogHandler handler([&](QDialog& shown) {
        dialog.m_btnCancel->click();
        EXPECT_TRUE(WaitClosed(shown));
        return shown.result();
    });
    dialog.DoModal();
    platform::SetMessageBoxHandler(previous);
    EXPECT_EQ(Copies(), QStringList{"big2014-11-07 _0.db"});
    EXPECT_EQ(Value(NODE_BACKUP_DATE_TIME), L"2014-11-07 09:05:03");
}

// A failed copy shows its box from the worker, naming what to look at (the backup
// folder, or the source when the source is what failed), and closes its dialog: no
// question about a copy that has ended, no file, no time recorded. Another program's
// write transaction that has spilled into the source (rollback journal) is such a
// failure, after the busy time-out, never a byte copy of the half-written file.
TEST_F(BackupDialogTest, AFailedCopyShowsItsBoxAndClosesItsDialog)
{
    std::unique_ptr<testing_support::OtherConnection> writer;
    const std::wstring spilled = testing_support::MakeSpilledDatabase(m_folder, L"spill.db", writer);
    const int busyTimeout = g_nBusyTimeout;
    g_nBusyTimeout = 200;
    const std::wstring backups = g_strBackupFolder;
    const struct {
        std::wstring source;
        std::wstring folder; // the backup folder
        std::wstring named;  // what the box names
        int code;
    } cases[] = {
        {m_source, m_folder.Path(L"gone"), m_folder.Path(L"gone") + L"/", ENOENT},
        {m_folder.Path(L"missing.db"), backups, m_folder.Path(L"missing.db"), ENOENT},
        {spilled, backups, spilled, EBUSY},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing_support::Utf8(c.source));
        m_boxes.Clear();
        g_strBackupFolder = c.folder;
        CBackupFileDlg dialog(c.source);
        ScopedDialogHandler handler([&](QDialog& shown) {
            EXPECT_TRUE(WaitClosed(shown));
            return shown.result();
        });
        dialog.DoModal();
        EXPECT_EQ(dialog.m_bDone, 0);
        ASSERT_EQ(m_boxes.Count(), 1u);
        const platform::MessageBoxRequest failure = m_boxes.Boxes()[0];
        EXPECT_EQ(failure.text, L"Please check to make sure <" + c.named +
                                    L">\nis exist and it is not write protected. Error code = <" +
                                    std::to_wstring(c.code) + L">");
        EXPECT_EQ(failure.caption, L"Error");
        EXPECT_EQ(failure.style, platform::MB_OK | platform::MB_ICONERROR);
        EXPECT_TRUE(failure.fromWorkerThread);
        EXPECT_EQ(Value(NODE_BACKUP_DATE_TIME), STR_NO_BACKUP_TIME);
        EXPECT_EQ(QDir(platform::ToQString(backups)).entryList(QDir::Files | QDir::Hidden), QStringList{});
    }
    g_nBusyTimeout = busyTimeout;
}

TEST_F(BackupDialogTest, OpeningAFileCopiesItFirstOnlyWhenABackupIsDue)
{
    int dialogs = 0;
    ScopedDialogHandler handler([&](QDialog& shown) {
        ++dialogs;
        EXPECT_TRUE(WaitClosed(shown));
        return shown.result();
    });
    g_bAutoBackup = true;
    g_nBackupPeriod = BACKUP_DAILY;
    g_strBackupFile = m_source;
    BackupIfDue(m_bigSource); // another file
    EXPECT_EQ(dialogs, 0);
    BackupIfDue(m_source); // never backed up
    EXPECT_EQ(dialogs, 1);
    BackupIfDue(m_source); // backed up today
    EXPECT_EQ(dialogs, 1);
    SetToday(2014, 11, 8);
    BackupIfDue(m_source);
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(Copies(), (QStringList{"shop2014-11-07 _0.db", "shop2014-11-08 _0.db"}));
}

TEST_F(BackupDialogTest, TheSourceDialogStartsOnTheOpenDatabaseAndRefusesAnEmptyName)
{
    g_strCurrentDbPath = m_source;
    CBackupDataFileDlg dialog;
    EXPECT_EQ(dialog.m_edtSource->text(), platform::ToQString(m_source));
    ScopedFileHandler files([&](const platform::FileRequest& request) {
        EXPECT_EQ(request.initialPath, L"");
        EXPECT_EQ(request.defaultExtension, L"db");
        return m_source;
    });
    int progressRuns = 0;
    ScopedDialogHandler handler([&](QDialog& shown) {
        if (&shown != &dialog) { // the progress dialog
            ++progressRuns;
            EXPECT_TRUE(WaitClosed(shown));
            return shown.result();
        }
        dialog.m_edtSource->clear();
        dialog.m_btnOk->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(m_boxes.Count(), 1u);
        dialog.m_btnBrowse->click();
        dialog.m_btnOk->click();
        return dialog.result();
    });
    EXPECT_EQ(dialog.DoModal(), QDialog::Accepted);
    ASSERT_GE(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text, L"Please enter source file name");
    EXPECT_EQ(m_boxes.Boxes()[0].caption, L"Input Invalid");
    EXPECT_EQ(m_boxes.Boxes()[0].style, platform::MB_OK | platform::MB_ICONINFORMATION);
    EXPECT_EQ(progressRuns, 1);
    EXPECT_EQ(Copies(), QStringList{"shop2014-11-07 _0.db"});
    g_strCurrentDbPath.clear();
}

} // namespace
