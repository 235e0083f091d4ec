#pragma once
// Grid fixtures: an owner window that records the frame's messages, a shown and active
// host window, and a datasheet over a real database file wired as the data view wires it.
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/settings.h"
#include "document/strip/cacaptionbar.h"
#include "document/datasheet/cdataaccess.h"
#include "document/datasheet/cdatainterface.h"
#include "document/datasheet/datasheetrows.h"
#include "document/grid/clistctrlcombo.h"
#include "document/grid/griditemmodel.h"
#include "document/grid/clistframe.h"
#include "document/windows/datasheetframe.h"
#include "databasefixture.h"
#include "ownerwindow.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QPaintEvent>
#include <QRegion>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

// A table t of numbered rows: row n holds id n, name 'n' || n and qty n * 10.
namespace numbered {
enum Column { ID, NAME, QTY };

inline std::string NumberedTable(int rows)
{
    return "CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT, qty INTEGER);"
           "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x<" + std::to_string(rows) +
           ") INSERT INTO t SELECT x, 'n' || x, x * 10 FROM c;";
}
} // namespace numbered

// Records the regions a widget is painted in from now on.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* widget)
        : m_pWidget(widget)
    {
        widget->installEventFilter(this);
    }
    ~PaintRecorder() override { m_pWidget->removeEventFilter(this); }
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }

private:
    QWidget* m_pWidget;
};

