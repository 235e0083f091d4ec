#include "document/strip/cacaptionbar.h"

#include "document/strip/ccaptiondlg.h"
#include "document/strip/cmfcbuttonext.h"
#include "platform/captionline.h"
#include "recordingtarget.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QHelpEvent>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QSet>
#include <QTest>
#include <QToolTip>

#include <chrono>
#include <functional>
#include <future>
#include <memory>

namespace {

using Dlg = CCaptionDlg;

// A shown caption bar, wide enough for the message area, with its strip.
class CaptionStrip : public testing::Test {
protected:
    void SetUp() override
    {
        bar = std::make_unique<CACaptionBar>();
        bar->resize(900, CACaptionBar::DEFAULT_HEIGHT);
        bar->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(bar.get()));
        strip = bar->GetCaptionDlg();
    }

    // The enabled state of controls 0 to 9 as ten digits.
    std::string States() const
    {
        std::string states;
        for (int index = 0; index < Dlg::ControlCount; ++index)
            states += strip->GetControl(index)->isEnabled() ? '1' : '0';
        return states;
    }

    void SetStates(const std::string& states)
    {
        for (int index = 0; index < Dlg::ControlCount; ++index)
            strip->EnableButton(states[index] == '1', index);
    }

    void Click(int index) { QTest::mouseClick(strip->GetControl(index), Qt::LeftButton); }

    // Pixels of exactly this colour inside the message area as painted now.
    int MessagePixels(const QColor& color) const
    {
        const QImage image = strip->grab().toImage();
        const qreal ratio = image.devicePixelRatio();
        const QRect area = strip->GetMessageRect();
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (image.pixelColor(int(x * ratio), int(y * ratio)).rgb() == color.rgb())
                    ++count;
        return count;
    }

    std::unique_ptr<CACaptionBar> bar;
    Dlg* strip = nullptr;
};

// Solid glyphs, so that the text colour shows in whole pixels.
const std::wstring kBlocks = L"\u2588\u2588\u2588\u2588\u2588\u2588";

// Catches a wrong control enabled or disabled by activation, row clicks, Clear or an
// out-of-range index; each case starts from its own state so that no change goes unseen.
TEST_F(CaptionStrip, ButtonStatesFollowActivationsAndRowClicks)
{
    EXPECT_EQ(States(), "0000000000") << "every control starts disabled";

    const struct {
        const char* name;
        const char* start;
        std::function<void(CACaptionBar&)> action;
        const char* expected;
    } cases[] = {
        // A datasheet's grid set up: search text, Search, search type and Add row.
        {"grid set up", "0000000000",
         [](CACaptionBar& b) {
             for (int index : {0, 1, 2, 5})
                 b.GetCaptionDlg()->EnableButton(true, index);
         },
         "1110010000"},
        {"writable, row selected", "0001000100", [](CACaptionBar& b) { b.SetTable(L"t", true, false); }, "1111011111"},
        {"writable, no row selected", "0000111111", [](CACaptionBar& b) { b.SetTable(L"t", false, false); },
         "1110100100"},
        {"read-only leaves search only", "1111111111", [](CACaptionBar& b) { b.SetTable(L"v", true, true); },
         "1100000000"},
        {"read-only from nothing", "0000000000", [](CACaptionBar& b) { b.SetTable(L"v", false, true); },
         "1100000000"},
        {"click on a record", "1110000100", [](CACaptionBar& b) { b.SetRowPosition(2, 10, false); }, "1110011111"},
        {"click on the new-row line", "1111111111", [](CACaptionBar& b) { b.SetRowPosition(10, 10, false); },
         "1111100100"},
        {"click on a read-only record", "1100000000", [](CACaptionBar& b) { b.SetRowPosition(2, 10, true); },
         "1100000000"},
        {"click on no row", "1110000000", [](CACaptionBar& b) { b.SetRowPosition(-1, 10, false); }, "1110000000"},
        {"clear", "1111111111", [](CACaptionBar& b) { b.Clear(); }, "0000000000"},
        {"disable all", "1010101010", [](CACaptionBar& b) { b.GetCaptionDlg()->DisableAllButtons(); }, "0000000000"},
        {"undo follows the row-edit state", "1110010000",
         [](CACaptionBar& b) { b.GetCaptionDlg()->EnableButton(true, Dlg::UndoRow); }, "1110010100"},
        {"indexes outside 0 to 9", "1010101010",
         [](CACaptionBar& b) {
             b.GetCaptionDlg()->EnableButton(true, -1);
             b.GetCaptionDlg()->EnableButton(true, 10);
             b.GetCaptionDlg()->EnableButton(false, 10);
         },
         "1010101010"},
    };
    for (const auto& c : cases) {
        SetStates(c.start);
        c.action(*bar);
        EXPECT_EQ(States(), c.expected) << c.name;
    }
}

