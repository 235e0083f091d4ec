#include "platform/utf16.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf16, RoundTripsTextBeyondTheBasicPlane)
{
    const std::wstring samples[] = {L"", L"plain", L"Grüße", L"a\U0001F600b", L"\U0010FFFF", L"表"};
    for (const std::wstring& text : samples) {
        const std::u16string utf16 = platform::ToUtf16(text);
        EXPECT_EQ(platform::FromUtf16(utf16.c_str()), text);
        EXPECT_EQ(platform::FromUtf16Bytes(utf16.data(), static_cast<int>(utf16.size() * 2)), text);
    }
}

TEST(Utf16, EmojiBecomesOneSurrogatePair)
{
    const std::u16string utf16 = platform::ToUtf16(L"\U0001F600");
    ASSERT_EQ(utf16.size(), 2u);
    EXPECT_EQ(utf16[0], 0xD83D);
    EXPECT_EQ(utf16[1], 0xDE00);
}

TEST(Utf16, BrokenSurrogatesBecomeReplacementCharacters)
{
    const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00, 0};
    EXPECT_EQ(platform::FromUtf16(lone), L"a\uFFFDb\uFFFD");
    EXPECT_EQ(platform::FromUtf16(nullptr), L"");
}

} // namespace
