// The new-database options: the dialog's start, its checks in order with their boxes,
// the folder and file browsers, and what RunNewDatabaseDialog hands over.
#include "shell/ccreatenewdbdlg.h"

#include "data/constants.h"
#include "databasefixture.h"
#include "platform/folderdialog.h"
#include "platform/widgets/combobox.h"
#include "shell/cnewdbmgr.h"
#include "dialogscript.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <optional>

using testing_support::ExecRaw;

namespace {

class NewDatabase : public DatabaseFixture {
protected:
    void SetUp() override
    {
        DatabaseFixture::SetUp();
        m_store.CreateNode(NODE_ENCODE_TYPES, NODE_TYPE_TEXT);
        for (const wchar_t* text : {L"UTF-8", L"UTF-16", L"UTF-16le", L"UTF-16be"})
            m_store.AddTextValue(NODE_ENCODE_TYPES, text);
        m_store.CreateNode(NODE_PAGE_SIZES, NODE_TYPE_TEXT);
        for (const wchar_t* text : {L"512", L"1024", L"2048", L"4096", L"8192", L"16384", L"32768", L"65536"})
            m_store.AddTextValue(NODE_PAGE_SIZES, text);
        m_dbFolder = m_folder.Path(L"dbs/");
        QDir().mkpath(QString::fromStdWString(m_dbFolder));
        m_store.CreateNode(NODE_USER_DB_LOCATION, NODE_TYPE_TEXT);
        m_store.AddTextValue(NODE_USER_DB_LOCATION, m_dbFolder);
        g_strDbFolder = m_dbFolder;
        m_existing = m_folder.MakeDatabase(L"dbs/old.db", "CREATE TABLE t(a);");
    }
    void TearDown() override
    {
        platform::SetFolderHandler(m_previousFolderHandler);
        g_strDbFolder.clear();
        DatabaseFixture::TearDown();
    }

    std::wstring StoredFolder()
    {
        std::wstring value;
        m_store.GetTextValue(NODE_USER_DB_LOCATION, value);
        return value;
    }

    void AnswerFolder(std::optional<std::wstring> answer)
    {
        platform::FolderHandler previous = platform::SetFolderHandler([this, answer](const platform::FolderRequest& request) {
            m_folderRequests.push_back(request);
            return answer.value_or(L"");
        });
        if (!m_folderHandlerSet)
            m_previousFolderHandler = previous;
        m_folderHandlerSet = true;
    }

    std::wstring m_dbFolder;
    std::wstring m_existing;
    std::vector<platform::FolderRequest> m_folderRequests;
    platform::FolderHandler m_previousFolderHandler;
    bool m_folderHandlerSet = false;
    DialogScript m_script;
};

TEST_F(NewDatabase, OpensOnTheRememberedFolderWithUtf8And1024)
{
    CCreateNewDbDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "Database Creation Options");
    EXPECT_EQ(dialog.m_edNewPath->text().toStdWString(), m_dbFolder);
    EXPECT_EQ(dialog.m_cbEncoding->GetWindowText(), L"UTF-8");
    EXPECT_EQ(dialog.m_cbPageSize->GetWindowText(), L"1024");
    EXPECT_EQ(dialog.m_cbEncoding->count(), 4);
    EXPECT_TRUE(dialog.m_rbCreateNew->isChecked());
    EXPECT_FALSE(dialog.m_edSourcePath->isEnabled());
    EXPECT_FALSE(dialog.m_btnBrowseSource->isEnabled());
    EXPECT_TRUE(dialog.m_btnCreate->isDefault());
    EXPECT_FALSE(dialog.m_chkAutoVacuum->isChecked());