// Catches wrong position texts, above all the last loaded record taken for the new-row
// line while rows still load (the grid has no new-row line then).
TEST_F(CaptionStrip, RowPositionTexts)
{
    bar->SetTable(L"Straße 😀", false, false);
    EXPECT_EQ(strip->GetMessageText(), L"<Straße 😀>");
    EXPECT_EQ(bar->GetTitle(), L"Straße 😀");

    const struct {
        int row;
        int recordCount;
        const wchar_t* text;
    } cases[] = {
        {2, 10, L"<Straße 😀 row 3 of 10>"},
        {0, 1, L"<Straße 😀 row 1 of 1>"},
        {9, 10, L"<Straße 😀 row 10 of 10>"},
        {10, 10, L"New row"},
        {0, 0, L"New row"},
    };
    for (const auto& c : cases) {
        bar->SetRowPosition(c.row, c.recordCount, false);
        EXPECT_EQ(strip->GetMessageText(), c.text) << c.row << " of " << c.recordCount;
        EXPECT_EQ(strip->GetMessageType(), platform::CAPTION_LINE_NORMAL);
    }

    strip->SetMessage(L"kept", platform::CAPTION_LINE_WARNING);
    bar->SetRowPosition(-1, 10, false);
    EXPECT_EQ(strip->GetMessageText(), L"kept") << "a click on no row must not change the message";
}

// Catches a message painted in the wrong colour, outside its area, lost on a resize, left
// behind by the next message, or not removed by an empty text.
TEST_F(CaptionStrip, MessageColoursAndLifetime)
{
    const QColor normal = strip->palette().color(QPalette::WindowText);
    const QColor warning(0, 128, 128);
    const QColor error(128, 0, 128);
    const struct {
        int type;
        QColor color;
    } cases[] = {{platform::CAPTION_LINE_NORMAL, normal},
                 {platform::CAPTION_LINE_WARNING, warning},
                 {platform::CAPTION_LINE_ERROR, error},
                 {7, normal}}; // a type without a colour of its own
    for (const auto& c : cases) {
        strip->SetMessage(kBlocks, c.type);
        EXPECT_GT(MessagePixels(c.color), 50) << "type " << c.type;
        for (const QColor& other : {normal, warning, error}) {
            if (other != c.color) {
                EXPECT_EQ(MessagePixels(other), 0) << "type " << c.type << " shows another colour";
            }
        }
    }

    strip->SetMessage(kBlocks, platform::CAPTION_LINE_ERROR);
    bar->resize(700, CACaptionBar::DEFAULT_HEIGHT);
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip->width() == 699; }, 5000));
    EXPECT_GT(MessagePixels(error), 50) << "a resize must not lose the message";
    bar->hide();
    bar->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(bar.get()));
    EXPECT_GT(MessagePixels(error), 50) << "uncovering must not lose the message";

    bar->Clear();
    EXPECT_EQ(strip->GetMessageText(), L"");
    EXPECT_EQ(MessagePixels(error), 0);
    EXPECT_EQ(MessagePixels(normal), 0);
}

// Catches a message area that overlaps the buttons or ignores the strip's width.
TEST_F(CaptionStrip, MessageAreaLiesRightOfTheButtons)
{
    const QRect last = strip->GetControl(Dlg::ReferenceDown)->geometry();
    for (int width : {900, 640}) {
        bar->resize(width, CACaptionBar::DEFAULT_HEIGHT);
        ASSERT_TRUE(QTest::qWaitFor([&] { return strip->width() == width - 1; }, 5000));
        const QRect area = strip->GetMessageRect();
        EXPECT_EQ(area.left(), last.right() + 1 + 30);
        EXPECT_EQ(area.right(), strip->width() - 5 - 1);
        EXPECT_EQ(area.top(), last.top());
        EXPECT_EQ(area.bottom(), last.bottom());
        EXPECT_EQ(strip->geometry().topLeft(), QPoint(1, 1));
        EXPECT_EQ(strip->height(), CACaptionBar::DEFAULT_HEIGHT - 1);
    }
    for (int index = 0; index < Dlg::ControlCount; ++index) {
        const QRect control = strip->GetControl(index)->geometry();
        EXPECT_TRUE(strip->rect().contains(control)) << index;
    }
}

