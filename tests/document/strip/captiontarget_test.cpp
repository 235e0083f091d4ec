#include "recordingtarget.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Catches a message number that reaches the wrong handler (the grid frame's numbers are
// fixed: 0x408 to 0x40E and 0x410, with 0x40F meaning nothing to it).
TEST(CaptionTarget, EachMessageNumberReachesItsHandler)
{
    const struct {
        UINT number;
        const char* call;
    } cases[] = {
        {0x409, "next"}, {0x40A, "prev"}, {0x40B, "add"}, {0x40C, "delete"},
        {0x40D, "down"}, {0x40E, "up"},   {0x410, "undo"}, {0x40F, nullptr},
    };
    for (const auto& c : cases) {
        RecordingTarget target;
        EXPECT_EQ(platform::SendMessage(&target, c.number, 0, 0), 0) << std::hex << c.number;
        if (c.call) {
            EXPECT_EQ(target.calls, std::vector<std::string>{c.call}) << std::hex << c.number;
        } else {
            EXPECT_TRUE(target.calls.empty()) << std::hex << c.number;
        }
    }
}

// Catches a search that loses its type or text on the way, or a result that is not passed back.
TEST(CaptionTarget, SearchCarriesTypeTextAndResult)
{
    RecordingTarget target;
    const std::wstring text = L"Grüße 😀";
    target.searchResult = true;
    EXPECT_EQ(platform::SendMessage(&target, 0x408, 3, reinterpret_cast<LPARAM>(&text)), 1);
    target.searchResult = false;
    EXPECT_EQ(platform::SendMessage(&target, 0x408, 1, reinterpret_cast<LPARAM>(&text)), 0);
    EXPECT_EQ(target.calls, (std::vector<std::string>{"search 3 Grüße 😀", "search 1 Grüße 😀"}));

    target.nextResult = true;
    target.prevResult = true;
    EXPECT_EQ(platform::SendMessage(&target, UM_GRID_FIND_NEXT, 0, 0), 1);
    EXPECT_EQ(platform::SendMessage(&target, UM_GRID_FIND_PREV, 0, 0), 1);
}

// Catches a lifetime token that still resolves after its target died.
TEST(CaptionTarget, LifetimeTokenExpiresWithTheTarget)
{
    std::weak_ptr<CaptionTarget*> token;
    {
        RecordingTarget target;
        token = target.GetLifetimeToken();
        ASSERT_FALSE(token.expired());
        EXPECT_EQ(*token.lock(), &target);
    }
    EXPECT_TRUE(token.expired());
}

} // namespace
