#include "data/constants.h"
#include "data/failure.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(PragmaTemplates, OnlyTheMarkedLinesBreakThePattern)
{
    for (size_t i = 0; i < g_arrPragmaTemplates.size(); ++i) {
        const std::wstring line = g_arrPragmaTemplates[i];
        const size_t number = i + 1;
        EXPECT_EQ(line.rfind(L"PRAGMA", 0) == 0, number == 50) << "line " << number;
        EXPECT_EQ(line.back() == L';', number != 15) << "line " << number;
        EXPECT_EQ(line.find(L'\'') != std::wstring::npos, number == 22 || number == 90) << "line " << number;
    }
}

// Every LOC_ constant of the header, listed by the build from the header itself.
struct LocationCode {
    const wchar_t* name;
    const wchar_t* code;
};
const LocationCode kLocationCodes[] = {
#include "locationcodes.inc"
};

// A code shared by two sites, or one of the five codes that belong to no site in use,
// makes a reported failure point at the wrong place.
TEST(LocationCodes, AreDistinctFiveDigitCodesOfTheAssignedRange)
{
    const std::set<std::wstring> unassigned = {L"00001", L"00015", L"00030", L"00033", L"00042"};
    std::set<std::wstring> seen;
    for (const LocationCode& location : kLocationCodes) {
        const std::wstring text = location.code;
        SCOPED_TRACE(testing_support::Utf8(location.name));
        ASSERT_EQ(text.size(), 5u) << testing_support::Utf8(text);
        EXPECT_EQ(text.find_first_not_of(L"0123456789"), std::wstring::npos);
        EXPECT_GE(text, L"00002");
        EXPECT_LE(text, L"00043");
        EXPECT_FALSE(unassigned.count(text)) << "code of no site in use: " << testing_support::Utf8(text);
        EXPECT_TRUE(seen.insert(text).second) << "code used twice: " << testing_support::Utf8(text);
    }
    // Each of the other 38 codes has its site.
    EXPECT_EQ(seen.size(), 43u - unassigned.size());
    const std::pair<const wchar_t*, const wchar_t*> store[] = {
        {LOC_NODE_EXISTS, L"00034"},    {LOC_VALUE_EXISTS, L"00035"},   {LOC_CREATE_NODE, L"00036"},
        {LOC_ADD_TEXT_VALUE, L"00037"}, {LOC_NEXT_VALUE, L"00038"},     {LOC_GET_TEXT_VALUE, L"00039"},
        {LOC_UPDATE_TEXT_VALUE, L"00040"}, {LOC_BLOB_TRANSFER, L"00028"},
    };
    for (const auto& [code, expected] : store)
        EXPECT_EQ(std::wstring(code), expected);
}

TEST(LocationFormat, PutsTheCodeOnASecondLineAfterABlank)
{
    EXPECT_EQ(std::wstring(STR_LOCATION_FORMAT), L"%s\n Location <%s>");
    EXPECT_EQ(FailureText(L"SQLITE_ERROR:<no such table: x>:<>", LOC_NODE_EXISTS),
              L"SQLITE_ERROR:<no such table: x>:<>\n Location <00034>");
    // A text holding a percent sign is shown as it is, never read as a format.
    EXPECT_EQ(FailureText(L"50% %s done", LOC_VACUUM), L"50% %s done\n Location <00012>");
}

} // namespace