// Catches a message from another thread that touches the strip there (it must arrive
// through the user-interface thread's queue) or that waits for the user-interface thread.
TEST_F(CaptionStrip, MessagesFromAnotherThreadArriveOnTheUserInterfaceThread)
{
    strip->SetMessage(L"before", platform::CAPTION_LINE_NORMAL);
    auto loader = std::async(std::launch::async, [this] {
        strip->SetMessage(L"direct from the loader", platform::CAPTION_LINE_ERROR);
        platform::ShowCaptionLine(L"Maximum number of row can be loaded", platform::CAPTION_LINE_WARNING);
    });
    // The user-interface thread processes nothing meanwhile, so a waiting call never ends.
    ASSERT_EQ(loader.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_EQ(strip->GetMessageText(), L"before") << "the strip was changed off its thread";

    EXPECT_TRUE(QTest::qWaitFor([&] { return strip->GetMessageText() == L"Maximum number of row can be loaded"; }, 5000));
    EXPECT_EQ(strip->GetMessageType(), platform::CAPTION_LINE_WARNING);
}

// Catches a strip that is not the program's caption line, or a destroyed strip still bound.
TEST_F(CaptionStrip, IsTheProgramsCaptionLine)
{
    platform::ShowCaptionLine(L"00026 from the data layer", platform::CAPTION_LINE_ERROR);
    EXPECT_EQ(strip->GetMessageText(), L"00026 from the data layer");
    EXPECT_EQ(strip->GetMessageType(), platform::CAPTION_LINE_ERROR);

    bar.reset();
    platform::ShowCaptionLine(L"after the bar", platform::CAPTION_LINE_WARNING); // dropped, never delivered to the dead strip
    auto loader = std::async(std::launch::async, [] { platform::ShowCaptionLine(L"queued after the bar", platform::CAPTION_LINE_WARNING); });
    loader.wait();
    QCoreApplication::processEvents();
}

// Catches a search-type choice that is not used by the next search, a menu that ticks the
// wrong item, or Enter in the search box not running the search.
TEST_F(CaptionStrip, SearchTypeMenuThenSearch)
{
    RecordingTarget target;
    bar->SetTable(L"t", true, false);
    bar->SetTargetFrame(&target);
    QMenu* menu = strip->GetSearchTypeMenu();

    const auto checkedItems = [&] {
        std::string items;
        for (QAction* action : menu->actions())
            items += action->isChecked() ? '1' : '0';
        return items;
    };
    const auto choose = [&](const QString& text) {
        Click(Dlg::SearchType);
        EXPECT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 5000));
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions())
            if (action->text() == text)
                chosen = action;
        EXPECT_NE(chosen, nullptr) << text.toStdString();
        if (chosen)
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }, 5000));
    };

    EXPECT_EQ(menu->title(), "Search Type");
    choose(QStringLiteral("Any Part of Field"));
    EXPECT_EQ(strip->GetSearchType(), 2);
    auto* edit = static_cast<QLineEdit*>(strip->GetControl(Dlg::SearchText));
    QTest::keyClicks(edit, QStringLiteral("O'Brien]"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(target.calls, std::vector<std::string>{"search 2 O'Brien]"});

    Click(Dlg::SearchType);
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 5000));
    EXPECT_EQ(checkedItems(), "0010");
    menu->hide();

    const struct {
        const char* text;
        int type;
    } items[] = {{"Start of Field", 0}, {"Whole field", 1}, {"Go To", 3}};
    for (const auto& item : items) {
        target.calls.clear();
        choose(QString::fromUtf8(item.text));
        Click(Dlg::Search);
        EXPECT_EQ(target.calls, std::vector<std::string>{"search " + std::to_string(item.type) + " O'Brien]"})
            << item.text;
    }
}

