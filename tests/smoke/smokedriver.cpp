// Preloaded into the real program by the smoke tests: once the event loop runs it
// drives the main window as a user would, through Qt's own widgets only, and prints
// what it finds on standard output. TABULON_SMOKE names the scenario: the table at
// the end lists them.
// Every message box is printed ("BOX" and its text, line feeds as " / ") and answered
// No, or OK where it has no No. A step that does not come true within 30 seconds ends
// the program with exit code 3.
#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

QString Env(const char* name) { return qEnvironmentVariable(name); }

QMainWindow* MainWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<QMainWindow*>(widget); window && window->isVisible())
            return window;
    return nullptr;
}

QTreeWidget* Tree()
{
    QMainWindow* window = MainWindow();
    return window ? window->findChild<QTreeWidget*>() : nullptr;
}

QTreeWidgetItem* FindItem(QTreeWidget* tree, const QString& text)
{
    const QList<QTreeWidgetItem*> items = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return items.isEmpty() ? nullptr : items.first();
}

// The active data window's grid: a scroll area with a column header among its
// children, which shows the model of its rows.
struct GridParts {
    QAbstractScrollArea* view = nullptr;
    QHeaderView* header = nullptr;
    QAbstractItemModel* model = nullptr;
};

GridParts Grid()
{
    QMainWindow* window = MainWindow();
    QMdiArea* area = window ? window->findChild<QMdiArea*>() : nullptr;
    QMdiSubWindow* sub = area ? area->activeSubWindow() : nullptr;
    GridParts grid;
    grid.view = sub ? sub->findChild<QAbstractScrollArea*>(QStringLiteral("control9888")) : nullptr;
    if (grid.view) {
        grid.header = grid.view->findChild<QHeaderView*>();
        grid.model = grid.header ? grid.header->model() : nullptr;
    }
    if (!grid.header || !grid.model || grid.model->rowCount() == 0)
        return GridParts();
    return grid;
}

void Say(const QString& line)
{
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// Prints every item of the tree, one "TREE <text>" line each, from the top down.
void SayTree(QTreeWidget* tree)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        Say(QStringLiteral("TREE ") + (*it)->text(0));
}

bool VisibleBox()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(widget) && widget->isVisible())
            return true;
    return false;
}

// Prints and answers the boxes on screen.
void AnswerBoxes()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (!box || !box->isVisible() || box->property("smokeAnswered").toBool())
            continue;
        box->setProperty("smokeAnswered", true);
        Say(QStringLiteral("BOX ") + box->text().replace(QLatin1Char('\n'), QStringLiteral(" / ")));
        QAbstractButton* answer = box->button(QMessageBox::No);
        if (!answer)
            answer = box->button(QMessageBox::Ok);
        if (answer)
            QTimer::singleShot(0, answer, &QAbstractButton::click);
    }
}

// A scenario's steps, run in order: each is tried again until it returns true.
using Steps = std::vector<std::function<bool()>>;

class Driver : public QObject {
public:
    explicit Driver(Steps steps)
        : m_steps(std::move(steps))
    {
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, &Driver::Step);
        m_clock.start();
        m_timer.start();
    }

private:
    void Step()
    {
        AnswerBoxes();
        // A step that opens a modal window returns before it closes; the steps go on
        // inside that window's loop, one at a time.
        if (m_bInStep)
            return;
        if (m_next >= m_steps.size()) {
            m_timer.stop();
            return;
        }
        m_bInStep = true;
        const bool done = m_steps[m_next]();
        m_bInStep = false;
        if (done) {
            ++m_next;
            m_clock.restart();
        } else if (m_clock.elapsed() > 30000) {
            Say(QStringLiteral("SMOKE FAILED at step %1").arg(m_next));
            std::_Exit(3);
        }
    }

    Steps m_steps;
    size_t m_next = 0;
    bool m_bInStep = false;
    QTimer m_timer;
    QElapsedTimer m_clock;
};

