#include "data/constants.h"
#include "data/settings.h"
#include "document/report/creportrenderer.h"
#include "scopedhandlers.h"
#include "platform/folderdialog.h"
#include "platform/widgets/colorpicker.h"
#include "platform/widgets/fontprovider.h"
#include "shell/cappconfigsheet.h"
#include "shell/settingsloaders.h"
#include "shellfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

class FakeFonts final : public platform::FontProvider {
public:
    QStringList Families() const override
    {
        return {QStringLiteral("Zeta"), QStringLiteral("Tahoma Bold"), QStringLiteral("tahoma"),
                QStringLiteral("Fixed Face"), QStringLiteral("Alpha")};
    }
    bool IsScalable(const QString& family) const override { return family != QStringLiteral("Fixed Face"); }
    QList<int> FixedSizes(const QString&) const override { return {12, 10, 9, 1, 12}; /* "1" after "12" and "10" */ }
};

QStringList Items(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

class SettingsSheetTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        m_previousFonts = platform::SetFontProvider(&m_fonts);
        LoadDatasheetSettings();
        LoadBackupSettings();
    }
    void TearDown() override
    {
        platform::SetFontProvider(m_previousFonts);
        platform::SetColorHandler({});
        ShellFixture::TearDown();
    }

    // Opens the sheet and lets the test work in it; the test's last step closes it.
    void RunSheet(const std::function<void(CAppConfigSheet&)>& work)
    {
        CAppConfigSheet sheet(nullptr);
        ScopedDialogHandler handler([&](QDialog&) {
            work(sheet);
            return sheet.result();
        });
        platform::RunModal(sheet);
    }

    FakeFonts m_fonts;
    const platform::FontProvider* m_previousFonts = nullptr;
};

