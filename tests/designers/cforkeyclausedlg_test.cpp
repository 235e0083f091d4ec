// "Set Foreign Key": its lists, the stored values shown again and written back unchanged,
// typed text, the Deferrable and Initially pair, the key pickers writing at once, and
// Enter pressing nothing.
#include "designers/cforkeyclausedlg.h"

#include "data/cadbsqldb.h"
#include "data/currentdb.h"
#include "designerfixture.h"
#include "designers/cselectfield.h"
#include "dialogscript.h"
#include "platform/widgets/combobox.h"
#include "platform/widgets/reportlist.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace {

class ForKeyClause : public DesignerFixture {
protected:
    void SetUp() override
    {
        DesignerFixture::SetUp();
        OpenDatabase(L"fk.db", "CREATE TABLE t (a, b); CREATE TABLE t2 (x INTEGER PRIMARY KEY, \"y]\" TEXT, z);"
                               "CREATE TABLE \"p]🎉\" (k);");
    }

    // Runs the dialog on the record; `work` uses it while it is shown.
    int Run(ColumnDefinition& record, int mode, const std::function<void(CForKeyClauseDlg&)>& work,
            std::vector<std::wstring> candidates = {L"c1"})
    {
        CForKeyClauseDlg dialog(&candidates, &record, nullptr, mode);
        ScopedDialogHandler handler([&](QDialog& shown) {
            work(static_cast<CForKeyClauseDlg&>(shown));
            return shown.result();
        });
        return dialog.DoModal();
    }

    // Every field the dialog edits holds a value: a list entry, an entry of another
    // spelling, or a typed text no entry begins with.
    static ColumnDefinition FullRecord()
    {
        ColumnDefinition record;
        record.m_strName = L"c1";
        record.m_strParentTable = L"t"; // beside t2: the table itself is shown
        record.m_strOnDelete = L"SET NULL";
        record.m_strOnUpdate = L"RESTRICT typed";
        record.m_strMatch = L"my match";
        record.m_strDeferrable = L"DEFERRABLE";
        record.m_strInitially = L"INITIALLY IMMEDIATE";
        record.m_arrParentKeys = {L"a", L"b"};
        record.m_arrChildKeys = {L"k1", L"k]2"};
        return record;
    }
};