bool OpenTableFromTree()
{
    QTreeWidget* tree = Tree();
    if (!tree)
        return false;
    QTreeWidgetItem* item = FindItem(tree, Env("TABULON_SMOKE_TABLE"));
    if (!item)
        return false;
    tree->expandAll();
    tree->scrollToItem(item);
    const QPoint point = tree->visualItemRect(item).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, point);
    return true;
}

int CellColumn() { return Env("TABULON_SMOKE_COLUMN").toInt(); }

QString CellText(const GridParts& grid) { return grid.model->data(grid.model->index(0, CellColumn())).toString(); }

// The middle of the cell's top pixel rows: the first line starts at the viewport's top.
QPoint CellPoint(const GridParts& grid)
{
    const int column = CellColumn();
    return QPoint(grid.header->sectionViewportPosition(column) + grid.header->sectionSize(column) / 2, 4);
}

// The shown modal dialog with that title, when it is the one on top.
QDialog* Dialog(const QString& title)
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    return dialog && dialog->isVisible() && dialog->windowTitle() == title ? dialog : nullptr;
}

// The dialog on top with the keyboard's focus inside it: typed keys reach it.
QDialog* FocusedDialog(const char* title)
{
    QDialog* dialog = Dialog(title);
    QWidget* focus = QApplication::focusWidget();
    return dialog && focus && dialog->isAncestorOf(focus) ? dialog : nullptr;
}

QAbstractButton* Button(QWidget* window, const char* text)
{
    for (QAbstractButton* button : window ? window->findChildren<QAbstractButton*>() : QList<QAbstractButton*>())
        if (button->isVisible() && button->text() == QLatin1String(text))
            return button;
    return nullptr;
}

// Clicks the button once the step has returned: a button that runs a modal dialog
// would otherwise hold the step until the dialog closed.
bool ClickLater(QAbstractButton* button)
{
    if (!button)
        return false;
    QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
    return true;
}

// A step that, once the dialog is on top, clicks its button.
std::function<bool()> InDialogClick(const char* title, const char* button)
{
    return [=] { return ClickLater(Button(Dialog(title), button)); };
}

// Types into the focused widget, then presses the keys.
void TypeIntoFocus(const QString& text, std::initializer_list<Qt::Key> keys = {})
{
    QTest::keyClicks(QApplication::focusWidget(), text);
    for (Qt::Key key : keys)
        QTest::keyClick(QApplication::focusWidget(), key);
}

// The field picker on top: the named field ticked, then Ok.
std::function<bool()> PickField(const QString& name)
{
    return [=] {
        QDialog* picker = Dialog("Field(s)");
        QTreeWidget* list = picker ? picker->findChild<QTreeWidget*>() : nullptr;
        QTreeWidgetItem* item = list ? FindItem(list, name) : nullptr;
        if (!item)
            return false;
        item->setCheckState(0, Qt::Checked);
        return ClickLater(Button(picker, "Ok"));
    };
}

// A new field of the designer: Add Field, its name, Tab, "I" for Integer, Tab.
std::function<bool()> AddField(const QString& name)
{
    return [=] {
        QDialog* design = FocusedDialog("New Table");
        QAbstractButton* add = Button(design, "Add Field");
        if (!add)
            return false;
        QTest::mouseClick(add, Qt::LeftButton);
        TypeIntoFocus(name, {Qt::Key_Tab, Qt::Key_I, Qt::Key_Tab});
        return true;
    };
}

bool CloseMainWindow()
{
    if (QMainWindow* window = MainWindow())
        window->close();
    return true;
}

// Opens the settings sheet from the toolbar, after the step that asks for it returned.
bool OpenSettings()
{
    QMainWindow* window = MainWindow();
    QToolBar* toolBar = window ? window->findChild<QToolBar*>() : nullptr;
    if (!toolBar)
        return false;
    for (QAction* action : toolBar->actions())
        if (action->toolTip() == QLatin1String("Configuration")) {
            QTimer::singleShot(0, action, &QAction::trigger);
            return true;
        }
    return false;
}

