// What the designers' boxes show their user, read off the real Qt box: the whole text as
// it was written, never taken for markup.
#include "designers/cnewindexdlg.h"
#include "designers/cnewviewdlg.h"
#include "designers/ctableschemadlg.h"

#include "shownboxes.h"
#include "tabledesignfixture.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <functional>

namespace {

class FailureBoxes : public TableDesignFixture {
protected:
    // The table designer's Save of a design with the name and one row per column, the
    // first `keys` of them ticked Primary.
    static void SaveTable(const QString& name, int columns, int keys)
    {
        CTableSchemaDlg dialog;
        dialog.m_editTableName->setText(name);
        for (int row = 0; row < columns; ++row) {
            dialog.OnAddField();
            SetRow(dialog.m_wndList, row, {row == 0 ? L"a" : L"b", L"Integer"});
            dialog.m_wndList.GetGrid()->SetItemText(row, 5, row < keys ? L"1" : L"0");
        }
        Click(dialog.m_btnSave);
        EXPECT_NE(dialog.result(), QDialog::Accepted);
    }
};

// Fault: the engine's reason stands in the failure text between angle brackets, so
// "SQLITE_ERROR:<table [Album] already exists>" was taken for markup, the unknown <table
// ...> dropped, and the box showed "SQLITE_ERROR:" alone; a name holding <b> showed bold
// and one holding &amp; showed "&". Each box shows its whole text as written.
TEST_F(FailureBoxes, EveryBoxShowsItsWholeTextAsWritten)
{
    OpenDatabase(L"boxes.db", "CREATE TABLE Album(a); CREATE TABLE [<b>x</b>](a); CREATE TABLE [R&amp;D](a);"
                              "CREATE VIEW [a &amp; <i>b</i>] AS SELECT 1;");
    struct Case {
        const char* what;
        std::function<void()> work;
        const wchar_t* reason; // the part of the text that must show
    };
    const Case cases[] = {
        {"a duplicate table", [] { SaveTable(QStringLiteral("Album"), 1, 0); }, L"table [Album] already exists"},
        {"two primary keys", [] { SaveTable(QStringLiteral("two"), 2, 2); },
         L"table \"two\" has more than one primary key"},
        {"a name with <b>", [] { SaveTable(QStringLiteral("<b>x</b>"), 1, 0); },
         L"table [<b>x</b>] already exists"},
        {"a name with &amp;", [] { SaveTable(QStringLiteral("R&amp;D"), 1, 0); }, L"table [R&amp;D] already exists"},
        {"a view named like a table",
         [] {
             CNewViewDlg dialog;
             dialog.m_editName->setText(QStringLiteral("<B>X</B>"));
             dialog.m_editSelect->setPlainText(QStringLiteral("SELECT 1"));
             ClickButton(dialog, QStringLiteral("OK"));
         },
         L"The name <<B>X</B>> is already used by a table."},
        {"an index named like a view",
         [] {
             CNewIndexDlg dialog;
             dialog.m_editName->setText(QStringLiteral("A &amp; <i>b</i>"));
             ClickButton(dialog, QStringLiteral("Save"));
         },
         L"The name <A &amp; <i>b</i>> is already used by a view."},
    };
    ShownBoxes boxes;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.Clear();
        c.work();
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        const ShownBoxes::Box& box = boxes.Boxes().front();
        EXPECT_EQ(box.format, Qt::PlainText);
        EXPECT_EQ(box.shown.toStdWString(), box.asked);
        EXPECT_NE(box.shown.toStdWString().find(c.reason), std::wstring::npos) << box.shown.toStdString();
        EXPECT_EQ(box.caption.toStdWString(), STR_PRODUCT_NAME);
    }
    EXPECT_EQ(Raw("SELECT count(*) FROM sqlite_master"), "4");
}

} // namespace