// Catches search and find results that set the hit buttons wrongly, and buttons that send
// the wrong command.
TEST_F(CaptionStrip, CommandsReachTheTargetAndSetTheHitButtons)
{
    RecordingTarget target;
    bar->SetTargetFrame(&target);
    EXPECT_EQ(bar->GetTargetFrame(), &target);

    const struct {
        const char* name;
        const char* start;
        std::function<void()> action;
        const char* call;
        const char* expected;
    } cases[] = {
        {"search with a hit", "1111111111", [&] { target.searchResult = true; Click(Dlg::Search); }, "search 0 ",
         "1110111111"},
        {"search without a hit", "1110011111", [&] { target.searchResult = false; Click(Dlg::Search); }, "search 0 ",
         "1110011111"},
        {"next with a row", "1110111111", [&] { target.nextResult = true; Click(Dlg::FindNext); }, "next",
         "1111111111"},
        {"next past the last hit", "1111111111", [&] { target.nextResult = false; Click(Dlg::FindNext); }, "next",
         "1111011111"},
        {"previous with a row", "1111011111", [&] { target.prevResult = true; Click(Dlg::FindPrev); }, "prev",
         "1111111111"},
        {"previous past the first hit", "1111111111", [&] { target.prevResult = false; Click(Dlg::FindPrev); },
         "prev", "1110111111"},
        {"add row", "1111111111", [&] { Click(Dlg::AddRow); }, "add", "1111111111"},
        {"delete rows", "1111111111", [&] { Click(Dlg::DeleteRows); }, "delete", "1111111111"},
        {"undo", "1111111111", [&] { Click(Dlg::UndoRow); }, "undo", "1111111111"},
        {"parent reference", "1111111111", [&] { Click(Dlg::ReferenceUp); }, "up", "1111111111"},
        {"child references", "1111111111", [&] { Click(Dlg::ReferenceDown); }, "down", "1111111111"},
    };
    for (const auto& c : cases) {
        SetStates(c.start);
        target.calls.clear();
        c.action();
        EXPECT_EQ(target.calls, std::vector<std::string>{c.call}) << c.name;
        EXPECT_EQ(States(), c.expected) << c.name;
    }

    target.calls.clear();
    SetStates("0000000000");
    for (int index = 1; index < Dlg::ControlCount; ++index)
        Click(index);
    EXPECT_TRUE(target.calls.empty()) << "a disabled button sent a command";
}

// Catches commands sent to no frame or to a destroyed one (the sanitizer build sees the
// use after free); such commands must change nothing.
TEST_F(CaptionStrip, CommandsWithoutALiveTargetDoNothing)
{
    const auto clickEverything = [&] {
        SetStates("1111111111");
        for (int index : {Dlg::Search, Dlg::FindPrev, Dlg::FindNext, Dlg::AddRow, Dlg::DeleteRows, Dlg::UndoRow,
                          Dlg::ReferenceUp, Dlg::ReferenceDown})
            Click(index);
        QTest::keyClick(strip->GetControl(Dlg::SearchText), Qt::Key_Return);
        EXPECT_EQ(States(), "1111111111");
    };
    EXPECT_EQ(bar->GetTargetFrame(), nullptr);
    clickEverything();

    auto target = std::make_unique<RecordingTarget>();
    bar->SetTargetFrame(target.get());
    target.reset();
    EXPECT_EQ(bar->GetTargetFrame(), nullptr);
    clickEverything();

    RecordingTarget first;
    RecordingTarget second;
    bar->SetTargetFrame(&first);
    bar->SetTargetFrame(&second);
    Click(Dlg::AddRow);
    EXPECT_TRUE(first.calls.empty());
    EXPECT_EQ(second.calls, std::vector<std::string>{"add"});
}