// The edit beside the label in the settings sheet's grid.
QLineEdit* EditBeside(QDialog* sheet, const QString& label)
{
    for (QLabel* text : sheet->findChildren<QLabel*>()) {
        auto* grid = text->text() == label ? qobject_cast<QGridLayout*>(text->parentWidget()->layout()) : nullptr;
        if (!grid)
            continue;
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(grid->indexOf(text), &row, &column, &rows, &columns);
        if (QLayoutItem* item = grid->itemAtPosition(row, column + 1))
            return qobject_cast<QLineEdit*>(item->widget());
    }
    return nullptr;
}

QLineEdit* SheetHeader()
{
    QDialog* sheet = Dialog(QStringLiteral("Tabulon Settings"));
    return sheet ? EditBeside(sheet, QStringLiteral("Report Header Text:")) : nullptr;
}

void PressSheetButton(QDialogButtonBox::StandardButton which)
{
    QDialog* sheet = Dialog(QStringLiteral("Tabulon Settings"));
    for (QDialogButtonBox* buttons : sheet->findChildren<QDialogButtonBox*>())
        if (QAbstractButton* button = buttons->button(which))
            QTimer::singleShot(0, button, &QAbstractButton::click);
}

bool SheetClosed() { return !Dialog(QStringLiteral("Tabulon Settings")); }

QMenuBar* Bar()
{
    QMainWindow* window = MainWindow();
    return window ? window->findChild<QMenuBar*>() : nullptr;
}

// The key goes where the user's keys go: the focused widget of the active window.
QWidget* KeyTarget()
{
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup;
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus : MainWindow();
}

// The first item whose text is the text or, for a folder ("View(1)"), begins with it and "(".
QTreeWidgetItem* FindItemOrFolder(QTreeWidget* tree, const QString& text)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->text(0) == text || (*it)->text(0).startsWith(text + QLatin1Char('(')))
            return *it;
    return nullptr;
}

// Selects the tree item with a click, as a user does.
bool ClickItem(const QString& text)
{
    QTreeWidget* tree = Tree();
    QTreeWidgetItem* item = tree ? FindItemOrFolder(tree, text) : nullptr;
    if (!item)
        return false;
    tree->expandAll();
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    return true;
}

// Presses the workspace pane's button once the event loop runs again: the dialog it opens
// runs its own loop, in which the next steps go on.
bool PressPaneButton(const QString& tip)
{
    QMainWindow* window = MainWindow();
    for (QToolBar* bar : window ? window->findChildren<QToolBar*>() : QList<QToolBar*>())
        for (QAction* action : bar->actions())
            if (action->toolTip() == tip && action->isEnabled()) {
                QTimer::singleShot(0, action, &QAction::trigger);
                return true;
            }
    return false;
}

// The dialog of the title is up: says so with the first line of its statement, saves the
// screen when asked to, then lets work fill it and close it.
std::function<bool()> OnDialog(const char* title, std::function<void(QDialog*)> work)
{
    auto shown = std::make_shared<QElapsedTimer>();
    return [title, work, shown] {
        QDialog* dialog = Dialog(title);
        if (!dialog)
            return false;
        const QString shots = Env("TABULON_SMOKE_SHOTS");
        if (!shots.isEmpty()) {
            if (!shown->isValid())
                shown->start();
            if (shown->elapsed() < 700)
                return false;
            QGuiApplication::primaryScreen()->grabWindow(0).save(shots + QStringLiteral("/%1.png").arg(title));
        }
        Say(QStringLiteral("DIALOG ") + QLatin1String(title));
        if (auto* text = dialog->findChild<QPlainTextEdit*>(); text && text->isReadOnly())
            Say(QStringLiteral("TEXT ") + text->toPlainText().section(QLatin1Char('\n'), 0, 0));
        work(dialog);
        return true;
    };
}

bool NoModalDialog() { return !QApplication::activeModalWidget(); }

