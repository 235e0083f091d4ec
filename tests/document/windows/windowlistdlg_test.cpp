// The window list: every data window by its title in the tabs' order, the active one
// chosen; Activate brings the chosen window forward and closes the list, Close closes
// the chosen windows as their own Close does and refuses while a report is previewed,
// OK closes the list; there is no help button.
#include "document/session/reportprinting.h"
#include "document/windows/ctabulondoc.h"
#include "document/windows/ctabulonview.h"
#include "document/windows/datawindows.h"
#include "document/windows/windowlistdlg.h"
#include "datawindowfixture.h"
#include "dialogscript.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

namespace {

// A report whose preview runs.
class RunningPreview : public QObject, public ReportPrinting {
public:
    bool IsPrinting() const override { return true; }
};

class WindowList : public DataWindowFixture {
protected:
    void SetUp() override
    {
        DataWindowFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(OpenDatabase(L"list.db", "CREATE TABLE t(a); CREATE TABLE u(b); CREATE VIEW v AS SELECT a FROM t;"));
        ASSERT_NE(m_table = Request(OpenTableData, L"t"), nullptr);
        ASSERT_NE(OpenNewDataWindow(), nullptr);
        ASSERT_NE(Request(OpenTableData, L"u"), nullptr);
        ASSERT_NE(Request(OpenViewData, L"v"), nullptr);
        // The first window of t is the active one.
        FindDataView(m_table)->GetParentFrame()->ActivateFrame();
    }

    // Runs the list; the step answers it while it is shown.
    void RunList(const std::function<void(WindowListDialog&)>& step)
    {
        m_script.On("WindowListDialog", [&](QDialog& dialog) { step(static_cast<WindowListDialog&>(dialog)); });
        WindowListDialog dialog(&m_area, nullptr);
        m_nResult = dialog.DoModal();
    }
    static QStringList Texts(const QListWidget* list)
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }
    static void Choose(QListWidget* list, const QString& title)
    {
        list->clearSelection();
        const QList<QListWidgetItem*> found = list->findItems(title, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << title.toStdString();
        found.front()->setSelected(true);
    }
    QStringList AreaTitles() const
    {
        QStringList titles;
        for (QMdiSubWindow* window : m_area.subWindowList())
            titles << window->windowTitle();
        return titles;
    }

    CTabulonDoc* m_table = nullptr;
    DialogScript m_script;
    int m_nResult = -1;
};

TEST_F(WindowList, ListsTheWindowsAndActivatesTheChosenOne)
{
    RunList([this](WindowListDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Windows");
        EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
        QStringList buttons;
        for (const QPushButton* button : dialog.findChildren<QPushButton*>())
            buttons << button->text();
        EXPECT_EQ(buttons, (QStringList{"&Activate", "&Close", "OK"}));
        QListWidget* list = dialog.GetList();
        EXPECT_EQ(Texts(list), (QStringList{"t:1", "t:2", "u", "v"}));
        ASSERT_EQ(list->selectedItems().size(), 1);
        EXPECT_EQ(list->selectedItems().front()->text(), "t:1");

        // Activate wants exactly one window.
        list->selectAll();
        EXPECT_FALSE(dialog.GetActivateButton()->isEnabled());
        EXPECT_TRUE(dialog.GetCloseButton()->isEnabled());
        Choose(list, QStringLiteral("u"));
        ASSERT_TRUE(dialog.GetActivateButton()->isEnabled());
        QTest::mouseClick(dialog.GetActivateButton(), Qt::LeftButton);
    });
    EXPECT_EQ(m_nResult, QDialog::Accepted);
    EXPECT_EQ(m_area.activeSubWindow()->windowTitle(), "u");
    EXPECT_EQ(AreaTitles(), (QStringList{"t:1", "t:2", "u", "v"}));
}

// Close asks what a window's own Close asks: while a report is previewed nothing closes.
// Closing one of two windows on the table keeps its document; OK then closes the list.
TEST_F(WindowList, CloseClosesTheChosenWindowsOnlyWhenTheyMayClose)
{
    RunningPreview preview;
    m_mainFrame.m_pReportView = &preview;
    RunList([this](WindowListDialog& dialog) {
        QListWidget* list = dialog.GetList();
        Choose(list, QStringLiteral("v"));
        QTest::mouseClick(dialog.GetCloseButton(), Qt::LeftButton);
        ASSERT_EQ(m_boxes.Count(), 1u);
        EXPECT_EQ(m_boxes.Last().text, STR_CLOSE_PRINT_PREVIEW_FIRST);
        EXPECT_EQ(Texts(list), (QStringList{"t:1", "t:2", "u", "v"}));

        m_mainFrame.m_pReportView = nullptr;
        list->clearSelection();
        list->item(1)->setSelected(true); // t:2
        list->item(3)->setSelected(true); // v
        QTest::mouseClick(dialog.GetCloseButton(), Qt::LeftButton);
        EXPECT_EQ(Texts(list), (QStringList{"t:1", "u"}));
        EXPECT_FALSE(dialog.GetCloseButton()->isEnabled());
        // The window left of the table loses its number once the closed ones are gone.
        EXPECT_TRUE(QTest::qWaitFor([&] { return Texts(list) == QStringList{"t", "u"}; }, 5000));
        QTest::mouseClick(dialog.findChildren<QPushButton*>().back(), Qt::LeftButton); // OK
    });
    EXPECT_EQ(m_nResult, QDialog::Accepted);
    // The closed windows go once the event loop runs.
    ASSERT_TRUE(QTest::qWaitFor([this] { return WindowCount() == 2u; }, 5000));
    EXPECT_EQ(AreaTitles(), (QStringList{"t", "u"}));
    EXPECT_EQ(WindowCount(), 2u);
    EXPECT_EQ(FindDataDocument(OpenTableData, L"t"), m_table);
    EXPECT_EQ(FindDataDocument(OpenViewData, L"v"), nullptr);
    EXPECT_EQ(m_boxes.Count(), 1u);
}

} // namespace
