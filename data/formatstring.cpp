#include "data/formatstring.h"

#include <sqlite3.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>

std::wstring QuoteIdentifier(const std::wstring& name)
{
    if (name.find(L']') == std::wstring::npos)
        return L"[" + name + L"]";
    std::wstring out = L"\"";
    for (wchar_t c : name) {
        out += c;
        if (c == L'"')
            out += L'"';
    }
    return out + L"\"";
}

std::wstring QuoteIdentifierWhenNeeded(const std::wstring& name)
{
    const auto isLetter = [](wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_'; };
    bool plain = !name.empty() && isLetter(name[0]);
    std::string ascii;
    for (wchar_t c : name) {
        plain = plain && (isLetter(c) || (c >= L'0' && c <= L'9'));
        ascii += static_cast<char>(c);
    }
    if (plain && !sqlite3_keyword_check(ascii.c_str(), static_cast<int>(ascii.size())))
        return name;
    return QuoteIdentifier(name);
}

static std::wstring DoubleQuotes(const wchar_t* text)
{
    std::wstring out;
    for (; text && *text; ++text) {
        out += *text;
        if (*text == L'\'')
            out += L'\'';
    }
    return out;
}

std::wstring QuoteValue(const std::wstring& text) { return L"'" + DoubleQuotes(text.c_str()) + L"'"; }

long long FormatArg::AsSigned() const
{
    switch (m_kind) {
    case Kind::Signed: return m_signed;
    case Kind::Unsigned: return static_cast<long long>(m_unsigned);
    case Kind::Double: return static_cast<long long>(m_double);
    case Kind::Char: return m_char;
    default: return 0;
    }
}

unsigned long long FormatArg::AsUnsigned(bool wrap32) const
{
    if (m_kind == Kind::Signed && m_bits == 32 && wrap32)
        return static_cast<unsigned>(static_cast<int>(m_signed));
    if (m_kind == Kind::Unsigned)
        return m_unsigned;
    return static_cast<unsigned long long>(AsSigned());
}

double FormatArg::AsDouble() const
{
    switch (m_kind) {
    case Kind::Double: return m_double;
    case Kind::Signed: return static_cast<double>(m_signed);
    case Kind::Unsigned: return static_cast<double>(m_unsigned);
    default: return 0;
    }
}

namespace {

struct Directive {
    std::string flags;
    int width = -1;
    int precision = -1;
    bool leftAlign = false;
    wchar_t conversion = 0;
};

void Pad(std::wstring& out, const std::wstring& text, const Directive& directive)
{
    const int pad = directive.width > static_cast<int>(text.size()) ? directive.width - static_cast<int>(text.size()) : 0;
    if (!directive.leftAlign)
        out.append(static_cast<size_t>(pad), L' ');
    out += text;
    if (directive.leftAlign)
        out.append(static_cast<size_t>(pad), L' ');
}

// Numbers are formatted by the C library in its narrow form, which is locale-free for digits.
std::wstring Narrow(const Directive& directive, const char* length, char conversion, auto value)
{
    // Appended piece by piece: GCC 12 at -O3 takes `"." + std::string` for an overlapping copy.
    std::string fmt = "%";
    fmt += directive.flags;
    if (directive.width >= 0)
        fmt += std::to_string(directive.width);
    if (directive.precision >= 0) {
        fmt += '.';
        fmt += std::to_string(directive.precision);
    }
    fmt += length;
    fmt += conversion;
    char buffer[512];
    const int n = std::snprintf(buffer, sizeof buffer, fmt.c_str(), value);
    std::wstring out;
    for (int i = 0; i < n && i < static_cast<int>(sizeof buffer) - 1; ++i)
        out += static_cast<wchar_t>(static_cast<unsigned char>(buffer[i]));
    return out;
}

} // namespace

std::wstring& FormatStringArgs(std::wstring& out, const wchar_t* format, std::initializer_list<FormatArg> args)
{
    out.clear();
    if (!format)
        return out;
    auto next = args.begin();
    const wchar_t* p = format;
    while (*p) {
        if (*p != L'%') {
            out += *p++;
            continue;
        }
        ++p;
        if (*p == L'%') {
            out += L'%';
            ++p;
            continue;
        }
        Directive directive;
        while (*p && std::wcschr(L"-+ #0", *p)) {
            if (*p == L'-')
                directive.leftAlign = true;
            directive.flags += static_cast<char>(*p++);
        }
        auto readNumber = [&p](int& into) {
            if (*p == L'*') { // widths from arguments are not used by the program's formats
                ++p;
                return;
            }
            if (!std::iswdigit(*p))
                return;
            into = 0;
            while (std::iswdigit(*p))
                into = into * 10 + (*p++ - L'0');
        };
        readNumber(directive.width);
        if (*p == L'.') {
            ++p;
            directive.precision = 0;
            readNumber(directive.precision);
        }
        while (*p && std::wcschr(L"hlLqjztI", *p)) {
            if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4')
                p += 2;
            ++p;
        }
        directive.conversion = *p;
        if (!*p)
            break;
        ++p;
        if (next == args.end())
            continue; // a missing argument produces nothing
        const FormatArg& arg = *next++;
        switch (directive.conversion) {
        case L's':
            if (arg.kind() == FormatArg::Kind::Name) {
                const std::wstring name = arg.Text() ? arg.Text() : L"";
                const bool bracketed = !out.empty() && out.back() == L'[' && *p == L']';
                if (bracketed && name.find(L']') != std::wstring::npos) {
                    out.pop_back();
                    out += QuoteIdentifier(name);
                    ++p; // the closing bracket is replaced by the closing quote
                } else if (bracketed) {
                    out += name;
                } else {
                    out += QuoteIdentifier(name);
                }
            } else if (arg.kind() == FormatArg::Kind::Value) {
                out += DoubleQuotes(arg.Text());
            } else {
                std::wstring text = arg.Text() ? arg.Text() : (arg.kind() == FormatArg::Kind::Text ? L"(null)" : L"");
                if (directive.precision >= 0 && static_cast<size_t>(directive.precision) < text.size())
                    text.resize(static_cast<size_t>(directive.precision));
                Pad(out, text, directive);
            }
            break;
        case L'c':
            Pad(out, std::wstring(1, arg.kind() == FormatArg::Kind::Char ? arg.Char() : static_cast<wchar_t>(arg.AsSigned())),
                directive);
            break;
        case L'd':
        case L'i':
            out += Narrow(directive, "ll", 'd', arg.AsSigned());
            break;
        case L'u':
        case L'x':
        case L'X':
        case L'o':
            out += Narrow(directive, "ll", static_cast<char>(directive.conversion), arg.AsUnsigned(true));
            break;
        case L'f':
        case L'F':
        case L'e':
        case L'E':
        case L'g':
        case L'G':
            out += Narrow(directive, "", static_cast<char>(directive.conversion), arg.AsDouble());
            break;
        default:
            break;
        }
    }
    return out;
}
