#include "data/sqlite16.h"

#include "platform/utf16.h"

namespace sqlite16 {

int Open(const std::wstring& path, sqlite3** db)
{
    const std::u16string path16 = platform::ToUtf16(path);
    return sqlite3_open16(path16.c_str(), db);
}

int OpenReadOnly(const std::wstring& path, sqlite3** db)
{
    // The engine's UTF-16 open takes no flags; its UTF-8 one does.
    const std::string name = platform::ToQString(path).toStdString();
    return sqlite3_open_v2(name.c_str(), db, SQLITE_OPEN_READONLY, nullptr);
}

std::wstring LibraryVersion() { return platform::FromQString(QString::fromUtf8(sqlite3_libversion())); }

int Prepare(sqlite3* db, const std::wstring& sql, SqlStatement& stmt)
{
    const std::u16string sql16 = platform::ToUtf16(sql);
    stmt.Finalize();
    sqlite3_stmt* prepared = nullptr;
    const int rc = sqlite3_prepare16_v2(db, sql16.c_str(), static_cast<int>(sql16.size() * sizeof(char16_t)),
                                        &prepared, nullptr);
    stmt = SqlStatement(prepared);
    return rc;
}

std::wstring ErrorMessage(sqlite3* db)
{
    return platform::FromUtf16(static_cast<const char16_t*>(sqlite3_errmsg16(db)));
}

ConnectionLock::ConnectionLock(sqlite3* db)
    : m_pMutex(db ? sqlite3_db_mutex(db) : nullptr)
{
    sqlite3_mutex_enter(m_pMutex);
}

ConnectionLock::~ConnectionLock() { sqlite3_mutex_leave(m_pMutex); }

int Step(sqlite3_stmt* stmt, std::wstring& message)
{
    return CallWithMessage(stmt ? sqlite3_db_handle(stmt) : nullptr, message, [stmt] { return sqlite3_step(stmt); });
}

int Prepare(sqlite3* db, const std::wstring& sql, SqlStatement& stmt, std::wstring& message)
{
    // What the owner held goes first, outside this connection's lock.
    stmt.Finalize();
    return CallWithMessage(db, message, [&] { return Prepare(db, sql, stmt); });
}

std::wstring ColumnText(sqlite3_stmt* stmt, int column, bool* isNull)
{
    const void* text = sqlite3_column_text16(stmt, column);
    if (isNull)
        *isNull = text == nullptr;
    if (!text)
        return L"";
    return platform::FromUtf16Bytes(text, sqlite3_column_bytes16(stmt, column));
}

std::wstring ColumnName(sqlite3_stmt* stmt, int column)
{
    return platform::FromUtf16(static_cast<const char16_t*>(sqlite3_column_name16(stmt, column)));
}

std::wstring ColumnDeclType(sqlite3_stmt* stmt, int column)
{
    const auto* type = static_cast<const char16_t*>(sqlite3_column_decltype16(stmt, column));
    return type ? platform::FromUtf16(type) : std::wstring();
}

int BindText(sqlite3_stmt* stmt, int parameter, const std::wstring& text)
{
    const std::u16string text16 = platform::ToUtf16(text);
    return sqlite3_bind_text16(stmt, parameter, text16.data(), static_cast<int>(text16.size() * sizeof(char16_t)),
                               SQLITE_TRANSIENT);
}

} // namespace sqlite16
