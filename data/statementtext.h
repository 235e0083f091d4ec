#pragma once
// Reading a statement text as the engine reads it, without running it: its words after
// white space and comments, and the statements a text of several holds. The console and
// the documents choose how a statement runs by these words.
#include <cstddef>
#include <limits>
#include <string>
#include <vector>

// The words of the text, in order: white space (a NUL character among it, so that what
// follows one is seen) and comments ("--" to the end of the line, "/*" to "*/") are
// skipped; a word is a run of letters, digits, "_" and "$", a quoted name or text with
// its quotes ('...', "...", `...`, [...]), or any one other character. At most maxWords
// are read.
std::vector<std::wstring> StatementWords(const std::wstring& text,
                                         std::size_t maxWords = std::numeric_limits<std::size_t>::max());
// The first word in upper case (ASCII letters only, as the engine folds its keywords);
// "" for a text without one.
std::wstring FirstStatementWord(const std::wstring& text);
// The first word after any empty statements (semicolons) in upper case when it is a run
// of letters, digits, "_" and "$"; "" when a quote, another character or nothing comes first.
std::wstring LeadingSqlWord(const std::wstring& sql);
// Whether the text's first statement is transaction control: BEGIN, COMMIT, END, ROLLBACK,
// SAVEPOINT or RELEASE.
bool IsTransactionControl(const std::wstring& sql);
// The text of a CREATE statement made to create a temporary object: " TEMP" follows its
// CREATE unless TEMP or TEMPORARY does already; any other text comes back unchanged.
std::wstring AsTemporaryCreate(const std::wstring& sql);
// A quoted name without its quotes, a doubled quote inside read as one ("a""b" gives
// a"b, [x y] gives x y); any other word unchanged.
std::wstring UnquoteName(const std::wstring& word);

// One statement of a text: its text as typed, from its first character that is not
// white space to its semicolon (the last statement may have none), and where it starts.
// A NUL character before it stays in its text: the engine refuses the statement for it.
struct StatementPiece {
    std::wstring m_strText;
    std::size_t m_nOffset = 0;
};
// The statements of the text in order. A semicolon inside a quote, a comment or a
// trigger's body ends nothing; pieces of only white space and comments are left out.
std::vector<StatementPiece> SplitStatements(const std::wstring& text);
// The statement's first words for a message: from its first word on, each run of white
// space as one blank, cut after 40 characters with "...".
std::wstring StatementOpening(const std::wstring& statement);
