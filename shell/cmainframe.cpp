#include "shell/cmainframe.h"

#include "data/cstringtokenizer.h"

#include <chrono>
#include <cstdlib>
#include <thread>

StartupHooks& GetStartupHooks()
{
    static StartupHooks hooks{[](int exitCode) { std::exit(exitCode); },
                              [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); }};
    return hooks;
}

WorkspaceButtonFlags SelectionFlags(int nodeKind)
{
    switch (nodeKind) {
    case 1: case 3: case 5: case 7: case 9: // the Tables, Indexes, Triggers, Views and Fields folders
        return {true, false, false, false};
    case 2: case 8: // a table, a view
        return {false, true, true, true};
    case 4: case 6: // an index, a trigger
        return {false, true, true, false};
    default: // the database root, a field, anything else
        return {};
    }
}

int ConsoleRequestKind(const std::wstring& statement)
{
    CStringTokenizer tokens(statement, L" \t");
    tokens.Tokenize();
    return tokens.FindToken(L"PRAGMA") >= 0 ? OpenPragmaQuery : OpenSqlQuery;
}
