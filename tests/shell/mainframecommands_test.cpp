// Which window the console asks for a statement.
#include "shell/cmainframe.h"

#include <gtest/gtest.h>

#include <QString>

namespace {

// The route follows the first word after white space and comments; a word "pragma"
// anywhere else, or a line break after PRAGMA, changes nothing.
TEST(ConsoleRequestKind, TheFirstWordAfterSpaceAndCommentsChoosesThePragmaWindow)
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
        {L"PRAGMA\ntable_info(t)", OpenPragmaQuery},
        {L"PRAGMA(x)", OpenPragmaQuery},
        {L"-- a comment\nPRAGMA user_version", OpenPragmaQuery},
        {L"/* PRAGMA */ SELECT 1", OpenSqlQuery},
        {L"SELECT 1 -- PRAGMA here", OpenSqlQuery},
        {L"SELECT pragma FROM t", OpenSqlQuery},
        {L"SELECT pragmas FROM t", OpenSqlQuery},
        {L"", OpenSqlQuery},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConsoleRequestKind(c.statement), c.kind) << QString::fromWCharArray(c.statement).toStdString();
}

} // namespace
