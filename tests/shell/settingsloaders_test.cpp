#include "data/constants.h"
#include "data/settings.h"
#include "shell/keywordlists.h"
#include "shell/settingsloaders.h"
#include "shellfixture.h"

#include <QDir>

namespace {

using SettingsLoadersTest = ShellFixture;

TEST_F(SettingsLoadersTest, AnEmptyStoreGetsEveryNodeWithItsDefaultAndTheGlobalsFollow)
{
    g_strFontFace = L"x";
    g_nMaxGridRows = 1;
    LoadDatasheetSettings();
    LoadBackupSettings();

    const std::wstring backupFolder = m_home + L"/TBNBackup";
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {NODE_CURFONT, L"Tahoma"},
        {NODE_CURFONTSIZE, L"14"},
        {NODE_CURTEXTCOLOR, L"0"},
        {NODE_CUREVENROWCOLOR, L"13816530"},
        {NODE_CURODDROWCOLOR, L"16448250"},
        {NODE_MAX_GRID_ROW, L"6000000"},
        {NODE_DEF_COL_WIDTH, L"100"},
        {NODE_DEF_REPORT_COL_WIDTH, L"2"},
        {NODE_REPORT_HEADER_TEXT, L" "},
        {NODE_REPORT_FOOTER_TEXT, L" "},
        {NODE_BUP_AUTO, L"0"},
        {NODE_BUP_PERIOD, L"1"},
        {NODE_BUP_WORK_FILE, L""},
        {NODE_BUP_LOCATION, backupFolder},
        {NODE_BACKUP_DATE_TIME, L"1899-12-30 00:00:00.0000"},
    };
    for (const auto& [node, value] : expected)
        EXPECT_EQ(Value(node), value) << testing_support::Utf8(node);
    EXPECT_EQ(Raw("SELECT count(*) FROM Node"), "15");
    EXPECT_EQ(Raw("SELECT group_concat(NodeType, '') FROM (SELECT NodeType FROM Node ORDER BY NodeID)"),
              "331111113311333");

    EXPECT_EQ(g_strFontFace, L"Tahoma");
    EXPECT_EQ(g_strFontSize, L"14");
    EXPECT_EQ(g_clrEvenRow, 13816530u);
    EXPECT_EQ(g_clrOddRow, 16448250u);
    EXPECT_EQ(g_nMaxGridRows.load(), 6000000);
    EXPECT_EQ(g_nBackupPeriod, 1);
    EXPECT_FALSE(g_bAutoBackup);
    EXPECT_EQ(g_strBackupFolder, backupFolder);
    EXPECT_EQ(g_strLastBackup, L"1899-12-30 00:00:00.0000");
    EXPECT_TRUE(QDir(platform::ToQString(backupFolder)).exists());
    EXPECT_EQ(m_boxes.Count(), 0u);

    // A second start adds nothing.
    LoadDatasheetSettings();
    LoadBackupSettings();
    EXPECT_EQ(Raw("SELECT count(*) FROM Node") + "/" + Raw("SELECT count(*) FROM NodeValue"), "15/15");
}

TEST_F(SettingsLoadersTest, NumberNodesReadAsDecimalsAndUnreadableNodesKeepTheGlobal)
{
    LoadDatasheetSettings();
    struct Case {
        std::wstring stored;
        int expected;
    };
    for (const Case& c : std::vector<Case>{{L"abc", 0}, {L" 120", 120}, {L"-7x", -7}, {L"99999999999", 2147483647}}) {
        m_store.UpdateTextValue(NODE_DEF_COL_WIDTH, c.stored);
        LoadDatasheetSettings();
        EXPECT_EQ(g_nDefColWidth, c.expected) << testing_support::Utf8(c.stored);
    }
    // A node without a value leaves its global as it was.
    testing_support::ExecRaw(m_storePath, "DELETE FROM NodeValue WHERE NodeID = (SELECT NodeID FROM Node WHERE "
                                          "NodeName = 'CONFIG\\DATASHEET\\CURFONT')");
    g_strFontFace = L"Kept";
    LoadDatasheetSettings();
    EXPECT_EQ(g_strFontFace, L"Kept");
}