// Open every designer and statement viewer from the tree (the pane's Add and View Schema
// buttons, a double-click on a trigger), print "DIALOG <title>" and the first line of
// each shown statement ("TEXT <line>"), create an index, a trigger and a view through
// their designers, and print the tree's texts. With TABULON_SMOKE_SHOTS set to a folder,
// each dialog's screen is saved there once it has been up for a moment (for looking at
// them under a window manager).
Steps DesignersScenario()
{
    const QString add = QStringLiteral("Add object.");
    const QString schema = QStringLiteral("View object schema.");
    const auto closeWith = [](const char* button) { return [button](QDialog* dialog) { ClickLater(Button(dialog, button)); }; };
    Steps steps{[] { return Tree() && FindItem(Tree(), Env("TABULON_SMOKE_TABLE")); }};
    const auto press = [&](const QString& item, const QString& tip) {
        steps.push_back([item, tip] { return ClickItem(item) && PressPaneButton(tip); });
    };
    const auto open = [&](const QString& item, const QString& tip, const char* title, std::function<void(QDialog*)> work) {
        press(item, tip);
        steps.push_back(OnDialog(title, std::move(work)));
        steps.push_back(NoModalDialog);
    };
    // The index designer picks its key in the field picker before its Save.
    press(QStringLiteral("Index"), add);
    steps.push_back(OnDialog("New Index", [](QDialog* dialog) {
        dialog->findChild<QLineEdit*>()->setText(QStringLiteral("smoke_index"));
        dialog->findChild<QComboBox*>()->setEditText(Env("TABULON_SMOKE_TABLE"));
        ClickLater(Button(dialog, "On Field(s)..."));
    }));
    steps.push_back(OnDialog("Field(s)", [](QDialog*) {}));
    steps.push_back(PickField(QStringLiteral("name")));
    steps.push_back(OnDialog("New Index", closeWith("Save")));
    steps.push_back(NoModalDialog);
    open(QStringLiteral("Trigger"), add, "New Trigger", [](QDialog* dialog) {
        dialog->findChild<QLineEdit*>()->setText(QStringLiteral("smoke_trigger"));
        const QList<QComboBox*> boxes = dialog->findChildren<QComboBox*>();
        const QStringList choices{QStringLiteral("INSERT"), Env("TABULON_SMOKE_TABLE"), QStringLiteral("AFTER")};
        for (QComboBox* box : boxes)
            for (const QString& choice : choices)
                if (box->findText(choice) >= 0)
                    box->setCurrentIndex(box->findText(choice));
        dialog->findChildren<QPlainTextEdit*>().first()->setPlainText(QStringLiteral("BEGIN SELECT 1; END"));
        ClickLater(Button(dialog, "Save"));
    });
    open(QStringLiteral("View"), add, "New View", [](QDialog* dialog) {
        dialog->findChild<QLineEdit*>()->setText(QStringLiteral("smoke_view"));
        dialog->findChild<QPlainTextEdit*>()->setPlainText(QStringLiteral("SELECT 1 AS one"));
        ClickLater(Button(dialog, "OK"));
    });
    open(Env("TABULON_SMOKE_TABLE"), schema, "Table Schema", closeWith("OK"));
    open(Env("TABULON_SMOKE_INDEX"), schema, "Index Create Statement", closeWith("OK"));
    open(Env("TABULON_SMOKE_TRIGGER"), schema, "Trigger Create Statement", closeWith("OK"));
    open(Env("TABULON_SMOKE_VIEW"), schema, "View Create Statement", closeWith("OK"));
    // The trigger editor opens with a double-click on the trigger.
    steps.push_back([] {
        QTreeWidget* tree = Tree();
        QTreeWidgetItem* item = tree ? FindItem(tree, Env("TABULON_SMOKE_TRIGGER")) : nullptr;
        if (!item)
            return false;
        const QPoint point = tree->visualItemRect(item).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, point);
        QTimer::singleShot(0, tree, [tree, point] { QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, point); });
        return true;
    });
    steps.push_back(OnDialog("Create Trigger", closeWith("Cancel")));
    steps.push_back(NoModalDialog);
    steps.push_back([] {
        SayTree(Tree());
        return true;
    });
    steps.push_back(CloseMainWindow);
    return steps;
}

