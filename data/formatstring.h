#pragma once
// printf-style formatting into a wide string, with the wide rules the program's
// formats are written for: %s takes wide text (const wchar_t* or std::wstring),
// %c a wide character, %d an integer. Arguments are typed, so a mismatch cannot
// read the wrong bytes; 64-bit integers print whole.
//
// Names and values composed into SQL go through SqlName and SqlText:
// - SqlName(name) in "[%s]" keeps the brackets for a name without "]"; a name that
//   holds "]" cannot be bracketed, so the brackets become double quotes with every
//   '"' doubled. Outside brackets the name is quoted whole (QuoteIdentifier).
// - SqlText(text) doubles every single quote; the format supplies the quotes.
#include <initializer_list>
#include <string>

// The identifier as a complete SQL name: [name], or "name" with '"' doubled when it holds ']'.
std::wstring QuoteIdentifier(const std::wstring& name);
// The name unchanged when it is a plain identifier ([A-Za-z_][A-Za-z0-9_]* and no
// keyword of the engine), else quoted whole as QuoteIdentifier does.
std::wstring QuoteIdentifierWhenNeeded(const std::wstring& name);
// The text as a complete SQL string literal: 'text' with every "'" doubled.
std::wstring QuoteValue(const std::wstring& text);

struct SqlName {
    const std::wstring& name;
};
struct SqlText {
    const std::wstring& text;
};

class FormatArg {
public:
    enum class Kind { Signed, Unsigned, Double, Text, Char, Name, Value };

    FormatArg(int v) : m_kind(Kind::Signed), m_signed(v), m_bits(32) {}
    FormatArg(long v) : m_kind(Kind::Signed), m_signed(v), m_bits(64) {}
    FormatArg(long long v) : m_kind(Kind::Signed), m_signed(v), m_bits(64) {}
    FormatArg(unsigned v) : m_kind(Kind::Unsigned), m_unsigned(v), m_bits(32) {}
    FormatArg(unsigned long v) : m_kind(Kind::Unsigned), m_unsigned(v), m_bits(64) {}
    FormatArg(unsigned long long v) : m_kind(Kind::Unsigned), m_unsigned(v), m_bits(64) {}
    FormatArg(double v) : m_kind(Kind::Double), m_double(v) {}
    FormatArg(wchar_t c) : m_kind(Kind::Char), m_char(c) {}
    FormatArg(const wchar_t* text) : m_kind(Kind::Text), m_text(text) {}
    FormatArg(const std::wstring& text) : m_kind(Kind::Text), m_text(text.c_str()) {}
    FormatArg(const SqlName& name) : m_kind(Kind::Name), m_text(name.name.c_str()) {}
    FormatArg(const SqlText& value) : m_kind(Kind::Value), m_text(value.text.c_str()) {}

    Kind kind() const { return m_kind; }
    long long AsSigned() const;
    unsigned long long AsUnsigned(bool wrap32) const;
    double AsDouble() const;
    const wchar_t* Text() const { return m_text; }
    wchar_t Char() const { return m_char; }

private:
    Kind m_kind;
    long long m_signed = 0;
    unsigned long long m_unsigned = 0;
    double m_double = 0;
    wchar_t m_char = 0;
    const wchar_t* m_text = nullptr;
    int m_bits = 0;
};

std::wstring& FormatStringArgs(std::wstring& out, const wchar_t* format, std::initializer_list<FormatArg> args);

// out = the formatted text (also returned). A NULL format gives "".
template <typename... Args> std::wstring& FormatString(std::wstring& out, const wchar_t* format, const Args&... args)
{
    return FormatStringArgs(out, format, {FormatArg(args)...});
}
template <typename... Args>
std::wstring& FormatString(std::wstring& out, const std::wstring& format, const Args&... args)
{
    return FormatStringArgs(out, format.c_str(), {FormatArg(args)...});
}