TEST_F(SettingsLoadersTest, AnExistingBackupFolderNodeMakesNoFolder)
{
    m_store.CreateNode(NODE_BUP_LOCATION, NODE_TYPE_TEXT);
    m_store.AddTextValue(NODE_BUP_LOCATION, L"/nowhere/else");
    LoadBackupSettings();
    EXPECT_EQ(g_strBackupFolder, L"/nowhere/else");
    EXPECT_FALSE(QDir(platform::ToQString(m_home + L"/TBNBackup")).exists());
}

using KeywordListsTest = ShellFixture;

TEST_F(KeywordListsTest, AnEmptyStoreGetsTheElevenListsAndTheDatabaseFolder)
{
    g_strDbFolder = L"old";
    FillKeywordLists(m_store);

    const std::vector<std::wstring> types = Values(NODE_DB_DATA_TYPES);
    ASSERT_EQ(types.size(), 15u);
    EXPECT_EQ(types.front(), L"Integer");
    EXPECT_EQ(types.back(), L"New Type...");
    EXPECT_EQ(Values(NODE_PAGE_SIZES), (std::vector<std::wstring>{L"512", L"1024", L"2048", L"4096", L"8192", L"16384",
                                                                  L"32768", L"65536"}));
    EXPECT_EQ(Values(NODE_INITIALLY_TYPES),
              (std::vector<std::wstring>{L"INITIALLY DEFERRED", L"INITIALLY IMMEDIATE"}));
    const std::vector<std::wstring> pragmas = Values(NODE_PRAGMAS);
    ASSERT_EQ(pragmas.size(), 96u);
    EXPECT_EQ(pragmas.front(), L"application_id;");
    EXPECT_EQ(pragmas.back(), L"writable_schema = boolean;");
    EXPECT_EQ(std::count(pragmas.begin(), pragmas.end(), L"synchronous;"), 0);
    EXPECT_EQ(std::count(pragmas.begin(), pragmas.end(), L"defer_foreign_keys;"), 1);
    const std::vector<std::pair<const wchar_t*, size_t>> sizes = {
        {NODE_CONFLICT_TYPES, 5}, {NODE_COLLATE_TYPES, 3}, {NODE_SORTBY_TYPES, 2}, {NODE_FOREIGN_KEY_ACTION_TYPES, 5},
        {NODE_MATCH_TYPES, 3},    {NODE_DEFERRABLE_TYPES, 2}, {NODE_ENCODE_TYPES, 4}};
    for (const auto& [node, count] : sizes)
        EXPECT_EQ(Values(node).size(), count) << testing_support::Utf8(node);

    EXPECT_EQ(Value(NODE_USER_DB_LOCATION), m_home + L"/");
    EXPECT_EQ(g_strDbFolder, m_home + L"/");
    EXPECT_EQ(m_boxes.Count(), 0u);

    const std::string before = Raw("SELECT count(*) FROM NodeValue");
    FillKeywordLists(m_store);
    EXPECT_EQ(Raw("SELECT count(*) FROM NodeValue"), before);
    EXPECT_EQ(Raw("SELECT count(*) FROM Node"), "12");
}

TEST_F(KeywordListsTest, AnExistingListIsLeftAloneAndAMissingOneIsRemade)
{
    FillKeywordLists(m_store);
    testing_support::ExecRaw(m_storePath,
                             "DELETE FROM NodeValue WHERE NodeID IN (SELECT NodeID FROM Node WHERE NodeName IN "
                             "('SQLITE_PRAGMAS', 'SQLITE_COLLATE_TYPES'));"
                             "DELETE FROM Node WHERE NodeName = 'SQLITE_PRAGMAS';"
                             "INSERT INTO NodeValue (NodeID, TextVal) SELECT NodeID, 'ONE' FROM Node WHERE "
                             "NodeName = 'SQLITE_COLLATE_TYPES';"
                             "UPDATE NodeValue SET TextVal = '/data/dbs/' WHERE NodeID = (SELECT NodeID FROM Node "
                             "WHERE NodeName = 'USER\\DB\\LOCATION');");
    FillKeywordLists(m_store);
    EXPECT_EQ(Values(NODE_PRAGMAS).size(), 96u);
    EXPECT_EQ(Values(NODE_COLLATE_TYPES), std::vector<std::wstring>{L"ONE"});
    EXPECT_EQ(g_strDbFolder, L"/data/dbs/");
}

} // namespace
