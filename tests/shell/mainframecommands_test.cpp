// Which window the console opens for a statement.
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

} // namespace
