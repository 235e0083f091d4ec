#include "document/grid/ccomboboxplus.h"

#include "data/cappdatafile.h"
#include "document/session/cmainframebase.h"
#include "data/constants.h"
#include "document/grid/caddnewdatatype.h"
#include "document/grid/cbuttonplus.h"
#include "platform/widgets/modaldialog.h"
#include "recordinggrid.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <optional>

namespace {

using testing_support::BoxRecorder;
using testing_support::TempFolder;
using testing_support::Utf8;

// The type column's list as the table designer fills it.
const std::vector<std::wstring> kTypes = {
    L" ",    L"Integer", L"Decimal", L"Numeric",  L"VarChar", L"Boolean", L"Character", L"Text",
    L"Clob", L"Blob",    L"Real",    L"Date",     L"DateTime", L"Double", L"Float",     STR_NEW_TYPE_ENTRY};

QPushButton* Button(QDialog& dialog, const QString& text)
{
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

// Catches a wrong entry chosen for a cell's text, above all an empty cell taking the second
// entry (an empty text begins every entry) and so changing when it is only passed through.
TEST(ComboEntries, CellTextSelectsEntryTable)
{
    const struct {
        std::vector<std::wstring> entries;
        const wchar_t* text;
        int index;
    } cases[] = {
        {kTypes, L"int", 1},
        {kTypes, L"INTEGER", 1},
        {kTypes, L"Dat", 11},                      // the first entry that begins with it
        {kTypes, L"DateT", 12},
        {kTypes, L" ", 0},                         // the first entry is tried last
        {kTypes, L"", 0},                          // the empty entry, not the second
        {kTypes, L"new", 15},
        {kTypes, L"Integer(10)", -1},
        {{L"", L"ASC", L"DESC"}, L"", 0},
        {{L"ASC", L"DESC"}, L"", -1},
        {{L"ASC", L"DESC"}, L"a", 0},
        {{L"ASC", L"ASCII"}, L"asc", 1},           // searched from the second entry on
        {{}, L"a", -1},
        {{L"Straße", L"STRASSE"}, L"straß", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindCellEntry(c.entries, c.text), c.index) << Utf8(c.text);
}

// A shown, active window with a type combo over a copy of the application data file,
// whose data-type list holds the shipped entries.
class TypeCombo : public testing::Test {
protected:
    void SetUp() override
    {
        dataFile.SetFile(folder.CopyAppDataFile());
        ASSERT_TRUE(dataFile.CreateNode(NODE_DB_DATA_TYPES, NODE_TYPE_TEXT));
        for (size_t index = 1; index < kTypes.size(); ++index)
            ASSERT_TRUE(dataFile.AddTextValue(NODE_DB_DATA_TYPES, kTypes[index]));
        frame.m_pAppDataFile = &dataFile;
        g_pMainFrame = &frame;

        window = std::make_unique<QWidget>();
        combo = new CComboBoxPlus(&grid, window.get());
        for (const std::wstring& type : kTypes)
            combo->addItem(platform::ToQString(type));
        combo->setGeometry(10, 10, 200, 24);
        window->resize(220, 60);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        combo->setFocus();
        combo->SelectCellText(L"Text");
    }

    void TearDown() override
    {
        platform::SetDialogHandler(previousHandler);
        g_pMainFrame = nullptr;
    }

    // Answers the next "Add New Data Type" dialog: types the name (if any) and presses OK
    // or Cancel; records the dialogs shown.
    void ScriptDialog(std::optional<QString> name, bool ok)
    {
        previousHandler = platform::SetDialogHandler([this, name, ok](QDialog& dialog) {
            ++dialogs;
            EXPECT_EQ(dialog.windowTitle(), "Add New Data Type");
            EXPECT_EQ(dialog.parentWidget(), nullptr);
            auto* edit = dialog.findChild<QLineEdit*>();
            if (name)
                QTest::keyClicks(edit, *name);
            QTest::mouseClick(Button(dialog, ok ? "OK" : "Cancel"), Qt::LeftButton);
            return dialog.result();
        });
    }

    // The user's choice of the last entry, "New Type...", from the keyboard.
    void ChooseNewType() { QTest::keyClick(combo, Qt::Key_End); }

    std::vector<std::wstring> StoredTypes()
    {
        std::vector<std::wstring> values;
        std::wstring value;
        while (dataFile.NextValue(NODE_DB_DATA_TYPES, value))
            values.push_back(value);
        return values;
    }

    TempFolder folder;
    CAppDataFile dataFile;
    CMainFrameBase frame;
    RecordingGrid grid;
    std::unique_ptr<QWidget> window;
    CComboBoxPlus* combo = nullptr;
    platform::DialogHandler previousHandler;
    int dialogs = 0;
};

// Catches a new type that is not added to the list, not selected or not stored.
TEST_F(TypeCombo, NewTypeIsAddedSelectedAndStored)
{
    BoxRecorder boxes;
    ScriptDialog(QStringLiteral("INT"), true);
    ChooseNewType();
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(combo->count(), int(kTypes.size()) + 1);
    EXPECT_EQ(combo->currentText(), "INT");
    EXPECT_TRUE(combo->HasUserChoice());
    const std::vector<std::wstring> stored = StoredTypes();
    ASSERT_EQ(stored.size(), kTypes.size());
    EXPECT_EQ(stored.back(), L"INT");
    EXPECT_EQ(stored[stored.size() - 2], STR_NEW_TYPE_ENTRY);
}

// Catches a duplicate accepted because its case differs, and the wrong box for it.
TEST_F(TypeCombo, ExistingTypeIsRefusedIgnoringCase)
{
    BoxRecorder boxes;
    ScriptDialog(QStringLiteral("integer"), true);
    ChooseNewType();
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, L"Type already exists.");
    EXPECT_EQ(boxes.Last().caption, L"Tabulon");
    EXPECT_EQ(boxes.Last().style, platform::MB_OK);
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(combo->count(), int(kTypes.size()));
    EXPECT_EQ(StoredTypes().size(), kTypes.size() - 1);
}

// Catches Cancel or an empty name adding an entry; Cancel goes back to the first entry,
// an empty OK stays on "New Type...".
TEST_F(TypeCombo, CancelAndEmptyNameAddNothing)
{
    ScriptDialog(QStringLiteral("Money"), false);
    ChooseNewType();
    EXPECT_EQ(combo->currentIndex(), 0);

    platform::SetDialogHandler(previousHandler);
    ScriptDialog(std::nullopt, true);
    ChooseNewType();
    EXPECT_EQ(combo->currentText(), QString::fromStdWString(STR_NEW_TYPE_ENTRY));

    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(combo->count(), int(kTypes.size()));
    EXPECT_EQ(StoredTypes().size(), kTypes.size() - 1);
}

// Catches the dialog opened by a selection that the program made (a cell holding "New..."
// beginning its edit), which is no choice of the user.
TEST_F(TypeCombo, ProgramSelectionOpensNothing)
{
    ScriptDialog(QStringLiteral("X"), true);
    combo->SelectCellText(L"New");
    EXPECT_EQ(combo->currentText(), QString::fromStdWString(STR_NEW_TYPE_ENTRY));
    combo->setCurrentIndex(3);
    EXPECT_EQ(dialogs, 0);
    EXPECT_FALSE(combo->HasUserChoice());

    // A choice of another entry is a user choice that opens nothing either.
    QTest::keyClick(combo, Qt::Key_Home);
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_TRUE(combo->HasUserChoice());
    combo->SelectCellText(L"");
    EXPECT_FALSE(combo->HasUserChoice());
    EXPECT_EQ(dialogs, 0);
}

// Catches arrows that change the selection of the closed box, Tab taken by the focus
// chain, and pending flags left set.
TEST_F(TypeCombo, KeysOfTheClosedBoxMoveBetweenCells)
{
    QSignalSpy activated(combo, &QComboBox::activated);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* call;
    } cases[] = {
        {Qt::Key_Left, Qt::NoModifier, "left"},   {Qt::Key_Right, Qt::NoModifier, "right"},
        {Qt::Key_Up, Qt::NoModifier, "up"},       {Qt::Key_Down, Qt::NoModifier, "down"},
        {Qt::Key_Tab, Qt::NoModifier, "right"},   {Qt::Key_Backtab, Qt::ShiftModifier, "left"},
    };
    for (const auto& c : cases) {
        grid.calls.clear();
        grid.m_bTabRightPending = true;
        grid.m_bShiftTabLeftPending = true;
        QTest::keyClick(combo, c.key, c.modifiers);
        EXPECT_EQ(grid.calls, std::vector<std::string>{c.call}) << c.key;
        EXPECT_EQ(combo->currentText(), "Text") << c.key;
        EXPECT_TRUE(combo->hasFocus()) << c.key;
        const bool left = std::string(c.call) == "left";
        const bool right = std::string(c.call) == "right";
        EXPECT_EQ(grid.m_bShiftTabLeftPending, !left) << c.key;
        EXPECT_EQ(grid.m_bTabRightPending, !right) << c.key;
    }
    EXPECT_EQ(activated.count(), 0);

    // Enter, turned into Right by the grid's filter.
    GridKeyFilter filter(grid);
    combo->installEventFilter(&filter);
    grid.calls.clear();
    QTest::keyClick(combo, Qt::Key_Return);
    combo->removeEventFilter(&filter);
    EXPECT_EQ(grid.calls, std::vector<std::string>{"right"});
    EXPECT_FALSE(grid.m_bTabRightPending);
}

// Catches a dialog that loses a name typed with blanks, or keeps a name after Cancel.
TEST(AddNewDataType, OkTakesTheNameAsTypedCancelKeepsNone)
{
    const struct {
        const char* typed;
        bool ok;
        int result;
        const char* name;
    } cases[] = {
        {"", true, QDialog::Accepted, ""},
        {" My Type ", true, QDialog::Accepted, " My Type "},
        {"Money", false, QDialog::Rejected, ""},
    };
    for (const auto& c : cases) {
        CAddNewDataType dialog;
        EXPECT_EQ(dialog.parentWidget(), nullptr);
        EXPECT_EQ(dialog.windowTitle(), "Add New Data Type");
        ASSERT_NE(dialog.findChild<QLabel*>(), nullptr);
        EXPECT_EQ(dialog.findChild<QLabel*>()->text(), "Enter new type name:");
        platform::DialogHandler previous = platform::SetDialogHandler([&](QDialog& shown) {
            QTest::keyClicks(dialog.GetNameEdit(), c.typed);
            if (c.ok)
                QTest::keyClick(dialog.GetNameEdit(), Qt::Key_Return); // the default button
            else
                QTest::mouseClick(Button(dialog, "Cancel"), Qt::LeftButton);
            return shown.result();
        });
        EXPECT_EQ(platform::RunModal(dialog), c.result) << c.typed;
        platform::SetDialogHandler(previous);
        EXPECT_EQ(Utf8(dialog.m_strTypeName), c.name) << c.typed;
    }
}

// Catches a button that reports the wrong column or nothing.
TEST(ButtonPlus, ClickReportsItsColumn)
{
    RecordingGrid grid;
    QWidget window;
    auto* button = new CButtonPlus(&grid, 3, &window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(button->text(), "...");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(grid.calls, std::vector<std::string>{"button 3 0"});
}

} // namespace