// Catches tooltips or short texts on the wrong control, and the search box without its text.
TEST_F(CaptionStrip, TooltipsAndShortTexts)
{
    const struct {
        int index;
        const char* tooltip;
        const char* shortText;
    } cases[] = {
        {0, "", "Search Text"},
        {1, "Find matching record in the active table on active column.", "Search"},
        {2, "Select search type.", "Search Options"},
        {3, "Jump to previous row in search result.", "Navigate Backward of Search Result"},
        {4, "Jump to next row in search result", "Navigate Forward of Search Result"},
        {5, "Add new row to the active table.", "Add New Row"},
        {6, "Delete selected row(s) from the active table.", "Delete Selected Row(s)"},
        {7, "Undo recently changed row.", "Undo Recent Change(s)"},
        {8, "Find related record in parent table.", "Find Upward Reference"},
        {9, "Find related record in child tables", "Find Downward Reference(s)"},
    };
    for (const auto& c : cases) {
        QWidget* control = strip->GetControl(c.index);
        EXPECT_EQ(control->toolTip().toStdString(), c.tooltip) << c.index;
        EXPECT_EQ(strip->OnToolTipText(control).toStdString(), c.shortText) << c.index;
    }
    EXPECT_EQ(strip->OnToolTipText(bar.get()), QString());
    EXPECT_EQ(strip->OnToolTipText(nullptr), QString());

    // The search box has no tooltip of its own: the strip answers with the short text.
    QWidget* edit = strip->GetControl(Dlg::SearchText);
    strip->EnableButton(true, Dlg::SearchText);
    const QPoint pos = edit->rect().center();
    QHelpEvent help(QEvent::ToolTip, pos, edit->mapToGlobal(pos));
    QApplication::sendEvent(edit, &help);
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 5000));
    EXPECT_EQ(QToolTip::text(), "Search Text");
    QToolTip::hideText();

    // A message cut short in the strip shows whole over the message area.
    const std::wstring longText(200, L'w');
    strip->SetMessage(longText, platform::CAPTION_LINE_NORMAL);
    const QPoint inMessage = strip->GetMessageRect().center();
    QHelpEvent overMessage(QEvent::ToolTip, inMessage, strip->mapToGlobal(inMessage));
    QApplication::sendEvent(strip, &overMessage);
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 5000));
    EXPECT_EQ(QToolTip::text(), QString::fromStdWString(longText));
    QToolTip::hideText();
}

// Catches a pressed button without its frame colour, or a frame left after the release.
TEST_F(CaptionStrip, PressedButtonIsFramed)
{
    const QColor frame(255, 0, 128);
    auto* button = static_cast<CMFCButtonExt*>(strip->GetControl(Dlg::AddRow));
    strip->EnableButton(true, Dlg::AddRow);
    const auto cornerColor = [&] {
        const QImage image = button->grab().toImage();
        return image.pixelColor(0, image.height() / 2).rgb();
    };
    EXPECT_NE(cornerColor(), frame.rgb());
    QTest::mousePress(button, Qt::LeftButton);
    EXPECT_TRUE(button->isDown());
    EXPECT_EQ(cornerColor(), frame.rgb());
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_NE(cornerColor(), frame.rgb());
}

// Saves the strip's look for review: an active writable table with a row clicked, then
// with the row-limit warning. Each picture is the whole bar, holds drawn controls rather
// than one flat colour, and the warning changes what the strip shows.
TEST_F(CaptionStrip, SavesAScreenshot)
{
    bar->SetTable(L"Customers", true, false);
    strip->EnableButton(true, Dlg::FindNext);
    strip->EnableButton(true, Dlg::UndoRow);
    bar->SetRowPosition(2, 10, false);
    static_cast<QLineEdit*>(strip->GetControl(Dlg::SearchText))->setText(QStringLiteral("Smith"));
    const auto save = [this](const char* name) {
        const QString path = QStringLiteral(TABULON_BINARY_DIR "/") + QLatin1String(name);
        EXPECT_TRUE(bar->grab().save(path));
        QImage picture(path);
        EXPECT_FALSE(picture.isNull()) << name;
        EXPECT_EQ(picture.size() / picture.devicePixelRatio(), bar->size()) << name;
        QSet<QRgb> colours;
        for (int y = 0; y < picture.height(); y += 2)
            for (int x = 0; x < picture.width(); x += 2)
                colours.insert(picture.pixel(x, y));
        EXPECT_GT(colours.size(), 8) << name << " is nearly one flat colour";
        return picture;
    };
    const QImage normal = save("caption_strip.png");

    strip->SetMessage(L"Maximum number of row can be loaded into the datasheet has been reached. Partial data was "
                      L"loaded.\nYou can change this maximum number from the Application Configuration.",
                      platform::CAPTION_LINE_WARNING);
    const QImage warning = save("caption_strip_warning.png");
    EXPECT_NE(normal, warning) << "the warning line does not show";
}

} // namespace
