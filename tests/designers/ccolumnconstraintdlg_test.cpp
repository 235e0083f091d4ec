// "Column Constraint": it works on a copy; Apply stores every control into the copy and
// marks it as having a constraint; the foreign-key dialog edits the copy; Enter presses
// nothing.
#include "designers/ccolumnconstraintdlg.h"

#include "designerfixture.h"
#include "designers/cforkeyclausedlg.h"
#include "dialogscript.h"
#include "platform/widgets/combobox.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <functional>

namespace {

class ColumnConstraint : public DesignerFixture {
protected:
    // Runs the dialog on a copy of the record; `work` uses it while it is shown. The
    // result and the dialog's copy after the run.
    std::pair<int, ColumnDefinition> Run(const ColumnDefinition& record,
                                         const std::function<void(CColumnConstraintDlg&)>& work)
    {
        CColumnConstraintDlg dialog(&record, nullptr);
        ScopedDialogHandler handler([&](QDialog& shown) {
            work(static_cast<CColumnConstraintDlg&>(shown));
            return shown.result();
        });
        const int result = dialog.DoModal();
        return {result, dialog.m_column};
    }

    // Every field the dialog edits holds a value: entries, an entry of another spelling is
    // not among them (it would come back as the entry), typed texts no entry begins with,
    // a CHECK over two lines; the cell fields and a foreign key that the dialog leaves alone.
    static ColumnDefinition FullRecord()
    {
        ColumnDefinition record;
        record.m_bHasConstraint = 1;
        record.m_bPrimaryKey = record.m_bNotNull = record.m_bUnique = record.m_bAutoIncrement = 1;
        record.m_strName = L"a]b";
        record.m_strType = L"Integer";
        record.m_strSize = L"10";
        record.m_strPrecision = L"2";
        record.m_strConstraintName = L"ck 🎉";
        record.m_strSortOrder = L"DESC";
        record.m_strPkConflict = L"ABORT";
        record.m_strNotNullConflict = L"my conflict";
        record.m_strUniqueConflict = L"REPLACE";
        record.m_strCheck = L"a > 0\nAND a < 9";
        record.m_strDefault = L"'x'";
        record.m_strCollate = L"my_collation";
        record.m_strParentTable = L"p";
        record.m_strOnDelete = L"CASCADE";
        record.m_strOnUpdate = L"SET NULL";
        record.m_strMatch = L"FULL";
        record.m_strDeferrable = L"DEFERRABLE";
        record.m_strInitially = L"INITIALLY DEFERRED";
        record.m_arrParentKeys = {L"k"};
        record.m_arrChildKeys = {L"c"};
        return record;
    }