// Shows the window and waits until it is the active window.
inline void ShowActive(QWidget& window)
{
    window.resize(640, 400);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// A grid frame inside a shown, active owner window, with the caption bar the frame
// reports to. Its datasheet side is wired by OpenDatasheet.
class GridFixture : public DatabaseFixture {
protected:
    void SetUp() override
    {
        DatabaseFixture::SetUp();
        g_clrEvenRow = 0x0000FF00; // green (0x00BBGGRR)
        g_clrOddRow = 0x00FF0000;  // blue
        g_clrText = 0x00000000;
        g_strFontFace = STR_DEFAULT_FONT_FACE;
        g_strFontSize = STR_DEFAULT_FONT_SIZE;
        m_captionBar = std::make_unique<CACaptionBar>();
        m_mainFrame.m_pCaptionBar = m_captionBar.get();
        m_lines = std::make_unique<testing_support::CaptionRecorder>();
    }
    void TearDown() override
    {
        CloseFrame();
        m_model.reset();
        m_lines.reset();
        m_mainFrame.m_pCaptionBar = nullptr;
        m_captionBar.reset();
        DatabaseFixture::TearDown();
    }

    // A list-mode frame with the given columns (title, kind), 100 pixels wide, shown.
    CListFrame& MakeListFrame(const std::vector<std::pair<std::wstring, int>>& columns, bool readOnly = false)
    {
        CloseFrame();
        m_frame = std::make_unique<CListFrame>();
        m_frame->m_nMode = CListFrame::MODE_LIST;
        m_frame->m_bReadOnly = readOnly ? 1 : 0;
        m_frame->Create(&m_owner, QRect(0, 0, 600, 380));
        for (const auto& [title, kind] : columns)
            m_frame->AddColumn(title, kind, 100, 1, -1);
        m_frame->InitGrid();
        ShowActive(m_owner);
        return *m_frame;
    }

    // Fills a list grid: row r holds texts[r].
    void FillList(const std::vector<std::vector<std::wstring>>& texts)
    {
        CListCtrlCombo* grid = m_frame->GetGrid();
        for (const auto& line : texts) {
            const int row = grid->InsertItem(grid->GetItemCount(), line[0]);
            for (size_t c = 1; c < line.size(); ++c)
                grid->SetItemText(row, static_cast<int>(c), line[c]);
        }
    }

    // Opens the database file made by the script as the current database.
    void OpenDatabase(const std::string& script)
    {
        ResetDatabaseGlobals();
        DatabaseFixture::OpenDatabase(L"grid.db", script);
    }

    // A datasheet of the source (mode 0 table, 1 query) as the data view sets it up:
    // one column per record-set column by its type, the rows loaded so far, InitGrid.
    // waitLoaded: returns once loading ended and the new-row line is there.
    CListFrame& OpenDatasheet(const std::wstring& source, int mode = RECSET_MODE_TABLE, bool waitLoaded = true)
    {
        m_model = std::make_unique<CDataAccess>();
        m_model->m_pDataInterface = &m_bridge;
        m_bridge.m_pDataAccess = m_model.get();
        EXPECT_TRUE(m_model->Open(source, mode));
        m_model->InitRowBuffers();
        MakeDatasheetFrame();
        m_frame->m_strTitle = source;
        m_frame->Create(&m_owner, QRect(0, 0, 600, 380));
        CRecSet& recSet = *m_model->m_pRecSet;
        for (int i = 0; i < recSet.m_nFields; ++i) {
            CADbSqlFieldInfo info;
            recSet.GetFieldInfo(i, info);
            const int type = info.GetType();
            const int kind = type == 4 ? GRID_BUTTON : type == 6 || type == 8 ? GRID_DATE_EDIT
                                                     : type == 7            ? GRID_TIME_EDIT
                                                                            : GRID_EDIT;
            m_frame->AddColumn(info.m_strName, kind, 130, 1, type);
        }
        m_frame->GetGrid()->SetItemCountEx(m_model->GetRecordCount());
        m_datasheet->InitGrid();
        if (mode != 0)
            m_frame->m_bReadOnly = 1;
        ShowActive(m_owner);
        if (waitLoaded) {
            EXPECT_TRUE(QTest::qWaitFor([this] {
                return m_model->IsLoadEnded() && Grid()->GetItemCount() == m_model->GetRecordCount() + 1;
            }, 10000));
        }
        return *m_frame;
    }

    CListCtrlCombo* Grid() const { return m_frame->GetGrid(); }

    // A grid frame, not yet created, set up as a datasheet frame over rows of its own
    // that the bridge tells, in place of the frame before.
    void MakeDatasheetFrame()
    {
        CloseFrame();
        m_rows = std::make_unique<DatasheetRows>(m_bridge);
        m_frame = std::make_unique<CListFrame>();
        m_datasheet = std::make_unique<DatasheetFrame>(*m_frame, *m_rows, m_bridge);
    }
    // The frame goes, with its datasheet side and its rows.
    void CloseFrame()
    {
        m_datasheet.reset();
        m_frame.reset();
        m_rows.reset();
    }

    // The selected rows in ascending order, by the grid's own selection walk.
    std::vector<int> Selected() const
    {
        std::vector<int> rows;
        Grid()->m_bSelectionRestart = 1;
        for (int row = Grid()->GetNextSelectedItem(); row >= 0; row = Grid()->GetNextSelectedItem())
            rows.push_back(row);
        return rows;
    }

    // The centre of a cell in the grid's viewport.
    QPoint CellCentre(int row, int column) const { return Grid()->GetCellRect(row, column).center(); }

    void Click(int row, int column)
    {
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(), CellCentre(row, column));
    }
    // A double-click as the window system delivers it: press, release, press, double-click, release.
    void DoubleClickAt(const QPoint& viewportPoint)
    {
        QTest::mouseDClick(m_owner.windowHandle(), Qt::LeftButton, Qt::KeyboardModifiers(),
                           Grid()->viewport()->mapTo(&m_owner, viewportPoint));
    }
    void DoubleClick(int row, int column) { DoubleClickAt(CellCentre(row, column)); }

    // Sends a key to the widget that has the focus.
    static void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, key, modifiers);
    }
    static void Type(const QString& text)
    {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClicks(focus, text);
    }

    std::string Raw(const std::string& sql) const { return testing_support::QueryRaw(m_path, sql); }

    std::unique_ptr<CACaptionBar> m_captionBar;
    std::unique_ptr<testing_support::CaptionRecorder> m_lines;
    OwnerWindow m_owner;
    CDataInterface m_bridge;
    std::unique_ptr<CDataAccess> m_model;
    std::unique_ptr<DatasheetRows> m_rows;
    std::unique_ptr<CListFrame> m_frame;
    std::unique_ptr<DatasheetFrame> m_datasheet; // the datasheet side of m_frame
};