TEST(ColorrefTest, ChannelsRoundTripInTheirStoredOrder)
{
    const QColor color = platform::ColorFromColorref(0x00123456);
    EXPECT_EQ(color, QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(platform::ColorrefFromColor(color), 0x00123456u);
    EXPECT_EQ(platform::ColorrefFromColor(QColor(210, 210, 210)), 13816530u);
}

TEST_F(SettingsSheetTest, TheDatasheetPageShowsTheStoredValuesAndStartsUnchanged)
{
    m_store.UpdateTextValue(NODE_DEF_COL_WIDTH, L"77");
    g_nDefColWidth = 5; // the page reloads the store
    RunSheet([&](CAppConfigSheet& sheet) {
        CDataSheetPage& page = sheet.m_dataSheetPage;
        ASSERT_TRUE(page.IsCreated());
        EXPECT_FALSE(sheet.m_dbConfigPage.IsCreated());
        EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Tabulon Settings"));
        EXPECT_EQ(Items(page.m_cboFontFace),
                  (QStringList{"Alpha", "Fixed Face", "Tahoma", "Zeta"}));
        EXPECT_EQ(page.m_cboFontFace->currentText(), QStringLiteral("Tahoma"));
        EXPECT_EQ(Items(page.m_cboFontSize),
                  (QStringList{"12", "14", "16", "18", "20", "22", "24", "26", "28", "36", "48"}));
        EXPECT_EQ(page.m_cboFontSize->currentText(), QStringLiteral("14"));
        EXPECT_EQ(page.m_edtDefColWidth->text(), QStringLiteral("77"));
        EXPECT_EQ(page.m_edtMaxRows->text(), QStringLiteral("6000000"));
        EXPECT_TRUE(page.m_radDefault->isChecked());
        EXPECT_FALSE(page.m_radShorter->isChecked() || page.m_radLonger->isChecked());
        EXPECT_FALSE(sheet.ApplyButton()->isEnabled());

        // A fixed-size family lists its sizes in order, each once, matched exactly.
        page.m_cboFontFace->setCurrentText(QStringLiteral("Fixed Face"));
        emit page.m_cboFontFace->activated(page.m_cboFontFace->currentIndex());
        EXPECT_EQ(Items(page.m_cboFontSize), (QStringList{"1", "9", "10", "12"}));
        EXPECT_EQ(page.m_cboFontSize->currentIndex(), -1);
        EXPECT_EQ(g_strFontFace, L"Fixed Face");
        EXPECT_EQ(g_strFontSize, L"14");
        EXPECT_TRUE(sheet.ApplyButton()->isEnabled());
        sheet.CancelButton()->click();
    });
}

TEST_F(SettingsSheetTest, TheRowLimitEditAloneLeavesApplyDisabledButOkStoresIt)
{
    RunSheet([&](CAppConfigSheet& sheet) {
        sheet.m_dataSheetPage.m_edtMaxRows->setText(QStringLiteral("5000"));
        EXPECT_FALSE(sheet.ApplyButton()->isEnabled());
        sheet.m_dataSheetPage.m_edtHeader->setText(QStringLiteral("it's \"ours\""));
        EXPECT_TRUE(sheet.ApplyButton()->isEnabled());
        sheet.OkButton()->click();
    });
    EXPECT_EQ(Value(NODE_MAX_GRID_ROW), L"5000");
    EXPECT_EQ(g_nMaxGridRows.load(), 5000);
    EXPECT_EQ(Value(NODE_REPORT_HEADER_TEXT), L"it's \"ours\"");
    EXPECT_EQ(g_strReportHeader, L"it's \"ours\""); // the next report's at once
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(SettingsSheetTest, OnlyPositiveWidthsAreStoredAndRestoredDefaultsAreWrittenAnyway)
{
    struct Case {
        QString typed;
        std::wstring stored;
        int global;
    };
    for (const Case& c : std::vector<Case>{{"0", L"100", 100}, {"-5", L"100", 100}, {"abc", L"100", 100},
                                           {" 120", L" 120", 120}}) {
        RunSheet([&](CAppConfigSheet& sheet) {
            sheet.m_dataSheetPage.m_edtDefColWidth->setText(c.typed);
            sheet.OkButton()->click();
        });
        EXPECT_EQ(Value(NODE_DEF_COL_WIDTH), c.stored) << c.typed.toStdString();
        EXPECT_EQ(g_nDefColWidth, c.global) << c.typed.toStdString();
    }
    m_store.UpdateTextValue(NODE_DEF_COL_WIDTH, L"100 ");
    m_store.UpdateTextValue(NODE_MAX_GRID_ROW, L"6000000 ");
    g_clrText = 0x123456;
    RunSheet([&](CAppConfigSheet& sheet) {
        sheet.m_dataSheetPage.m_btnRestoreDefaults->click();
        EXPECT_EQ(sheet.m_dataSheetPage.m_edtHeader->text(), QStringLiteral(" "));
        EXPECT_TRUE(sheet.ApplyButton()->isEnabled());
        sheet.ApplyButton()->click();
        EXPECT_FALSE(sheet.ApplyButton()->isEnabled());
        sheet.CancelButton()->click();
    });
    EXPECT_EQ(Value(NODE_DEF_COL_WIDTH), L"100");
    EXPECT_EQ(Value(NODE_MAX_GRID_ROW), L"6000000");
    EXPECT_EQ(Value(NODE_CURTEXTCOLOR), L"0");
}

// What the page changes in memory while it is open (so that the grids show it at once)
// goes back as it was on Cancel, however the sheet is left; what was applied stays.
TEST_F(SettingsSheetTest, CancelPutsBackEveryDatasheetValueThePageChanged)
{
    platform::SetColorHandler([&](QWidget*, unsigned, unsigned& chosen) {
        chosen = 0x00123456;
        return true;
    });
    struct Before {
        std::wstring face = g_strFontFace, size = g_strFontSize, header = g_strReportHeader, footer = g_strReportFooter;
        unsigned text = g_clrText, even = g_clrEvenRow, odd = g_clrOddRow;
        int rows = g_nMaxGridRows, width = g_nDefColWidth, report = g_nReportColWidth;
    };
    const auto expectAsBefore = [](const Before& before) {
        EXPECT_EQ(g_strFontFace, before.face);
        EXPECT_EQ(g_strFontSize, before.size);
        EXPECT_EQ(g_strReportHeader, before.header);
        EXPECT_EQ(g_strReportFooter, before.footer);
        EXPECT_EQ(g_clrText, before.text);
        EXPECT_EQ(g_clrEvenRow, before.even);
        EXPECT_EQ(g_clrOddRow, before.odd);
        EXPECT_EQ(g_nMaxGridRows, before.rows);
        EXPECT_EQ(g_nDefColWidth, before.width);
        EXPECT_EQ(g_nReportColWidth, before.report);
    };
    // Values off the defaults, so that Restore Default Settings changes each of them.
    g_strFontFace = L"Zeta";
    g_strFontSize = L"20";
    g_clrText = 7;
    g_clrEvenRow = 8;
    g_clrOddRow = 9;
    g_nMaxGridRows = 500;
    g_nDefColWidth = 80;
    g_nReportColWidth = 3;
    // The page shows what is stored.
    m_store.UpdateTextValue(NODE_CURFONT, L"Zeta");
    m_store.UpdateTextValue(NODE_CURFONTSIZE, L"20");
    m_store.UpdateTextValue(NODE_CURTEXTCOLOR, L"7");
    m_store.UpdateTextValue(NODE_CUREVENROWCOLOR, L"8");
    m_store.UpdateTextValue(NODE_CURODDROWCOLOR, L"9");
    m_store.UpdateTextValue(NODE_MAX_GRID_ROW, L"500");
    m_store.UpdateTextValue(NODE_DEF_COL_WIDTH, L"80");
    m_store.UpdateTextValue(NODE_DEF_REPORT_COL_WIDTH, L"3");
    const Before before;

    struct Case {
        const char* name;
        std::function<void(CDataSheetPage&)> change;
        std::function<void(CAppConfigSheet&)> leave;
    };
    const auto cancel = [](CAppConfigSheet& sheet) { sheet.CancelButton()->click(); };
    const auto escape = [](CAppConfigSheet& sheet) { QTest::keyClick(&sheet, Qt::Key_Escape); };
    const auto closeBox = [](CAppConfigSheet& sheet) { sheet.close(); };
    const std::vector<Case> cases = {
        {"colours", [](CDataSheetPage& page) {
             page.m_btnTextColor->click();
             page.m_btnEvenRowColor->click();
             page.m_btnOddRowColor->click();
         }, cancel},
        {"font face and size", [](CDataSheetPage& page) {
             page.m_cboFontFace->setCurrentIndex(0);
             emit page.m_cboFontFace->activated(0);
             page.m_cboFontSize->setCurrentIndex(0);
             emit page.m_cboFontSize->activated(0);
         }, escape},
        {"report width", [](CDataSheetPage& page) { page.m_radShorter->click(); }, closeBox},
        {"restored defaults", [](CDataSheetPage& page) { page.m_btnRestoreDefaults->click(); }, cancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool changed = false;
        RunSheet([&](CAppConfigSheet& sheet) {
            c.change(sheet.m_dataSheetPage);
            changed = g_clrText != before.text || g_strFontFace != before.face || g_nReportColWidth != before.report ||
                      g_nMaxGridRows != before.rows;
            c.leave(sheet);
        });
        EXPECT_TRUE(changed) << "the change took effect while the sheet was open";
        expectAsBefore(before);
    }

    // Applied, then changed again, then cancelled: the applied value stays.
    RunSheet([&](CAppConfigSheet& sheet) {
        sheet.m_dataSheetPage.m_radShorter->click();
        sheet.ApplyButton()->click();
        sheet.m_dataSheetPage.m_radDefault->click();
        sheet.m_dataSheetPage.m_btnOddRowColor->click();
        sheet.CancelButton()->click();
    });
    EXPECT_EQ(g_nReportColWidth, 1);
    EXPECT_EQ(g_clrOddRow, before.odd);
    EXPECT_EQ(Value(NODE_DEF_REPORT_COL_WIDTH), L"1");
}

// The header and footer saved with OK are the next report's, without a restart.
TEST_F(SettingsSheetTest, AHeaderAndFooterSavedWithOkAreUsedAtOnce)
{
    RunSheet([&](CAppConfigSheet& sheet) {
        sheet.m_dataSheetPage.m_edtHeader->setText(QStringLiteral("Quarterly stock"));
        sheet.m_dataSheetPage.m_edtFooter->setText(QStringLiteral("Confidential"));
        sheet.OkButton()->click();
    });
    EXPECT_EQ(Value(NODE_REPORT_HEADER_TEXT), L"Quarterly stock");
    EXPECT_EQ(CurrentReportSettings().header, L"Quarterly stock");
    EXPECT_EQ(CurrentReportSettings().footer, L"Confidential");
    // Typed, then cancelled: neither store nor report takes it.
    RunSheet([&](CAppConfigSheet& sheet) {
        sheet.m_dataSheetPage.m_edtHeader->setText(QStringLiteral("Draft"));
        sheet.CancelButton()->click();
    });
    EXPECT_EQ(CurrentReportSettings().header, L"Quarterly stock");
    EXPECT_EQ(Value(NODE_REPORT_HEADER_TEXT), L"Quarterly stock");
}

// A backup file and folder chosen with Browse and then cancelled are not where the next
// backup goes.
TEST_F(SettingsSheetTest, CancelPutsBackTheBackupFileAndFolderChosenWithBrowse)
{
    g_strBackupFile = L"/data/shop.db";
    g_strBackupFolder = L"/backups";
    ScopedFileHandler files([](const platform::FileRequest&) { return std::wstring(L"/data/other.db"); });
    const platform::FolderHandler previousFolder =
        platform::SetFolderHandler([](const platform::FolderRequest&) { return std::wstring(L"/elsewhere"); });
    RunSheet([&](CAppConfigSheet& sheet) {
        sheet.SetActivePage(1);
        sheet.m_dbConfigPage.m_btnBrowseFile->click();
        sheet.m_dbConfigPage.m_btnBrowseFolder->click();
        EXPECT_EQ(g_strBackupFile, L"/data/other.db");
        EXPECT_EQ(g_strBackupFolder, L"/elsewhere");
        sheet.CancelButton()->click();
    });
    EXPECT_EQ(g_strBackupFile, L"/data/shop.db");
    EXPECT_EQ(g_strBackupFolder, L"/backups");

    // With OK they stay, in memory and in the store.
    RunSheet([&](CAppConfigSheet& sheet) {
        sheet.SetActivePage(1);
        sheet.m_dbConfigPage.m_btnBrowseFolder->click();
        sheet.OkButton()->click();
    });
    platform::SetFolderHandler(previousFolder);
    EXPECT_EQ(g_strBackupFolder, L"/elsewhere");
    EXPECT_EQ(Value(NODE_BUP_LOCATION), L"/elsewhere");
}

TEST_F(SettingsSheetTest, TheBackupPageIsBuiltOnlyWhenShownAndOnlyThenSaved)
{
    m_store.UpdateTextValue(NODE_BUP_PERIOD, L"4");
    LoadBackupSettings();
    RunSheet([&](CAppConfigSheet& sheet) { sheet.OkButton()->click(); });
    EXPECT_EQ(m_boxes.Count(), 0u); // never shown, so never asked
    EXPECT_EQ(Value(NODE_BUP_PERIOD), L"4");

    m_store.UpdateTextValue(NODE_BACKUP_DATE_TIME, L"2014-11-01 10:00:00");
    g_strBackupFile = L"/data/shop.db";
    ScopedFileHandler files([](const platform::FileRequest& request) {
        EXPECT_EQ(request.initialPath, L"/data/shop.db");
        EXPECT_EQ(request.defaultExtension, L"db");
        return std::wstring(L"/data/other.db");
    });
    const platform::FolderHandler previousFolder = platform::SetFolderHandler([](const platform::FolderRequest& request) {
        EXPECT_EQ(request.title, L"Select Backup Folder");
        return std::wstring();
    });
    RunSheet([&](CAppConfigSheet& sheet) {
        sheet.SetActivePage(1);
        CDBConfigPage& page = sheet.m_dbConfigPage;
        ASSERT_TRUE(page.IsCreated());
        ASSERT_EQ(m_boxes.Count(), 1u);
        EXPECT_EQ(m_boxes.Last().text, L"Unknown Backup period");
        EXPECT_FALSE(page.m_radDaily->isChecked() || page.m_radWeekly->isChecked() || page.m_radEveryOpening->isChecked());
        EXPECT_EQ(page.m_lblLastBackup->text(), QStringLiteral("Last Backup: 2014-11-01 10:00:00"));
        EXPECT_EQ(page.m_lblToday->text(), QStringLiteral("Today Date Time: 2014-11-07 09:05:03"));
        EXPECT_FALSE(sheet.ApplyButton()->isEnabled());
        page.m_chkAutoBackup->click();
        EXPECT_FALSE(sheet.ApplyButton()->isEnabled());
        page.m_btnBrowseFolder->click(); // cancelled: nothing changes
        EXPECT_FALSE(sheet.ApplyButton()->isEnabled());
        page.m_btnBrowseFile->click();
        EXPECT_EQ(page.m_edtBackupFile->text(), QStringLiteral("/data/other.db"));
        EXPECT_TRUE(sheet.ApplyButton()->isEnabled());
        sheet.OkButton()->click();
    });
    platform::SetFolderHandler(previousFolder);
    EXPECT_EQ(Value(NODE_BUP_PERIOD), L"4");
    EXPECT_EQ(Value(NODE_BUP_AUTO), L"1");
    EXPECT_EQ(Value(NODE_BUP_WORK_FILE), L"/data/other.db");
    EXPECT_EQ(g_strLastBackup, L"2014-11-01 10:00:00");
}

TEST_F(SettingsSheetTest, AnEmptyBackupFileKeepsItsStoredValue)
{
    m_store.UpdateTextValue(NODE_BUP_WORK_FILE, L"/kept.db");
    g_strBackupFile.clear();
    RunSheet([&](CAppConfigSheet& sheet) {
        sheet.SetActivePage(1);
        sheet.m_dbConfigPage.m_radWeekly->click();
        sheet.OkButton()->click();
    });
    EXPECT_EQ(Value(NODE_BUP_WORK_FILE), L"/kept.db");
    EXPECT_EQ(Value(NODE_BUP_PERIOD), L"2");
    EXPECT_EQ(g_nBackupPeriod, 2);
}

} // namespace