TEST_F(ForKeyClause, ListsAreSortedWithTheirEmptyEntry)
{
    ColumnDefinition record;
    CForKeyClauseDlg dialog(nullptr, &record, nullptr, CForKeyClauseDlg::MODE_TABLE);
    EXPECT_EQ(dialog.windowTitle(), "Set Foreign Key");
    EXPECT_EQ(Entries(*dialog.m_cbParentTable), (std::vector<std::wstring>{L"p]🎉", L"t", L"t2"}));
    EXPECT_FALSE(dialog.m_cbParentTable->isEditable());
    const std::vector<std::wstring> actions = {L"", L"CASCADE", L"NO ACTION", L"RESTRICT", L"SET DEFAULT", L"SET NULL"};
    EXPECT_EQ(Entries(*dialog.m_cbOnDelete), actions);
    EXPECT_EQ(Entries(*dialog.m_cbOnUpdate), actions);
    EXPECT_EQ(Entries(*dialog.m_cbMatch), (std::vector<std::wstring>{L"", L"FULL", L"PARTIAL", L"SIMPLE"}));
    EXPECT_EQ(Entries(*dialog.m_cbDeferrable), (std::vector<std::wstring>{L"", L"DEFERRABLE", L"NOT DEFERRABLE"}));
    EXPECT_EQ(Entries(*dialog.m_cbInitially),
              (std::vector<std::wstring>{L"", L"INITIALLY DEFERRED", L"INITIALLY IMMEDIATE"}));
    for (platform::ComboBox* box :
         {dialog.m_cbOnDelete, dialog.m_cbOnUpdate, dialog.m_cbMatch, dialog.m_cbDeferrable, dialog.m_cbInitially})
        EXPECT_TRUE(box->isEditable());
    EXPECT_FALSE(dialog.m_cbInitially->isEnabled());
    EXPECT_EQ(dialog.m_stChildKey->text(), "Child Key: ");
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// The round trip: a record opened and applied unedited comes back as it was, whatever
// the dialog shows it by (an entry, the edit field). The texts are emptied in the record
// while the dialog shows them, so a field forgotten on either side cannot come back.
TEST_F(ForKeyClause, ApplyUneditedGivesTheRecordBack)
{
    for (const int mode : {CForKeyClauseDlg::MODE_TABLE, CForKeyClauseDlg::MODE_COLUMN}) {
        const ColumnDefinition original = FullRecord();
        ColumnDefinition record = original;
        QString label;
        EXPECT_EQ(Run(record, mode,
                      [&](CForKeyClauseDlg& dialog) {
                          label = dialog.m_stChildKey->text();
                          EXPECT_EQ(dialog.m_cbParentTable->currentText(), "t");
                          EXPECT_EQ(dialog.m_cbMatch->currentIndex(), -1);
                          EXPECT_EQ(dialog.m_cbMatch->currentText(), "my match");
                          EXPECT_FALSE(dialog.m_cbInitially->isEnabled());
                          for (std::wstring* text : {&record.m_strParentTable, &record.m_strOnDelete,
                                                     &record.m_strOnUpdate, &record.m_strMatch,
                                                     &record.m_strDeferrable, &record.m_strInitially})
                              text->clear();
                          Click(dialog.m_btnApply);
                      }),
                  QDialog::Accepted);
        EXPECT_EQ(record, original) << mode;
        EXPECT_EQ(label, mode == CForKeyClauseDlg::MODE_TABLE ? "Child Key: k1, k]2" : "Child Key: c1");
    }
}

// An entry's other spelling is shown as the entry and stored as it; a parent table that
// is gone is shown by nothing and stored as nothing; without a deferrable text the
// initially text goes, whatever the box shows.
TEST_F(ForKeyClause, StoredValuesComeBackAsTheirEntries)
{
    ColumnDefinition record = FullRecord();
    record.m_strOnDelete = L"cascade";
    record.m_strParentTable = L"gone";
    record.m_strDeferrable = L"";
    Run(record, CForKeyClauseDlg::MODE_COLUMN, [&](CForKeyClauseDlg& dialog) {
        EXPECT_EQ(dialog.m_cbInitially->currentText(), "INITIALLY IMMEDIATE");
        Click(dialog.m_btnApply);
    });
    EXPECT_EQ(record.m_strOnDelete, L"CASCADE");
    EXPECT_EQ(record.m_strParentTable, L"");
    EXPECT_EQ(record.m_strInitially, L"");
    EXPECT_EQ(record.m_arrParentKeys, (std::vector<std::wstring>{L"a", L"b"}));
}

// Text typed into a box and never left is what Apply stores; a chosen entry likewise.
TEST_F(ForKeyClause, ApplyStraightAfterTypingStoresTheTypedText)
{
    ColumnDefinition record;
    Run(record, CForKeyClauseDlg::MODE_TABLE, [&](CForKeyClauseDlg& dialog) {
        dialog.m_cbParentTable->setFocus();
        QTest::keyClick(dialog.m_cbParentTable, Qt::Key_Down); // the first table
        QTest::keyClicks(dialog.m_cbOnDelete->lineEdit(), "SET NULL");
        QTest::keyClicks(dialog.m_cbMatch->lineEdit(), "my ");
        dialog.m_cbMatch->lineEdit()->insert(QString::fromStdWString(L"ünïcode 🎉")); // typed as an input method does
        dialog.m_cbDeferrable->lineEdit()->setFocus();
        // The box opens with nothing chosen: Down comes to the empty entry, then to DEFERRABLE.
        QTest::keyClick(dialog.m_cbDeferrable->lineEdit(), Qt::Key_Down);
        QTest::keyClick(dialog.m_cbDeferrable->lineEdit(), Qt::Key_Down);
        EXPECT_TRUE(dialog.m_cbInitially->isEnabled());
        QTest::keyClicks(dialog.m_cbInitially->lineEdit(), "INITIALLY DEFERRED");
        Click(dialog.m_btnApply);
    });
    EXPECT_EQ(record.m_strParentTable, L"p]🎉");
    EXPECT_EQ(record.m_strOnDelete, L"SET NULL");
    EXPECT_EQ(record.m_strOnUpdate, L"");
    EXPECT_EQ(record.m_strMatch, L"my ünïcode 🎉");
    EXPECT_EQ(record.m_strDeferrable, L"DEFERRABLE");
    EXPECT_EQ(record.m_strInitially, L"INITIALLY DEFERRED");
    std::wstring clause;
    EXPECT_EQ(BuildForeignKeyClause(clause, record),
              L"REFERENCES \"p]🎉\" ON DELETE SET NULL MATCH my ünïcode 🎉 DEFERRABLE INITIALLY DEFERRED ");
}

// Initially follows the user's choice in Deferrable: the empty entry disables it.
TEST_F(ForKeyClause, DeferrableChoiceEnablesInitially)
{
    ColumnDefinition record;
    Run(record, CForKeyClauseDlg::MODE_TABLE, [&](CForKeyClauseDlg& dialog) {
        QLineEdit* deferrable = dialog.m_cbDeferrable->lineEdit();
        deferrable->setFocus();
        EXPECT_EQ(dialog.m_cbDeferrable->currentIndex(), -1); // nothing chosen yet
        QTest::keyClick(deferrable, Qt::Key_Down);
        EXPECT_EQ(dialog.m_cbDeferrable->currentIndex(), 0);
        EXPECT_FALSE(dialog.m_cbInitially->isEnabled());
        QTest::keyClick(deferrable, Qt::Key_Down);
        EXPECT_TRUE(dialog.m_cbInitially->isEnabled());
        QTest::keyClick(deferrable, Qt::Key_Up);
        EXPECT_EQ(dialog.m_cbDeferrable->currentIndex(), 0);
        EXPECT_FALSE(dialog.m_cbInitially->isEnabled());
        dialog.m_cbDeferrable->setCurrentIndex(2); // the program's own choice changes nothing
        EXPECT_FALSE(dialog.m_cbInitially->isEnabled());
        dialog.reject();
    });
}

// Enter in any box presses neither Apply nor anything else: the dialog stays open and the
// record unchanged.
TEST_F(ForKeyClause, EnterPressesNothing)
{
    const ColumnDefinition original = FullRecord();
    ColumnDefinition record = original;
    bool openAfterEnter = false;
    EXPECT_EQ(Run(record, CForKeyClauseDlg::MODE_TABLE,
                  [&](CForKeyClauseDlg& dialog) {
                      QTest::keyClicks(dialog.m_cbOnUpdate->lineEdit(), " more");
                      for (QWidget* control :
                           {static_cast<QWidget*>(dialog.m_cbParentTable), static_cast<QWidget*>(dialog.m_cbOnDelete->lineEdit()),
                            static_cast<QWidget*>(dialog.m_cbOnUpdate->lineEdit()),
                            static_cast<QWidget*>(dialog.m_btnApply)}) {
                          control->setFocus();
                          QTest::keyClick(control, Qt::Key_Return);
                          QTest::keyClick(control, Qt::Key_Enter, Qt::KeypadModifier);
                      }
                      openAfterEnter = dialog.isVisible() && dialog.result() == 0;
                      dialog.reject();
                  }),
              QDialog::Rejected);
    EXPECT_TRUE(openAfterEnter);
    EXPECT_EQ(record, original);
}

// Set Parent Key... writes the picked keys at once, so Cancel keeps them; without a table
// it shows its box and no picker.
TEST_F(ForKeyClause, SetParentKeyWritesTheKeysAtOnce)
{
    DialogScript script;
    std::vector<std::wstring> offered;
    script.On("CSelectField", [&](QDialog& shown) {
        auto& picker = static_cast<CSelectField&>(shown);
        for (int row = 0; row < picker.m_list->RowCount(); ++row)
            offered.push_back(picker.m_list->RowText(row) + (picker.m_list->IsChecked(row) ? L"*" : L""));
        picker.m_list->SetChecked(1, true);
        ClickButton(picker, "Ok");
    });
    script.On("CForKeyClauseDlg", [&](QDialog& shown) {
        auto& dialog = static_cast<CForKeyClauseDlg&>(shown);
        Click(dialog.m_btnSetParentKey); // no table chosen
        EXPECT_TRUE(offered.empty());
        dialog.m_cbParentTable->setCurrentIndex(2);
        Click(dialog.m_btnSetParentKey);
        dialog.reject();
    });
    ColumnDefinition record;
    record.m_arrParentKeys = {L"X"};
    std::vector<std::wstring> candidates = {L"c1"};
    CForKeyClauseDlg dialog(&candidates, &record, nullptr, CForKeyClauseDlg::MODE_COLUMN);
    EXPECT_EQ(dialog.DoModal(), QDialog::Rejected);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, L"Please select table name.");
    EXPECT_EQ(m_boxes.Last().caption, L"Select table name");
    EXPECT_EQ(offered, (std::vector<std::wstring>{L"x*", L"y]", L"z"}));
    EXPECT_EQ(record.m_arrParentKeys, (std::vector<std::wstring>{L"x", L"y]"}));
    EXPECT_EQ(record.m_strParentTable, L""); // Apply was not pressed
}