    dialog.show();
    QTest::mouseClick(dialog.m_rbFromExisting, Qt::LeftButton);
    EXPECT_TRUE(dialog.m_edSourcePath->isEnabled());
    EXPECT_TRUE(dialog.m_btnBrowseSource->isEnabled());
    QTest::mouseClick(dialog.m_rbCreateNew, Qt::LeftButton);
    EXPECT_FALSE(dialog.m_edSourcePath->isEnabled());
    EXPECT_FALSE(dialog.m_btnBrowseSource->isEnabled());
    dialog.m_rbFromExisting->setChecked(true); // as the arrow keys change it
    EXPECT_TRUE(dialog.m_edSourcePath->isEnabled());
    EXPECT_TRUE(dialog.m_btnBrowseSource->isEnabled());
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// Without list entries or a remembered folder nothing is chosen and the new-file text is empty.
TEST_F(NewDatabase, EmptyListsChooseNothing)
{
    ExecRaw(m_store.m_strFilePath, "DELETE FROM NodeValue;");
    CCreateNewDbDlg dialog;
    EXPECT_EQ(dialog.m_edNewPath->text(), "");
    EXPECT_EQ(dialog.m_cbEncoding->currentIndex(), -1);
    EXPECT_EQ(dialog.m_cbPageSize->currentIndex(), -1);
}

// Each check in order; the first refusal shows its box and keeps the dialog open.
TEST_F(NewDatabase, ValidationRefusesInOrderWithItsBoxes)
{
    const std::wstring missingSource = m_folder.Path(L"nowhere/src.db");
    struct Case {
        const char* name;
        std::wstring newPath;
        bool fromExisting;
        std::wstring source;
        std::wstring text;    // "" when Create is accepted
        std::wstring caption;
        bool focusOnSource;
    };
    const Case cases[] = {
        {"empty", L"", false, L"", STR_ENTER_NEW_FILE_NAME, L"Enter File Name", false},
        {"folder with separator", m_dbFolder, false, L"", L"Please enter new database file name.", L"Enter File Name",
         false},
        {"existing file", m_existing, false, L"", L"File already exists. Please enter a different file name.",
         L"File Exists", false},
        {"existing folder", m_folder.Path(L"dbs"), false, L"", L"File already exists. Please enter a different file name.",
         L"File Exists", false},
        {"bad new path before the source", L"", true, L"", L"Please enter new database file name.", L"Enter File Name",
         false},
        {"empty source", m_dbFolder + L"new.db", true, L"", L"Please enter existing database file name.",
         L"Enter File Name", true},
        {"source folder only", m_dbFolder + L"new.db", true, m_dbFolder, L"Please enter existing database file name.",
         L"Enter File Name", true},
        {"missing source", m_dbFolder + L"new.db", true, missingSource, L"<" + missingSource + L"> Is not existed.",
         L"File Not Exists", false},
        {"source is a folder", m_dbFolder + L"new.db", true, m_folder.Path(L"dbs"),
         L"<" + m_folder.Path(L"dbs") + L"> Is not existed.", L"File Not Exists", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_boxes.Clear();
        CCreateNewDbDlg dialog;
        dialog.show();
        if (c.fromExisting)
            QTest::mouseClick(dialog.m_rbFromExisting, Qt::LeftButton);
        dialog.m_edNewPath->setText(QString::fromStdWString(c.newPath));
        dialog.m_edSourcePath->setText(QString::fromStdWString(c.source));
        QTest::mouseClick(dialog.m_btnCreate, Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        ASSERT_EQ(m_boxes.Count(), 1u);
        EXPECT_EQ(m_boxes.Last().text, c.text);
        EXPECT_EQ(m_boxes.Last().caption, c.caption);
        EXPECT_EQ(m_boxes.Last().style, platform::MB_OK | platform::MB_ICONINFORMATION);
        EXPECT_EQ(m_boxes.Last().owner, &dialog);
        QWidget* focus = c.focusOnSource ? static_cast<QWidget*>(dialog.m_edSourcePath)
                                         : c.caption == L"File Not Exists" ? static_cast<QWidget*>(dialog.m_btnCreate)
                                                                           : static_cast<QWidget*>(dialog.m_edNewPath);
        EXPECT_EQ(dialog.focusWidget(), focus);
        EXPECT_EQ(dialog.m_edNewPath->text().toStdWString(), c.newPath);
    }
    EXPECT_EQ(StoredFolder(), m_dbFolder);
}

// Create hands over the six values as chosen; a name without extension stays so.
TEST_F(NewDatabase, CreateHandsOverTheChoices)
{
    struct Case {
        std::wstring newPath;
        bool fromExisting;
        int encoding;
        int pageSize;
        bool autoVacuum;
    };
    const Case cases[] = {
        {m_dbFolder + L"plain", false, 2, 5, true},
        {m_dbFolder + L"copy.sqlite3", true, 0, 1, false},
    };
    for (const Case& c : cases) {
        m_script.On("CCreateNewDbDlg", [&](QDialog& shown) {
            auto& dialog = static_cast<CCreateNewDbDlg&>(shown);
            if (c.fromExisting) {
                QTest::mouseClick(dialog.m_rbFromExisting, Qt::LeftButton);
                dialog.m_edSourcePath->setText(QString::fromStdWString(m_existing));
            }
            dialog.m_edNewPath->setText(QString::fromStdWString(c.newPath));
            dialog.m_cbEncoding->setCurrentIndex(c.encoding);
            dialog.m_cbPageSize->setCurrentIndex(c.pageSize);
            dialog.m_chkAutoVacuum->setChecked(c.autoVacuum);
            QTest::mouseClick(dialog.m_btnCreate, Qt::LeftButton);
        });
        std::wstring newPath = L"x", sourcePath = L"x", encoding = L"x", pageSize = L"x";
        bool fromExisting = !c.fromExisting, autoVacuum = !c.autoVacuum;
        EXPECT_TRUE(CNewDbMgr().RunNewDatabaseDialog(newPath, sourcePath, fromExisting, encoding, pageSize, autoVacuum));
        EXPECT_EQ(newPath, c.newPath);
        EXPECT_EQ(sourcePath, c.fromExisting ? m_existing : L"");
        EXPECT_EQ(fromExisting, c.fromExisting);
        EXPECT_EQ(encoding, (std::vector<std::wstring>{L"UTF-8", L"UTF-16", L"UTF-16le", L"UTF-16be"}[c.encoding]));
        EXPECT_EQ(pageSize, (std::vector<std::wstring>{L"512", L"1024", L"2048", L"4096", L"8192", L"16384"}[c.pageSize]));
        EXPECT_EQ(autoVacuum, c.autoVacuum);
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
    EXPECT_EQ(StoredFolder(), m_dbFolder);
}

// Cancel, also after a refused Create, leaves every output as it was.
TEST_F(NewDatabase, CancelLeavesTheOutputsUnchanged)
{
    m_script.On("CCreateNewDbDlg", [&](QDialog& shown) {
        auto& dialog = static_cast<CCreateNewDbDlg&>(shown);
        dialog.m_edNewPath->setText(QString::fromStdWString(m_dbFolder + L"new.db"));
        QTest::mouseClick(dialog.m_rbFromExisting, Qt::LeftButton);
        QTest::mouseClick(dialog.m_btnCreate, Qt::LeftButton); // refused: no source
        QTest::mouseClick(dialog.findChildren<QPushButton*>().back(), Qt::LeftButton);
    });
    std::wstring newPath = L"n", sourcePath = L"s", encoding = L"e", pageSize = L"p";
    bool fromExisting = true, autoVacuum = true;
    EXPECT_FALSE(CNewDbMgr().RunNewDatabaseDialog(newPath, sourcePath, fromExisting, encoding, pageSize, autoVacuum));
    EXPECT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(newPath, L"n");
    EXPECT_EQ(sourcePath, L"s");
    EXPECT_EQ(encoding, L"e");
    EXPECT_EQ(pageSize, L"p");
    EXPECT_TRUE(fromExisting);
    EXPECT_TRUE(autoVacuum);
}

// The folder browser starts at the remembered folder; a different folder is remembered,
// the same one (given without its separator) is not written again, a cancel only warns.
TEST_F(NewDatabase, BrowseFolderRemembersOnlyADifferentFolder)
{
    const std::wstring other = m_folder.Path(L"other");
    CCreateNewDbDlg dialog;
    dialog.m_edNewPath->setText("typed");

    AnswerFolder(std::nullopt);
    QTest::mouseClick(dialog.m_btnBrowseFolder, Qt::LeftButton);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, L"Please select a folder");
    EXPECT_EQ(m_boxes.Last().caption, L"Warning");
    EXPECT_EQ(m_boxes.Last().style, platform::MB_OK | platform::MB_ICONINFORMATION);
    EXPECT_EQ(dialog.m_edNewPath->text(), "typed");
    ASSERT_EQ(m_folderRequests.size(), 1u);
    EXPECT_EQ(m_folderRequests[0].initialFolder, m_dbFolder);
    EXPECT_EQ(m_folderRequests[0].title, L"Select a folder");

    AnswerFolder(m_dbFolder.substr(0, m_dbFolder.size() - 1));
    ExecRaw(m_store.m_strFilePath, "CREATE TRIGGER w BEFORE UPDATE ON NodeValue BEGIN SELECT RAISE(ABORT, 'written'); END;");
    QTest::mouseClick(dialog.m_btnBrowseFolder, Qt::LeftButton);
    EXPECT_EQ(dialog.m_edNewPath->text().toStdWString(), m_dbFolder);
    EXPECT_EQ(m_boxes.Count(), 1u); // no write was tried
    ExecRaw(m_store.m_strFilePath, "DROP TRIGGER w;");

    AnswerFolder(other);
    QTest::mouseClick(dialog.m_btnBrowseFolder, Qt::LeftButton);
    EXPECT_EQ(dialog.m_edNewPath->text().toStdWString(), other + L"/");
    EXPECT_EQ(g_strDbFolder, other + L"/");
    EXPECT_EQ(StoredFolder(), other + L"/");
    EXPECT_EQ(m_folderRequests.back().initialFolder, m_dbFolder);
    EXPECT_EQ(m_boxes.Count(), 1u);

    CCreateNewDbDlg next;
    EXPECT_EQ(next.m_edNewPath->text().toStdWString(), other + L"/");
}

// The source browser asks for an existing .db file; its choice fills the source path.
TEST_F(NewDatabase, BrowseSourceFillsTheSourcePath)
{
    std::vector<platform::FileRequest> requests;
    std::wstring answer = m_existing;
    ScopedFileHandler files([&](const platform::FileRequest& request) {
        requests.push_back(request);
        return answer;
    });
    CCreateNewDbDlg dialog;
    dialog.show();
    QTest::mouseClick(dialog.m_rbFromExisting, Qt::LeftButton);
    QTest::mouseClick(dialog.m_btnBrowseSource, Qt::LeftButton);
    EXPECT_EQ(dialog.m_edSourcePath->text().toStdWString(), m_existing);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_FALSE(requests[0].save);
    EXPECT_TRUE(requests[0].mustExist);
    EXPECT_EQ(requests[0].defaultExtension, L"db");
    EXPECT_EQ(requests[0].filter, L"Sqlite Files (*.db);;All Files (*)");
    EXPECT_EQ(requests[0].initialPath, L"");

    answer.clear();
    QTest::mouseClick(dialog.m_btnBrowseSource, Qt::LeftButton);
    EXPECT_EQ(dialog.m_edSourcePath->text().toStdWString(), m_existing);
}

} // namespace