// Print the workspace tree's item texts, then close the window.
Steps TreeScenario()
{
    return {[] {
                QTreeWidget* tree = Tree();
                if (!tree || !FindItem(tree, Env("TABULON_SMOKE_TABLE")))
                    return false;
                SayTree(tree);
                return true;
            },
            CloseMainWindow};
}

// Open TABULON_SMOKE_TABLE from the tree with a double-click, double-click the cell of
// row 0 and column TABULON_SMOKE_COLUMN, type TABULON_SMOKE_TEXT, press Enter, close the
// data window and then the main window.
Steps EditScenario()
{
    return {OpenTableFromTree,
            [] {
                const GridParts grid = Grid();
                if (!grid.view)
                    return false;
                // A double-click opens the cell's editor.
                QTest::mouseDClick(grid.view->viewport(), Qt::LeftButton, {}, CellPoint(grid));
                return true;
            },
            [] {
                const GridParts grid = Grid();
                QLineEdit* editor = nullptr;
                for (QLineEdit* edit : grid.view ? grid.view->findChildren<QLineEdit*>() : QList<QLineEdit*>())
                    if (edit->isVisible())
                        editor = edit;
                if (!editor)
                    return false;
                editor->selectAll();
                QTest::keyClicks(editor, Env("TABULON_SMOKE_TEXT"));
                QTest::keyClick(editor, Qt::Key_Return);
                return true;
            },
            [] {
                const GridParts grid = Grid();
                if (!grid.view || CellText(grid) != Env("TABULON_SMOKE_TEXT"))
                    return false;
                Say(QStringLiteral("EDITED"));
                MainWindow()->findChild<QMdiArea*>()->closeAllSubWindows();
                return true;
            },
            CloseMainWindow};
}

// Close the main window once it shows.
Steps QuitScenario()
{
    return {[] { return MainWindow() != nullptr; }, CloseMainWindow};
}

// Close the main window while the first box is up, before its answer.
Steps QuitAskedScenario()
{
    // The box's answer is only queued when the step runs, so the close comes first.
    return {[] { return VisibleBox() && MainWindow() && CloseMainWindow(); }};
}

// Open the settings sheet from the toolbar, type TABULON_SMOKE_TEXT as the report
// header, press OK, then close the main window.
Steps HeaderScenario()
{
    return {OpenSettings,
            [] {
                QLineEdit* header = SheetHeader();
                if (!header)
                    return false;
                header->selectAll();
                QTest::keyClicks(header, Env("TABULON_SMOKE_TEXT"));
                PressSheetButton(QDialogButtonBox::Ok);
                return true;
            },
            SheetClosed, CloseMainWindow};
}

// Open the settings sheet, print its report header, press Cancel, then close the main
// window.
Steps ShowHeaderScenario()
{
    return {OpenSettings,
            [] {
                QLineEdit* header = SheetHeader();
                if (!header)
                    return false;
                Say(QStringLiteral("HEADER ") + header->text());
                PressSheetButton(QDialogButtonBox::Cancel);
                return true;
            },
            SheetClosed, CloseMainWindow};
}

