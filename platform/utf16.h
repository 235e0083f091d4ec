#pragma once
// Conversions at the two text boundaries of the program: the engine's UTF-16
// interface and Qt's QString. Inside, text is std::wstring (UTF-32 here).
#include <QString>

#include <string>

namespace platform {

// UTF-32 to UTF-16; characters beyond the BMP become surrogate pairs.
std::u16string ToUtf16(const std::wstring& text);

// UTF-16 to UTF-32. A NULL pointer gives "". With a negative length the text runs to
// its terminator; otherwise length counts UTF-16 units. Unpaired surrogates become U+FFFD.
std::wstring FromUtf16(const char16_t* text, int length = -1);
// The same into an existing string, reusing its storage (hot read paths).
void AssignFromUtf16(std::wstring& out, const char16_t* text, int length = -1);
// The same from an engine buffer measured in bytes (sqlite3_column_bytes16).
std::wstring FromUtf16Bytes(const void* text, int bytes);

inline QString ToQString(const std::wstring& text) { return QString::fromStdWString(text); }
inline std::wstring FromQString(const QString& text) { return text.toStdWString(); }

} // namespace platform
