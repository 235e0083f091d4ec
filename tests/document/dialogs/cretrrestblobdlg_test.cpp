#include "document/dialogs/cretrrestblobdlg.h"

#include "platform/utf16.h"
#include "scopedhandlers.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <vector>

namespace {

using testing_support::TempFolder;

// An empty cell offers only retrieving: Restore cannot be chosen at all.
TEST(RetrRestBlobDlg, EmptyCellOffersOnlyRetrieve)
{
    CRetrRestBlobDlg dialog(true);
    ScopedDialogHandler handler([](QDialog& shown) {
        auto& blob = static_cast<CRetrRestBlobDlg&>(shown);
        EXPECT_EQ(shown.windowTitle(), "Retrieve/Restore Blob");
        EXPECT_TRUE(blob.GetRetrieveButton()->isChecked());
        EXPECT_FALSE(blob.GetRestoreButton()->isEnabled());
        QTest::mouseClick(blob.GetRestoreButton(), Qt::LeftButton);
        EXPECT_EQ(blob.m_nMode, CRetrRestBlobDlg::MODE_RETRIEVE);
        EXPECT_EQ(blob.GetPrompt(), "Browse to file to be saved into database.");
        return QDialog::Rejected;
    });
    EXPECT_EQ(dialog.DoModal(), QDialog::Rejected);
}

// The radios switch the mode and the prompt back and forth.
TEST(RetrRestBlobDlg, RadiosSetModeAndPrompt)
{
    CRetrRestBlobDlg dialog(false);
    ScopedDialogHandler handler([](QDialog& shown) {
        auto& blob = static_cast<CRetrRestBlobDlg&>(shown);
        EXPECT_TRUE(blob.GetRestoreButton()->isEnabled());
        QTest::mouseClick(blob.GetRestoreButton(), Qt::LeftButton);
        EXPECT_EQ(blob.m_nMode, CRetrRestBlobDlg::MODE_RESTORE);
        EXPECT_EQ(blob.GetPrompt(), "Browse to folder and enter file name to be restored.");
        QTest::mouseClick(blob.GetRetrieveButton(), Qt::LeftButton);
        EXPECT_EQ(blob.m_nMode, CRetrRestBlobDlg::MODE_RETRIEVE);
        EXPECT_EQ(blob.GetPrompt(), "Browse to file to be saved into database.");
        return QDialog::Rejected;
    });
    dialog.DoModal();
}

// Browse asks for the file the mode needs; a chosen file closes the dialog with OK.
// Restoring may name a file that does not exist yet, and the save dialog is told to
// ask before it replaces one that does.
TEST(RetrRestBlobDlg, BrowseAsksForTheFileOfTheMode)
{
    TempFolder folder;
    struct Case {
        bool restore;
        std::wstring chosen;
    };
    const std::vector<Case> cases = {
        {false, folder.Path(L"picture.bmp")},
        {true, folder.Path(L"new-name.bmp")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.restore ? "restore" : "retrieve");
        std::vector<platform::FileRequest> requests;
        ScopedFileHandler files([&](const platform::FileRequest& request) {
            requests.push_back(request);
            return c.chosen;
        });
        CRetrRestBlobDlg dialog(false);
        ScopedDialogHandler handler([&](QDialog& shown) {
            auto& blob = static_cast<CRetrRestBlobDlg&>(shown);
            if (c.restore)
                QTest::mouseClick(blob.GetRestoreButton(), Qt::LeftButton);
            QTest::mouseClick(blob.GetBrowseButton(), Qt::LeftButton);
            return shown.result();
        });
        EXPECT_EQ(dialog.DoModal(), QDialog::Accepted);
        EXPECT_EQ(dialog.m_strPath, c.chosen);
        EXPECT_EQ(dialog.m_nMode, c.restore ? CRetrRestBlobDlg::MODE_RESTORE : CRetrRestBlobDlg::MODE_RETRIEVE);
        ASSERT_EQ(requests.size(), 1u);
        const platform::FileRequest& request = requests[0];
        EXPECT_EQ(request.save, c.restore);
        EXPECT_EQ(request.mustExist, !c.restore);
        EXPECT_TRUE(request.confirmOverwrite);
        EXPECT_EQ(request.defaultExtension, L"bmp");
        EXPECT_EQ(request.filter, L"All Files (*)");
        EXPECT_EQ(request.initialPath, L"");
    }
}

// A cancelled file dialog keeps the blob dialog open with nothing chosen; Cancel then
// closes it.
TEST(RetrRestBlobDlg, CancelledBrowseKeepsTheDialogOpen)
{
    int asked = 0;
    ScopedFileHandler files([&](const platform::FileRequest&) {
        ++asked;
        return std::wstring();
    });
    CRetrRestBlobDlg dialog(false);
    ScopedDialogHandler handler([&](QDialog& shown) {
        auto& blob = static_cast<CRetrRestBlobDlg&>(shown);
        QTest::mouseClick(blob.GetBrowseButton(), Qt::LeftButton);
        EXPECT_TRUE(shown.isVisible());
        EXPECT_EQ(shown.result(), QDialog::Rejected);
        QPushButton* cancel = nullptr;
        for (QPushButton* button : shown.findChildren<QPushButton*>())
            if (button->text() == "Cancel")
                cancel = button;
        EXPECT_NE(cancel, nullptr);
        if (cancel)
            QTest::mouseClick(cancel, Qt::LeftButton);
        EXPECT_FALSE(shown.isVisible());
        return shown.result();
    });
    EXPECT_EQ(dialog.DoModal(), QDialog::Rejected);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(dialog.m_strPath.empty());
}

} // namespace
