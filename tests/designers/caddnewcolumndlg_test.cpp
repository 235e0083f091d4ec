// "Add Field": OK composes ALTER TABLE ... ADD COLUMN from the controls (the check boxes
// winning over the constraint dialog's flags), runs it and closes; an empty name and a
// statement the engine refuses leave the dialog open with their boxes.
#include "designers/caddnewcolumndlg.h"

#include "designers/ccolumnconstraintdlg.h"
#include "dialogscript.h"
#include "platform/widgets/combobox.h"
#include "tabledesignfixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

class AddColumn : public TableDesignFixture, public testing::WithParamInterface<const char*> {
protected:
    void OpenTable()
    {
        OpenDatabase(L"add.db", std::string("PRAGMA journal_mode=") + GetParam() +
                                    "; CREATE TABLE t(id INTEGER PRIMARY KEY); INSERT INTO t VALUES (1);");
    }
    // The last column of t as Columns gives it.
    std::string LastColumn() const
    {
        const std::string all = Columns("t");
        const size_t bar = all.rfind(" | ");
        return bar == std::string::npos ? all : all.substr(bar + 3);
    }
};

// The plain forms: a chosen type, a typed one, a size, the one-blank entry as no type,
// a default with NOT NULL. Another connection sees the column and writes it.
TEST_P(AddColumn, OkAddsThePlainColumnAsTheControlsSay)
{
    OpenTable();
    struct Case {
        const char* what;
        const wchar_t* name;
        const char* type; // chosen when it is an entry, else typed
        const wchar_t* size;
        const wchar_t* defaultValue;
        bool notNull;
        const char* column;
    };
    const Case cases[] = {
        {"a chosen type", L"c1", "Integer", L"", L"", false, "c1:INTEGER:0::0"},
        {"a typed type", L"c2", "BIGINT", L"", L"", false, "c2:BIGINT:0::0"},
        {"a size", L"c3", "VarChar", L"10", L"", false, "c3:VarChar (10):0::0"},
        {"the blank entry", L"c4", " ", L"", L"", false, "c4::0::0"},
        {"not null with a default", L"naïve 🎉", "Text", L"", L"'x'", true, "naïve 🎉:TEXT:1:'x':0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CAddNewColumnDlg dialog(L"t", nullptr);
        EXPECT_EQ(dialog.windowTitle(), "Add Field");
        dialog.m_editName->setText(QString::fromWCharArray(c.name));
        const int entry = dialog.m_cbType->findText(QString::fromLatin1(c.type));
        if (entry >= 0)
            dialog.m_cbType->setCurrentIndex(entry);
        else
            dialog.m_cbType->setEditText(QString::fromLatin1(c.type));
        dialog.m_editSize->setText(QString::fromWCharArray(c.size));
        dialog.m_editDefault->setText(QString::fromWCharArray(c.defaultValue));
        dialog.m_chkNotNull->setChecked(c.notNull);
        QTest::mouseClick(dialog.m_btnOk, Qt::LeftButton);
        ASSERT_EQ(m_boxes.Count(), 0u) << testing_support::Utf8(m_boxes.Last().text);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.GetColumnName(), c.name);
        EXPECT_EQ(LastColumn(), c.column);
    }
    EXPECT_EQ(OtherConnection("INSERT INTO t(id, c2, c3) VALUES (2, 20, 'ten')"), "");
    EXPECT_EQ(Raw("SELECT c2 || c3 || \"naïve 🎉\" FROM t WHERE id = 2"), "20tenx");
    EXPECT_EQ(Raw("SELECT \"naïve 🎉\" FROM t WHERE id = 1"), "x");
    EXPECT_EQ(Raw("PRAGMA integrity_check"), "ok");
}