// Hold Alt and let go, press F10 and print the menu that opens, close it with Escape,
// then press Ctrl+Q.
Steps MenusScenario()
{
    return {[] {
                QMainWindow* window = MainWindow();
                if (!window || !Bar())
                    return false;
                window->activateWindow();
                if (!window->isActiveWindow())
                    return false;
                Say(Bar()->isVisible() ? QStringLiteral("BAR shown at start") : QStringLiteral("BAR hidden at start"));
                QTest::keyPress(KeyTarget(), Qt::Key_Alt, Qt::AltModifier);
                Say(Bar()->isVisible() ? QStringLiteral("BAR shown with Alt") : QStringLiteral("BAR hidden with Alt"));
                QTest::keyRelease(KeyTarget(), Qt::Key_Alt);
                return true;
            },
            [] {
                if (Bar()->isVisible())
                    return false;
                Say(QStringLiteral("BAR hidden after Alt"));
                QTest::keyClick(KeyTarget(), Qt::Key_F10);
                return true;
            },
            [] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                if (!menu || !Bar()->isVisible())
                    return false;
                QStringList items;
                for (QAction* action : menu->actions())
                    if (action->isVisible() && !action->isSeparator())
                        items << action->text();
                Say(QStringLiteral("F10 MENU ") + items.join(QLatin1Char('|')));
                QTest::keyClick(menu, Qt::Key_Escape);
                return true;
            },
            [] {
                if (QApplication::activePopupWidget())
                    return false;
                if (Bar()->isVisible())
                    QTest::keyClick(KeyTarget(), Qt::Key_Escape);
                return true;
            },
            [] {
                if (Bar()->isVisible())
                    return false;
                Say(QStringLiteral("BAR hidden after Escape"));
                return true;
            },
            [] {
                QMainWindow* window = MainWindow();
                window->activateWindow();
                if (!window->isActiveWindow())
                    return false;
                QTest::keyClick(KeyTarget(), Qt::Key_Q, Qt::ControlModifier);
                return true;
            },
            // The program ends with the key; were it still running, this step times out.
            [] { return false; }};
}

// Print the style in use and the checked Application Look item, then close.
Steps StyleScenario()
{
    return {[] {
                QMenuBar* bar = Bar();
                if (!bar)
                    return false;
                Say(QStringLiteral("STYLE ") + QApplication::style()->name());
                for (QMenu* menu : bar->findChildren<QMenu*>())
                    if (menu->title() == QLatin1String("&Application Look"))
                        for (QAction* action : menu->actions())
                            if (action->isChecked())
                                Say(QStringLiteral("LOOK ") + action->text());
                return true;
            },
            CloseMainWindow};
}

// Open TABULON_SMOKE_TABLE from the tree as the edit scenario does and print the cell's
// text.
Steps ReadScenario()
{
    return {OpenTableFromTree,
            [] {
                const GridParts grid = Grid();
                if (!grid.view)
                    return false;
                Say(QStringLiteral("CELL ") + CellText(grid));
                return true;
            },
            CloseMainWindow};
}

// Select the Tables folder, press the pane's Add, and in the table designer name the
// table TABLE_NAME, add the fields id and customer_id of type Integer, give the table a
// foreign key from customer_id to TABULON_SMOKE_TABLE's id, save, print the tree, then
// close the window.
Steps DesignScenario()
{
    return {[] {
                // Each letter typed into a list starts a search of its own: the two
                // rows' "I" must not join into one search for "II".
                QApplication::setKeyboardInputInterval(0);
                QTreeWidget* tree = Tree();
                const QList<QTreeWidgetItem*> folders =
                    tree ? tree->findItems(QStringLiteral("Table("), Qt::MatchStartsWith | Qt::MatchRecursive)
                         : QList<QTreeWidgetItem*>();
                if (folders.isEmpty())
                    return false;
                QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(folders.first()).center());
                for (QToolButton* button : MainWindow()->findChildren<QToolButton*>())
                    if (button->defaultAction() && button->defaultAction()->toolTip() == QLatin1String("Add object."))
                        return ClickLater(button);
                return false;
            },
            [] {
                if (!FocusedDialog("New Table"))
                    return false;
                TypeIntoFocus(Env("TABULON_SMOKE_TABLE_NAME"));
                return true;
            },
            AddField(QStringLiteral("id")), AddField(QStringLiteral("customer_id")),
            InDialogClick("New Table", "Table Constraint..."),
            InDialogClick("Table Constraint", "Set Foreign Key..."),
            [] {
                QDialog* clause = Dialog("Set Foreign Key");
                if (!clause)
                    return false;
                // The parent table list is the box without an edit field.
                for (QComboBox* box : clause->findChildren<QComboBox*>())
                    if (!box->isEditable())
                        box->setCurrentIndex(box->findText(Env("TABULON_SMOKE_TABLE")));
                return ClickLater(Button(clause, "Set Parent Key..."));
            },
            PickField(QStringLiteral("id")),
            InDialogClick("Set Foreign Key", "Set Child Key..."),
            PickField(QStringLiteral("customer_id")),
            InDialogClick("Set Foreign Key", "Apply"),
            InDialogClick("Table Constraint", "Apply"),
            InDialogClick("New Table", "Save"),
            [] {
                QTreeWidget* tree = Tree();
                if (QApplication::activeModalWidget() || !tree || !FindItem(tree, Env("TABULON_SMOKE_TABLE_NAME")))
                    return false;
                tree->expandAll();
                SayTree(tree);
                return true;
            },
            CloseMainWindow};
}

