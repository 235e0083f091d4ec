#include "document/grid/rowselection.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Ranges = std::vector<RowSelection::Range>;

RowSelection Of(const Ranges& ranges)
{
    RowSelection selection;
    for (const auto& [first, last] : ranges)
        selection.Select(first, last);
    return selection;
}

// Each change, from a selection of rows 2-4 and 8-9, and the ranges it leaves.
TEST(RowSelection, ChangesKeepDisjointMergedRanges)
{
    struct Case {
        const char* what;
        std::function<void(RowSelection&)> change;
        Ranges expected;
    } cases[] = {
        {"a touching row merges", [](RowSelection& s) { s.Select(5, 5); }, {{2, 5}, {8, 9}}},
        {"a bridge merges both", [](RowSelection& s) { s.Select(7, 5); }, {{2, 9}}},
        {"a covering range swallows", [](RowSelection& s) { s.Select(0, 20); }, {{0, 20}}},
        {"a gap of one stays", [](RowSelection& s) { s.Select(6, 6); }, {{2, 4}, {6, 6}, {8, 9}}},
        {"deselect splits", [](RowSelection& s) { s.Deselect(3, 3); }, {{2, 2}, {4, 4}, {8, 9}}},
        {"deselect across ranges", [](RowSelection& s) { s.Deselect(4, 8); }, {{2, 3}, {9, 9}}},
        {"toggle off and on", [](RowSelection& s) { s.Toggle(9); s.Toggle(0); }, {{0, 0}, {2, 4}, {8, 8}}},
        {"lines inserted above move rows", [](RowSelection& s) { s.InsertLines(0, 3); }, {{5, 7}, {11, 12}}},
        {"lines inserted inside split", [](RowSelection& s) { s.InsertLines(3, 2); }, {{2, 2}, {5, 6}, {10, 11}}},
        {"lines inserted below change nothing", [](RowSelection& s) { s.InsertLines(10, 5); }, {{2, 4}, {8, 9}}},
        {"removed lines leave and close up", [](RowSelection& s) { s.RemoveLines(4, 7); }, {{2, 5}}},
        {"removing the last lines truncates", [](RowSelection& s) { s.RemoveLines(9, 100); }, {{2, 4}, {8, 8}}},
        {"lines removed across two ranges join what is left", [](RowSelection& s) { s.RemoveLines(3, 8); }, {{2, 3}}},
        {"removed lines above every range move them all", [](RowSelection& s) { s.RemoveLines(0, 1); }, {{0, 2}, {6, 7}}},
        {"a new order moves each row", [](RowSelection& s) { s.Remap({9, 8, 7, 6, 5, 4, 3, 2, 1, 0}); }, {{0, 1}, {5, 7}}},
    };
    for (const Case& c : cases) {
        RowSelection selection = Of({{2, 4}, {8, 9}});
        c.change(selection);
        EXPECT_EQ(selection.Ranges(), c.expected) << c.what;
    }
}

TEST(RowSelection, ContainsFindsRowsOfMillionsOfRanges)
{
    RowSelection selection;
    for (int row = 0; row < 2'000'000; row += 2)
        selection.Select(row, row);
    EXPECT_EQ(selection.Ranges().size(), 1'000'000u);
    for (int row : {0, 2, 1'999'998})
        EXPECT_TRUE(selection.Contains(row)) << row;
    for (int row : {-1, 1, 1'999'999, 2'000'000})
        EXPECT_FALSE(selection.Contains(row)) << row;
    selection.Select(0, 1'999'999);
    EXPECT_EQ(selection.Ranges(), (Ranges{{0, 1'999'999}}));
}

} // namespace