// Constraint... applied: the column gets its constraint form, and a second Constraint...
// that is cancelled keeps it (an applied constraint is never dropped by a Cancel). The
// check boxes win at OK: the UNIQUE the engine refuses in ADD COLUMN goes with its tick.
TEST_P(AddColumn, AnAppliedConstraintStaysThroughACancelledSecondOne)
{
    OpenTable();
    CAddNewColumnDlg dialog(L"t", nullptr);
    dialog.m_editName->setText(QStringLiteral("qty"));
    dialog.m_cbType->setCurrentIndex(dialog.m_cbType->findText(QStringLiteral("Integer")));
    dialog.m_chkNotNull->setChecked(true);
    DialogScript script;
    ColumnDefinition opened;
    bool apply = true;
    script.On("CColumnConstraintDlg", [&](QDialog& shown) {
        auto& column = static_cast<CColumnConstraintDlg&>(shown);
        opened = column.m_column;
        if (!apply) {
            column.reject();
            return;
        }
        column.m_edCheck->setPlainText(QStringLiteral("qty >= 0"));
        column.m_edDefault->setPlainText(QStringLiteral("3"));
        column.m_cbCollate->setEditText(QStringLiteral("NOCASE"));
        column.m_chkUnique->setChecked(true);
        QTest::mouseClick(column.m_btnApply, Qt::LeftButton);
    });
    QTest::mouseClick(dialog.m_btnConstraint, Qt::LeftButton);
    EXPECT_EQ(opened.m_strName, L"qty");
    EXPECT_EQ(opened.m_bNotNull, 1);
    EXPECT_EQ(dialog.m_editDefault->text(), "3");
    EXPECT_TRUE(dialog.m_chkUnique->isChecked());

    apply = false;
    QTest::mouseClick(dialog.m_btnConstraint, Qt::LeftButton);
    EXPECT_EQ(dialog.m_column.m_bHasConstraint, 1);

    QTest::mouseClick(dialog.m_btnOk, Qt::LeftButton);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"Cannot add a UNIQUE column"), std::wstring::npos)
        << testing_support::Utf8(m_boxes.Last().text);
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    dialog.m_chkUnique->setChecked(false);
    QTest::mouseClick(dialog.m_btnOk, Qt::LeftButton);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(LastColumn(), "qty:INTEGER:1:3:0");
    const std::string schema = Schema("t");
    EXPECT_NE(schema.find("CHECK (qty >= 0)"), std::string::npos) << schema;
    EXPECT_NE(schema.find("COLLATE NOCASE"), std::string::npos) << schema;
    EXPECT_EQ(schema.find("UNIQUE"), std::string::npos) << schema;
    EXPECT_NE(OtherConnection("INSERT INTO t(id, qty) VALUES (5, -1)"), "");
}

// An empty name is refused before anything is composed; a PRIMARY KEY column is refused
// by the engine with its own text. Both leave the dialog open and the table as it was.
TEST_P(AddColumn, AnEmptyNameAndAPrimaryKeyColumnAreRefused)
{
    OpenTable();
    const std::string before = Schema("t");
    CAddNewColumnDlg dialog(L"t", nullptr);
    for (const char* name : {"", "  "}) {
        m_boxes.Clear();
        dialog.m_editName->setText(QString::fromLatin1(name));
        QTest::mouseClick(dialog.m_btnOk, Qt::LeftButton);
        ASSERT_EQ(m_boxes.Count(), 1u);
        EXPECT_EQ(m_boxes.Last().text, L"Field name is required");
        EXPECT_EQ(m_boxes.Last().caption, STR_PRODUCT_NAME);
        EXPECT_NE(dialog.result(), QDialog::Accepted);
    }
    m_boxes.Clear();
    dialog.m_editName->setText(QStringLiteral("k"));
    dialog.m_chkPrimary->setChecked(true);
    QTest::mouseClick(dialog.m_btnOk, Qt::LeftButton);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"Cannot add a PRIMARY KEY column"), std::wstring::npos)
        << testing_support::Utf8(m_boxes.Last().text);
    EXPECT_EQ(m_boxes.Last().caption, STR_PRODUCT_NAME);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Schema("t"), before);
}

INSTANTIATE_TEST_SUITE_P(JournalModes, AddColumn, testing::Values("WAL", "DELETE"));

} // namespace