// A column read that fails (the file became unreadable) shows its failure in the
// designers' box; the dialog goes on and nothing escapes it.
TEST_F(ForKeyClause, FailingColumnReadShowsItsBoxAndTheDialogStays)
{
    ColumnDefinition record;
    bool stillOpen = false;
    Run(record, CForKeyClauseDlg::MODE_TABLE, [&](CForKeyClauseDlg& dialog) {
        dialog.m_cbParentTable->setCurrentIndex(1);
        g_pCurrentDb->CloseDb();
        g_pCurrentDb->m_strDbPath = m_folder.MakeJunkFile(L"junk.db");
        Click(dialog.m_btnSetParentKey);
        stillOpen = dialog.isVisible();
        dialog.reject();
    });
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().caption, L"Tabulon");
    EXPECT_EQ(m_boxes.Last().text.substr(0, 13), L"SQLITE_NOTADB");
    EXPECT_TRUE(record.m_arrParentKeys.empty());
}

// Set Child Key... offers the candidates and shows the picked keys in the label.
TEST_F(ForKeyClause, SetChildKeyOffersTheCandidatesAndShowsThePicked)
{
    DialogScript script;
    script.On("CSelectField", [&](QDialog& shown) {
        auto& picker = static_cast<CSelectField&>(shown);
        EXPECT_EQ(picker.m_list->RowCount(), 3);
        picker.m_list->SetChecked(0, true);
        picker.m_list->SetChecked(2, true);
        ClickButton(picker, "Ok");
    });
    QString label;
    script.On("CForKeyClauseDlg", [&](QDialog& shown) {
        auto& dialog = static_cast<CForKeyClauseDlg&>(shown);
        Click(dialog.m_btnSetChildKey);
        label = dialog.m_stChildKey->text();
        dialog.reject();
    });
    ColumnDefinition record;
    std::vector<std::wstring> candidates = {L"a]", L"b", L"ç"};
    CForKeyClauseDlg dialog(&candidates, &record, nullptr, CForKeyClauseDlg::MODE_TABLE);
    dialog.DoModal();
    EXPECT_EQ(record.m_arrChildKeys, (std::vector<std::wstring>{L"a]", L"ç"}));
    EXPECT_EQ(label, QString::fromStdWString(L"Child Key: a], ç"));
}

} // namespace
