// The caption strip's line after each command says what is true then: the sort's line
// goes with the sort (a warning that came meanwhile stays), a search hit, Go To and an
// inserted row name the row and count as they are now, and with every window closed
// the strip names none.
#include "data/constants.h"
#include "data/settings.h"
#include "document/datasheet/cdataaccess.h"
#include "document/grid/clistctrlcombo.h"
#include "document/strip/ccaptiondlg.h"
#include "document/windows/ctabulonview.h"
#include "datawindowfixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace {

class CaptionLines : public DataWindowFixture {
protected:
    void SetUp() override
    {
        DataWindowFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(OpenDatabase(
            L"lines.db", "CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT);"
                         "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10)"
                         "INSERT INTO t SELECT i, 'name ' || (11 - i) FROM n;"));
        m_nSavedLimit = g_nMaxGridRows.load();
    }
    void TearDown() override
    {
        g_nMaxGridRows = m_nSavedLimit;
        DataWindowFixture::TearDown();
    }
    std::wstring Line() const { return m_captionBar.GetCaptionDlg()->GetMessageText(); }
    int LineType() const { return m_captionBar.GetCaptionDlg()->GetMessageType(); }
    CListFrame& Frame(CTabulonDoc* document) const
    {
        return qobject_cast<CTabulonView*>(document->GetViews().front())->m_wndGrid;
    }
    DatasheetFrame& Datasheet(CTabulonDoc* document) const
    {
        return *qobject_cast<CTabulonView*>(document->GetViews().front())->m_pDatasheet;
    }
    // The loader's lines, queued from its thread, have arrived.
    static void Settle(CDataAccess& model)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return model.IsLoadEnded(); }, 10000));
        QCoreApplication::processEvents();
    }

    int m_nSavedLimit = 0;
};

TEST_F(CaptionLines, TheSortLineGoesWithTheSortButAWarningMeanwhileStays)
{
    CTabulonDoc* document = Request(OpenTableData, L"t");
    ASSERT_NE(document, nullptr);
    CDataAccess& model = *document->m_pDataAccess;
    Settle(model);
    ASSERT_TRUE(model.Sort(L"name", SORT_ASCENDING));
    Settle(model);
    EXPECT_NE(Line(), STR_SORTING);
    EXPECT_TRUE(Line().empty());

    // With a row limit the loader warns while the rows are sorted again: the warning stays.
    g_nMaxGridRows = 4;
    m_boxes.Clear();
    ASSERT_TRUE(model.Sort(L"name", SORT_DESCENDING));
    Settle(model);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Line() == STR_ROW_LIMIT_REACHED; }, 10000));
    EXPECT_EQ(LineType(), platform::CAPTION_LINE_WARNING);
}

TEST_F(CaptionLines, SearchGoToAndInsertNameTheRowAndCountAsTheyAreNow)
{
    CTabulonDoc* document = Request(OpenTableData, L"t");
    ASSERT_NE(document, nullptr);
    CListFrame& frame = Frame(document);
    DatasheetFrame& datasheet = Datasheet(document);
    Settle(*document->m_pDataAccess);
    frame.OnRowClicked(1);
    ASSERT_EQ(Line(), L"<t row 2 of 10>");

    EXPECT_FALSE(datasheet.OnGridSearch(SEARCH_GO_TO_ROW, L"7"));
    EXPECT_EQ(Line(), L"<t row 7 of 10>");
    EXPECT_TRUE(datasheet.OnGridSearch(SEARCH_WHOLE_FIELD, L"1"));
    EXPECT_EQ(Line(), L"<t row 1 of 10>");
    EXPECT_TRUE(datasheet.OnGridSearch(SEARCH_WHOLE_FIELD, L"4"));
    EXPECT_EQ(Line(), L"<t row 4 of 10>");

    // A row typed into the new-row line counts at once.
    CListCtrlCombo* grid = frame.GetGrid();
    datasheet.OnGridAddRow();
    ASSERT_EQ(grid->m_nCurrentRow, 10);
    auto* editor = qobject_cast<QLineEdit*>(grid->GetEditorWidget(1));
    ASSERT_NE(editor, nullptr);
    grid->EndEdit(10);
    grid->BeginEdit(10, 1, true);
    QTest::keyClicks(editor, "new");
    grid->EndEdit(-1);
    ASSERT_EQ(grid->GetRecordCount(), 11);
    EXPECT_EQ(Line(), L"<t row 11 of 11>");
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// Whatever kind the last window is, its closing leaves the strip naming nothing.
TEST_F(CaptionLines, TheStripNamesNoWindowOnceEveryWindowClosed)
{
    CTabulonDoc* table = Request(OpenTableData, L"t");
    CTabulonDoc* diagram = Request(OpenRelationships, STR_TABLE_RELATION_TITLE);
    ASSERT_NE(table, nullptr);
    ASSERT_NE(diagram, nullptr);
    Settle(*table->m_pDataAccess);
    table->OnCloseDocument();
    ASSERT_EQ(WindowCount(), 1u);
    diagram = static_cast<CTabulonDoc*>(DataWindowTemplate().GetDocuments().front());
    m_captionBar.GetCaptionDlg()->SetMessage(L"<Active View:<Table Relation>>", platform::CAPTION_LINE_NORMAL);
    diagram->OnCloseDocument();
    EXPECT_EQ(WindowCount(), 0u);
    EXPECT_TRUE(Line().empty());
}

} // namespace