// By keys alone: Enter on TABULON_SMOKE_TABLE in the tree opens it, Ctrl+End on the grid
// and a typed TABULON_SMOKE_TEXT with Up fill the new-row line, the line count is
// printed ("LINES n"); then Relationships twice and Ctrl+N, and the number of diagram
// windows is printed ("DIAGRAMS n").
Steps KeysScenario()
{
    return {[] {
                QTreeWidget* tree = Tree();
                QTreeWidgetItem* item = tree ? FindItem(tree, Env("TABULON_SMOKE_TABLE")) : nullptr;
                if (!item)
                    return false;
                tree->setFocus();
                tree->setCurrentItem(item);
                QTest::keyClick(tree, Qt::Key_Return);
                return true;
            },
            [] {
                // The new window takes the keyboard by itself.
                const GridParts grid = Grid();
                if (!grid.view || QApplication::focusWidget() != grid.view)
                    return false;
                QTest::keyClick(grid.view, Qt::Key_End, Qt::ControlModifier);
                const QString text = Env("TABULON_SMOKE_TEXT");
                QTest::keyClicks(grid.view, text.left(1));
                QTest::keyClicks(QApplication::focusWidget(), text.mid(1));
                // Up leaves the new-row line, which stores it as a row.
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
                return true;
            },
            [] {
                const GridParts grid = Grid();
                Say(QStringLiteral("LINES %1").arg(grid.model ? grid.model->rowCount() : 0));
                QMainWindow* window = MainWindow();
                QAction* relationships = nullptr;
                for (QAction* action : window->findChildren<QAction*>())
                    if (action->toolTip() == QLatin1String("Relationships"))
                        relationships = action;
                if (!relationships)
                    return false;
                relationships->trigger();
                relationships->trigger();
                QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier);
                int diagrams = 0;
                for (QMdiSubWindow* sub : window->findChild<QMdiArea*>()->subWindowList())
                    diagrams += sub->windowTitle() == QLatin1String("<Table Relation>");
                Say(QStringLiteral("DIAGRAMS %1").arg(diagrams));
                return true;
            },
            CloseMainWindow};
}

struct NamedScenario {
    const char* name;
    Steps (*steps)();
};

const NamedScenario SCENARIOS[] = {
    {"designers", DesignersScenario},
    {"tree", TreeScenario},
    {"edit", EditScenario},
    {"quit", QuitScenario},
    {"quit-asked", QuitAskedScenario},
    {"header", HeaderScenario},
    {"show-header", ShowHeaderScenario},
    {"menus", MenusScenario},
    {"style", StyleScenario},
    {"read", ReadScenario},
    {"design", DesignScenario},
    {"keys", KeysScenario},
};

Steps Scenario(const QString& name)
{
    for (const NamedScenario& scenario : SCENARIOS)
        if (name == QLatin1String(scenario.name))
            return scenario.steps();
    return {};
}

void StartDriver()
{
    const QString scenario = Env("TABULON_SMOKE");
    if (scenario.isEmpty())
        return;
    // Made once the event loop runs: the main window exists by then.
    QTimer::singleShot(0, qApp, [scenario] { (new Driver(Scenario(scenario)))->setParent(qApp); });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(StartDriver)
