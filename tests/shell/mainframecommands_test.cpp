// The pure decisions of the main frame: which window the console opens for a
// statement, and which workspace buttons a clicked tree item allows.
#include "shell/cmainframe.h"

#include <gtest/gtest.h>

#include <QString>

namespace {

TEST(ConsoleRequestKind, PragmaAsAWholeTokenOpensAPragmaWindow)
{
    const struct {
        const wchar_t* statement;
        int kind;
    } cases[] = {
        {L"SELECT * FROM t", OpenSqlQuery},
        {L"PRAGMA table_info(t)", OpenPragmaQuery},
        {L"pragma user_version", OpenPragmaQuery},
        {L"PrAgMa\tuser_version", OpenPragmaQuery},
        {L"  PRAGMA foreign_keys = 1", OpenPragmaQuery},
        {L"SELECT 1 -- PRAGMA here", OpenPragmaQuery},  // a separate word anywhere counts
        {L"PRAGMA(x)", OpenSqlQuery},                    // the token is longer than the word
        {L"PRAGMA\nuser_version", OpenSqlQuery},         // a line break does not split tokens
        {L"SELECT pragmas FROM t", OpenSqlQuery},
        {L"", OpenSqlQuery},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConsoleRequestKind(c.statement), c.kind) << QString::fromWCharArray(c.statement).toStdString();
}

TEST(SelectionFlags, FollowTheClickedItemsKind)
{
    struct Flags {
        bool add, del, schema, data;
    };
    const Flags none{false, false, false, false};
    const Flags folder{true, false, false, false};
    const Flags object{false, true, true, true};
    const Flags indexOrTrigger{false, true, true, false};
    const std::pair<int, Flags> cases[] = {
        {-1, none},  {0, none},           {1, folder},          {2, object},  {3, folder},
        {4, indexOrTrigger}, {5, folder}, {6, indexOrTrigger},  {7, folder},  {8, object},
        {9, folder}, {10, none},          {11, none},           {1000, none},
    };
    for (const auto& [kind, expected] : cases) {
        const WorkspaceButtonFlags flags = SelectionFlags(kind);
        EXPECT_EQ(flags.canAdd, expected.add) << "kind " << kind;
        EXPECT_EQ(flags.canDelete, expected.del) << "kind " << kind;
        EXPECT_EQ(flags.canViewSchema, expected.schema) << "kind " << kind;
        EXPECT_EQ(flags.canViewData, expected.data) << "kind " << kind;
    }
}

} // namespace
