// Formatting, tokenizing, text checks, paths and dates.
#include "data/browseforfolder.h"
#include "data/csplitpath.h"
#include "data/cstringtokenizer.h"
#include "data/datetimeutil.h"
#include "data/formatstring.h"
#include "data/settings.h"
#include "data/textutil.h"
#include "platform/clock.h"
#include "platform/folderdialog.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <Qt>

#include <climits>

namespace {

std::wstring Format(const wchar_t* format, const auto&... args)
{
    std::wstring out = L"stale";
    return FormatString(out, format, args...);
}

TEST(FormatString, WideTextAndNumbersFollowTheWideRules)
{
    const std::wstring table = L"Grüße \U0001F600";
    EXPECT_EQ(Format(L"%s\n Location <%s>", L"SQLITE_ERROR:<x>", L"00024"), L"SQLITE_ERROR:<x>\n Location <00024>");
    EXPECT_EQ(Format(L"[%s]", table), L"[Grüße \U0001F600]");
    EXPECT_EQ(Format(L"%c[%s]", L',', std::wstring(L"b")), L",[b]");
    EXPECT_EQ(Format(L"%.4d-%.2d-%.2d ", 2014, 11, 7), L"2014-11-07 ");
    EXPECT_EQ(Format(L"%d %d", -5, 2147483647), L"-5 2147483647");
    EXPECT_EQ(Format(L"%d", 5000000000LL), L"5000000000");
    EXPECT_EQ(Format(L"%x", -1), L"ffffffff");
    EXPECT_EQ(Format(L"%5s|%-5s|%.2s", L"ab", L"cd", L"xyz"), L"   ab|cd   |xy");
    EXPECT_EQ(Format(L"100%% LIKE 'sqlite%%'"), L"100% LIKE 'sqlite%'");
    EXPECT_EQ(Format(L"%.2f", 0.125), L"0.12");
}

TEST(FormatString, NullFormatAndMissingArgumentsGiveNoGarbage)
{
    std::wstring out = L"old";
    EXPECT_EQ(FormatString(out, static_cast<const wchar_t*>(nullptr)), L"");
    EXPECT_EQ(Format(L"a%sb%dc"), L"abc");
}

TEST(FormatString, IdentifiersNameExactlyTheObjectMeant)
{
    struct Case {
        std::wstring name;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"plain", L"DROP TABLE IF EXISTS [plain]"},
        {L"with,comma", L"DROP TABLE IF EXISTS [with,comma]"},
        {L"a\"b", L"DROP TABLE IF EXISTS [a\"b]"},
        {L"x]y", L"DROP TABLE IF EXISTS \"x]y\""},
        {L"t] --", L"DROP TABLE IF EXISTS \"t] --\""},
        {L"q\"]", L"DROP TABLE IF EXISTS \"q\"\"]\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Format(L"DROP TABLE IF EXISTS [%s]", SqlName{c.name}), c.expected);
    // Outside brackets the whole quoted name is written.
    EXPECT_EQ(Format(L"SELECT * FROM %s", SqlName{std::wstring(L"a]b")}), L"SELECT * FROM \"a]b\"");
    EXPECT_EQ(QuoteIdentifier(L"n"), L"[n]");
}

// Plain names keep their text; any other name (a keyword, a blank, a leading digit, a
// letter outside ASCII) would change the statement's meaning or break it unquoted.
TEST(FormatString, OnlyNamesThatAreNotPlainIdentifiersAreQuoted)
{
    const struct {
        const wchar_t* name;
        const wchar_t* written;
    } cases[] = {
        {L"t", L"t"},
        {L"_Order_2", L"_Order_2"},
        {L"orders", L"orders"},
        {L"order", L"[order]"},
        {L"SELECT", L"[SELECT]"},
        {L"my table", L"[my table]"},
        {L"2nd", L"[2nd]"},
        {L"naïve", L"[naïve]"},
        {L"a-b", L"[a-b]"},
        {L"x]y", L"\"x]y\""},
        {L"", L"[]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QuoteIdentifierWhenNeeded(c.name), c.written) << testing_support::Utf8(c.name);
}

TEST(TextChecks, LineBreaksOfEverySystemBecomeLineFeeds)
{
    EXPECT_EQ(NormalizeLineBreaks(L"BEGIN\r\n\r\nEND"), L"BEGIN\n\nEND");
    EXPECT_EQ(NormalizeLineBreaks(L"a\rb\r\r\nc\n"), L"a\nb\n\nc\n");
    EXPECT_EQ(NormalizeLineBreaks(L"\r"), L"\n");
}

TEST(FormatString, ValuesHaveTheirQuotesDoubled)
{
    const std::wstring hostile = L"'; DROP TABLE t; --";
    EXPECT_EQ(Format(L"WHERE [a] = '%s'", SqlText{hostile}), L"WHERE [a] = '''; DROP TABLE t; --'");
    EXPECT_EQ(Format(L"LIKE '%%%s%%'", SqlText{std::wstring(L"O'Brien")}), L"LIKE '%O''Brien%'");
    EXPECT_EQ(QuoteValue(L"it's"), L"'it''s'");
}

TEST(Tokenizer, RunsOfDelimitersNeverMakeEmptyTokens)
{
    struct Case {
        std::wstring source;
        std::wstring delimiters;
        std::vector<std::wstring> tokens;
    };
    const Case cases[] = {
        {L"  one   two  ", L" ", {L"one", L"two"}},
        {L"2014-11-07", L"-", {L"2014", L"11", L"07"}},
        {L" 1,2,,3", L",", {L" 1", L"2", L"3"}},
        {L"a;b c", L"; ", {L"a", L"b", L"c"}},
        {L"", L" ", {}},
        {L"    ", L" ", {}},
        {L"abc", L"", {}},
    };
    for (const Case& c : cases) {
        CStringTokenizer tokenizer(c.source, c.delimiters);
        EXPECT_EQ(tokenizer.m_arrTokens, c.tokens) << testing_support::Utf8(c.source);
        EXPECT_EQ(tokenizer.GetTokenCount(), static_cast<int>(c.tokens.size()));
    }
    CStringTokenizer empty(L"   ", L" ");
    EXPECT_FALSE(empty.Tokenize());
}

TEST(Tokenizer, TokensOutOfRangeAndCaseInsensitiveFind)
{
    CStringTokenizer tokenizer(L"PRAGMA table_info = x", L" ");
    EXPECT_EQ(tokenizer.GetToken(-1), L"");
    EXPECT_EQ(tokenizer.GetToken(4), L"");
    EXPECT_EQ(tokenizer.FindToken(L"pragma"), 0);
    EXPECT_EQ(tokenizer.FindToken(L"="), 2);
    EXPECT_EQ(tokenizer.FindToken(L"PRAG"), -1);
}

TEST(TextChecks, NumbersAsTheCellEditorsAcceptThem)
{
    struct Case {
        std::wstring text;
        bool decimal;
        bool integer;
    };
    const Case cases[] = {
        {L"-1.5", true, false}, {L"1-5", true, true},  {L"1.2.3", false, false}, {L"--1", false, false},
        {L"1e5", false, false}, {L"", true, true},     {L"-12", true, true},     {L"1.0", true, false},
        {L"12a", false, false}, {L" 1", false, false}, {L"٣", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsDecimalText(c.text), c.decimal) << testing_support::Utf8(c.text);
        EXPECT_EQ(IsIntegerText(c.text), c.integer) << testing_support::Utf8(c.text);
    }
}

// A name of blanks would make "[ ]" an object name; a blank inside a name is no fault.
TEST(TextChecks, EmptyNamesAreNothingButBlanksAndTabs)
{
    for (const wchar_t* name : {L"", L" ", L"\t", L" \t  "})
        EXPECT_TRUE(IsEmptyName(name)) << testing_support::Utf8(name);
    for (const wchar_t* name : {L"a", L" a ", L"my table", L"\u00e9", L"]"})
        EXPECT_FALSE(IsEmptyName(name)) << testing_support::Utf8(name);
}

TEST(TextChecks, CalendarDates)
{
    struct Case {
        int year, month, day;
        bool valid;
    };
    const Case cases[] = {
        {2000, 2, 29, true},  {1900, 2, 29, false}, {2012, 2, 29, true}, {2013, 2, 29, false},
        {2013, 4, 31, false}, {2013, 2, 30, false}, {2013, 13, 1, false}, {2013, 1, 0, false},
        {2013, 12, 31, true}, {-4, 2, 29, true},    {-100, 2, 29, false}, {2013, 0, 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidDate(c.year, c.month, c.day), c.valid) << c.year << "-" << c.month << "-" << c.day;
}

TEST(TextChecks, UpperCasingTouchesOnlyAsciiLetters)
{
    std::wstring text = L"varchar(20) äöü ß";
    StringToUpper(text);
    EXPECT_EQ(text, L"VARCHAR(20) äöü ß");
}

TEST(TextChecks, NavigationKeys)
{
    struct Case {
        UINT key;
        bool navigation;
        UINT code;
    };
    const Case cases[] = {
        {Qt::Key_Tab, true, 2},           {Qt::Key_Tab | NAVKEY_SHIFT, true, 1}, {Qt::Key_Backtab, true, 1},
        {Qt::Key_Left, true, 1},          {Qt::Key_Up, true, 3},                 {Qt::Key_Right, true, 2},
        {Qt::Key_Down, true, 4},          {Qt::Key_Return, false, 0},            {Qt::Key_A, false, 0},
        {Qt::Key_Down | NAVKEY_SHIFT, true, 4},
    };
    for (const Case& c : cases) {
        UINT code = 99;
        EXPECT_EQ(MapNavigationKey(c.key, code), c.navigation) << std::hex << c.key;
        EXPECT_EQ(code, c.code) << std::hex << c.key;
    }
}

TEST(SplitPath, FolderNameAndLastExtension)
{
    struct Case {
        const wchar_t* path;
        std::wstring dir, name, ext;
    };
    const Case cases[] = {
        {L"/data/sales.db", L"/data/", L"sales", L".db"},
        {L"/data/archive.2014.db", L"/data/", L"archive.2014", L".db"},
        {L"/data/noext", L"/data/", L"noext", L""},
        {L"bob's.db", L"", L"bob's", L".db"},
        {L"/a.b/file", L"/a.b/", L"file", L""},
        {L"/data/", L"/data/", L"", L""},
        {nullptr, L"", L"", L""},
    };
    for (const Case& c : cases) {
        const CSplitPath split(c.path);
        EXPECT_EQ(split.GetDrive(), L"");
        EXPECT_EQ(split.GetDir(), c.dir);
        EXPECT_EQ(split.GetFileName(), c.name);
        EXPECT_EQ(split.GetExt(), c.ext);
    }
}

// Linux paths run to 4,096 bytes and names to 255: a long path splits whole, never cut
// into a fragment of one of its folder names.
TEST(SplitPath, PathsOfAnyLengthSplitWhole)
{
    const std::wstring folder = L"/" + std::wstring(150, L'f') + L"/" + std::wstring(120, L'g') + L"/";
    const std::wstring name = std::wstring(255 - 3, L'n');
    const std::wstring path = folder + name + L".db";
    ASSERT_GE(path.size(), 300u);
    const CSplitPath split(path.c_str());
    EXPECT_EQ(split.m_szPath, path);
    EXPECT_EQ(split.GetDir(), folder);
    EXPECT_EQ(split.GetFileName(), name);
    EXPECT_EQ(split.GetExt(), L".db");
    const std::wstring deep = L"/" + std::wstring(4000, L'd') + L"/x.sqlite3";
    EXPECT_EQ(CSplitPath(deep.c_str()).GetExt(), L".sqlite3");
    EXPECT_EQ(CSplitPath(deep.c_str()).GetDir().size(), 4002u);
}

class ClockOverride {
public:
    explicit ClockOverride(platform::LocalDateTime at)
        : m_previous(platform::SetClock([at] { return at; }))
    {
    }
    ~ClockOverride() { platform::SetClock(m_previous); }

private:
    platform::Clock m_previous;
};

TEST(Dates, NowTextHasItsFixedShape)
{
    ClockOverride clock({2014, 11, 7, 9, 5, 3});
    std::wstring out, date, time;
    GetNowText(out, date, time);
    EXPECT_EQ(date, L"2014-11-07 ");
    EXPECT_EQ(time, L"09:05:03");
    EXPECT_EQ(out, L"2014-11-07 09:05:03");
}

TEST(Dates, DaysSinceLastBackupCountWholeDays)
{
    struct Case {
        std::wstring last, now;
        int days;
    };
    const Case cases[] = {
        {L"2014-11-06 23:59:00", L"2014-11-07 00:01:00", 1},
        {L"2014-11-07 00:00:01", L"2014-11-07 23:59:59", 0},
        {L"2014-11-10 08:00:00", L"2014-11-07 08:00:00", -3},
        {L"1899-12-30 00:00:00.0000", L"1900-01-01 00:00:00", 2},
        {L"1899-12-01 00:00:00", L"1899-12-30 00:00:00", 29},
        {L"2000-02-28", L"2000-03-01 10:00:00", 2},
    };
    const std::wstring saved = g_strLastBackup;
    for (const Case& c : cases) {
        g_strLastBackup = c.last;
        EXPECT_EQ(GetDaysSinceLastBackup(c.now), c.days) << testing_support::Utf8(c.last);
    }
    g_strLastBackup = saved;
}

TEST(Dates, TextsThatAreNoDateAreInvalid)
{
    const std::wstring texts[] = {L"", L"garbage", L"2013-02-30 10:00:00", L"0099-01-01", L"10000-01-01",
                                  L"99999999999999999999-01-01"};
    for (const std::wstring& text : texts) {
        platform::DateValue value = platform::DateValue::FromDate(2000, 1, 1);
        EXPECT_FALSE(ParseDateTimeText(text, value).IsValid()) << testing_support::Utf8(text);
    }
    platform::DateValue value;
    EXPECT_TRUE(ParseDateTimeText(L"2014-11-07 25:99:99", value).IsValid());
    EXPECT_EQ(value.DayNumber(), platform::DateValue::FromDate(2014, 11, 7).DayNumber());
}

// Catches a number read wider than 32 bits (4294967296 would wrap to 0 when narrowed)
// and a wrong reading of signs, blanks and trailing text.
TEST(Dates, DecimalsReadAs32BitWithSaturation)
{
    const struct {
        const wchar_t* text;
        int value;
    } cases[] = {
        {L"", 0},           {L"abc", 0},           {L"  12abc", 12},         {L"+7", 7},
        {L"-0", 0},         {L"-15", -15},         {L"2147483647", INT_MAX}, {L"2147483648", INT_MAX},
        {L"4294967296", INT_MAX}, {L"99999999999999999999", INT_MAX}, {L"-2147483648", INT_MIN},
        {L"-4294967296", INT_MIN}, {L"0004294967296", INT_MAX},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadDecimal(c.text), c.value) << testing_support::Utf8(c.text);
}

TEST(BrowseForFolder, ReturnsTheChosenFolderOrEmpty)
{
    platform::FolderRequest seen;
    std::wstring answer = L"/home/user/db";
    auto previous = platform::SetFolderHandler([&](const platform::FolderRequest& request) {
        seen = request;
        return answer;
    });
    std::wstring out = L"old";
    EXPECT_EQ(BrowseForFolder(out, nullptr, L"/start", L"Pick"), L"/home/user/db");
    EXPECT_EQ(seen.initialFolder, L"/start");
    EXPECT_EQ(seen.title, L"Pick");
    answer.clear();
    EXPECT_EQ(BrowseForFolder(out, nullptr, L"/start", L"Pick"), L"");
    platform::SetFolderHandler(previous);
}

} // namespace