    // The fields of the record that are not the dialog's: the column's name and type, and
    // the foreign-key clause, which Set Foreign Key edits in a dialog of its own. Every
    // other field is left empty.
    static ColumnDefinition NotTheDialogs(const ColumnDefinition& record)
    {
        ColumnDefinition kept;
        kept.m_strName = record.m_strName;
        kept.m_strType = record.m_strType;
        kept.m_strSize = record.m_strSize;
        kept.m_strPrecision = record.m_strPrecision;
        kept.m_strParentTable = record.m_strParentTable;
        kept.m_strOnDelete = record.m_strOnDelete;
        kept.m_strOnUpdate = record.m_strOnUpdate;
        kept.m_strMatch = record.m_strMatch;
        kept.m_strDeferrable = record.m_strDeferrable;
        kept.m_strInitially = record.m_strInitially;
        kept.m_arrParentKeys = record.m_arrParentKeys;
        kept.m_arrChildKeys = record.m_arrChildKeys;
        return kept;
    }
};

TEST_F(ColumnConstraint, ListsAreSortedWithTheirEmptyEntry)
{
    ColumnDefinition record;
    CColumnConstraintDlg dialog(&record, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Column Constraint");
    EXPECT_EQ(Entries(*dialog.m_cbSortBy), (std::vector<std::wstring>{L"", L"ASC", L"DESC"}));
    const std::vector<std::wstring> conflicts = {L"", L"ABORT", L"FAIL", L"IGNORE", L"REPLACE", L"ROLLBACK"};
    for (platform::ComboBox* box : {dialog.m_cbPkConflict, dialog.m_cbNotNullConflict, dialog.m_cbUniqueConflict}) {
        EXPECT_EQ(Entries(*box), conflicts);
        EXPECT_TRUE(box->isEditable());
    }
    EXPECT_EQ(Entries(*dialog.m_cbCollate), (std::vector<std::wstring>{L"", L"BINARY", L"NOCASE", L"RTRIM"}));
    EXPECT_FALSE(dialog.m_chkPrimaryKey->isChecked());
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// The round trip: while the dialog shows the copy, the whole copy is cleared but for the
// fields that are not the dialog's; Apply must bring every other field back from its
// control, so a field forgotten on both sides (never shown, never stored) shows. Left
// alone, the copy comes back whole; the caller's record is untouched either way.
TEST_F(ColumnConstraint, ApplyUneditedGivesTheRecordBack)
{
    const ColumnDefinition original = FullRecord();
    for (const int hadConstraint : {1, 0}) {
        for (const bool cleared : {true, false}) {
            SCOPED_TRACE(testing::Message() << "constraint " << hadConstraint << ", cleared " << cleared);
            ColumnDefinition caller = original;
            caller.m_bHasConstraint = hadConstraint;
            const auto [result, copy] = Run(caller, [&](CColumnConstraintDlg& dialog) {
                EXPECT_EQ(dialog.m_cbNotNullConflict->currentText(), "my conflict");
                if (cleared)
                    dialog.m_column = NotTheDialogs(dialog.m_column);
                Click(dialog.m_btnApply);
            });
            EXPECT_EQ(result, QDialog::Accepted);
            EXPECT_EQ(copy, original);
            EXPECT_EQ(caller.m_bHasConstraint, hadConstraint);
            EXPECT_EQ(caller.m_strCheck, original.m_strCheck);
        }
    }
}

// A stored value of another spelling comes back as its entry; Apply with nothing set still
// gives the record a constraint, so the column switches to the constraint form.
TEST_F(ColumnConstraint, StoredSpellingsAndAnEmptyApply)
{
    ColumnDefinition record;
    record.m_strPkConflict = L"abort";
    record.m_strCollate = L"nocase";
    record.m_strSortOrder = L"as"; // no entry equals it: kept as typed
    const auto [result, copy] = Run(record, [](CColumnConstraintDlg& dialog) { Click(dialog.m_btnApply); });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(copy.m_strPkConflict, L"ABORT");
    EXPECT_EQ(copy.m_strCollate, L"NOCASE");
    EXPECT_EQ(copy.m_strSortOrder, L"as");
    EXPECT_EQ(copy.m_bHasConstraint, 1);
    EXPECT_EQ(ColumnDefinitionText(copy, ColumnForm::Grid), L"[]  COLLATE NOCASE ");
}

// What is typed and never left is stored; Cancel drops everything.
TEST_F(ColumnConstraint, ApplyStraightAfterTypingStoresTheTypedText)
{
    ColumnDefinition record;
    record.m_strName = L"c";
    record.m_strType = L"Text";
    const auto [result, copy] = Run(record, [](CColumnConstraintDlg& dialog) {
        QTest::keyClicks(dialog.m_edConstraintName, "nn");
        dialog.m_chkNotNull->setFocus();
        QTest::keyClick(dialog.m_chkNotNull, Qt::Key_Space);
        QTest::keyClicks(dialog.m_cbNotNullConflict->lineEdit(), "FAIL");
        QTest::keyClicks(dialog.m_edCheck, "c <> ''");
        QTest::keyClick(dialog.m_edCheck, Qt::Key_Return); // a new line, not Apply
        QTest::keyClicks(dialog.m_edCheck, "AND c <> 'x'");
        QTest::keyClicks(dialog.m_edDefault, "'d'");
        dialog.m_cbCollate->lineEdit()->setFocus();
        // The box opens with nothing chosen: Down comes to the empty entry, then to BINARY.
        QTest::keyClick(dialog.m_cbCollate->lineEdit(), Qt::Key_Down);
        QTest::keyClick(dialog.m_cbCollate->lineEdit(), Qt::Key_Down);
        Click(dialog.m_btnApply);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(ColumnDefinitionText(copy, ColumnForm::Grid),
              L"[c] Text CONSTRAINT [nn] NOT NULL ON CONFLICT FAIL CHECK (c <> ''\nAND c <> 'x') DEFAULT('d') COLLATE "
              L"BINARY ");

    const auto [cancelled, dropped] = Run(record, [](CColumnConstraintDlg& dialog) {
        QTest::keyClicks(dialog.m_edConstraintName, "nn");
        dialog.reject();
    });
    EXPECT_EQ(cancelled, QDialog::Rejected);
    EXPECT_EQ(record.m_strConstraintName, L"");
}

// Enter in the single-line controls presses neither Apply nor anything else.
TEST_F(ColumnConstraint, EnterPressesNothing)
{
    bool openAfterEnter = false;
    const auto [result, copy] = Run(FullRecord(), [&](CColumnConstraintDlg& dialog) {
        for (QWidget* control : {static_cast<QWidget*>(dialog.m_edConstraintName),
                                 static_cast<QWidget*>(dialog.m_cbSortBy->lineEdit()),
                                 static_cast<QWidget*>(dialog.m_cbCollate->lineEdit()),
                                 static_cast<QWidget*>(dialog.m_chkUnique), static_cast<QWidget*>(dialog.m_btnApply)}) {
            control->setFocus();
            QTest::keyClick(control, Qt::Key_Return);
            QTest::keyClick(control, Qt::Key_Enter, Qt::KeypadModifier);
        }
        openAfterEnter = dialog.isVisible() && dialog.result() == 0;
        dialog.reject();
    });
    EXPECT_TRUE(openAfterEnter);
    EXPECT_EQ(result, QDialog::Rejected);
}

// Set Foreign Key edits the copy in column mode: its clause reaches the caller only with
// Apply, and Cancel drops it with the rest of the copy.
TEST_F(ColumnConstraint, ForeignKeyTravelsWithTheCopy)
{
    OpenDatabase(L"fk.db", "CREATE TABLE parent (id INTEGER PRIMARY KEY);");
    DialogScript script;
    QString childLabel;
    script.On("CForKeyClauseDlg", [&](QDialog& shown) {
        auto& fk = static_cast<CForKeyClauseDlg&>(shown);
        childLabel = fk.m_stChildKey->text();
        EXPECT_EQ(fk.m_nMode, CForKeyClauseDlg::MODE_COLUMN);
        fk.m_cbParentTable->setCurrentIndex(0);
        QTest::keyClicks(fk.m_cbOnDelete->lineEdit(), "CASCADE");
        Click(fk.m_btnApply);
    });
    for (const bool apply : {true, false}) {
        script.On("CColumnConstraintDlg", [&](QDialog& shown) {
            auto& dialog = static_cast<CColumnConstraintDlg&>(shown);
            Click(dialog.m_btnSetForeignKey);
            EXPECT_EQ(dialog.m_column.m_strParentTable, L"parent");
            if (apply)
                Click(dialog.m_btnApply);
            else
                dialog.reject();
        });
        ColumnDefinition record;
        record.m_strName = L"ref 🎉";
        record.m_strType = L"Integer";
        CColumnConstraintDlg dialog(&record, nullptr);
        const int result = dialog.DoModal();
        EXPECT_EQ(childLabel, QString::fromStdWString(L"Child Key: ref 🎉"));
        if (apply) {
            ASSERT_EQ(result, QDialog::Accepted);
            record = dialog.m_column;
            EXPECT_EQ(ColumnDefinitionText(record, ColumnForm::Grid),
                      L"[ref 🎉] Integer REFERENCES [parent] ON DELETE CASCADE ");
        } else {
            EXPECT_EQ(result, QDialog::Rejected);
            EXPECT_EQ(record.m_strParentTable, L"");
        }
    }
}

} // namespace
