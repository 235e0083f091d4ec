#pragma once
// The rows of one walk over a query's result, kept in a private temporary database so
// that any row can be read again by its position without running the query anew: row k
// of the result is the store's row k + 1, found by its rowid. The row loader appends on
// its thread while the user-interface thread reads the rows already appended; the
// engine serializes the two on the store's own connection, which nothing else uses.
#include "data/sqlstatement.h"

#include <sqlite3.h>

#include <functional>
#include <string>

class ResultStore {
public:
    ResultStore() = default;
    ~ResultStore(); // closes the store; its file goes with it
    ResultStore(const ResultStore&) = delete;
    ResultStore& operator=(const ResultStore&) = delete;

    // Makes the store for rows of that many columns; false, with the engine's message,
    // when it cannot be made.
    bool Create(int columns, std::wstring& message);
    // Appends the statement's current row as the next position. A BLOB is kept as NULL:
    // the datasheet shows neither, and its bytes would only fill the store.
    bool Append(sqlite3_stmt* row, std::wstring& message);
    // Reads up to `count` rows from position `first` on, handing each to `row` with its
    // index from 0 on; the rows read, or -1 (with the message) when the read failed.
    int Read(int first, int count, const std::function<void(int, sqlite3_stmt*)>& row, std::wstring& message);
    int Columns() const { return m_nColumns; }

private:
    sqlite3* m_pDb = nullptr;
    SqlStatement m_insert; // the loader's
    SqlStatement m_read;   // the user-interface thread's
    int m_nColumns = 0;
};
