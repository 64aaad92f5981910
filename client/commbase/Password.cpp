#include "Password.h"

namespace
{

constexpr char ESCAPE = '\x7F';
constexpr char HEX_DIGITS[] = "0123456789ABCDEF";

// The characters a read drops at either end of a value. Some systems drop only
// spaces and tabs, others all of these; quoting for all of them costs nothing,
// since a quoted value reads back the same everywhere.
bool IsDroppedAtEdge(char c)
{
    switch (c)
    {
    case ' ':
    case '\t':
    case '\n':
    case '\v':
    case '\f':
    case '\r':
    case '\x1A':
        return true;
    default:
        return false;
    }
}

bool IsQuote(char c)
{
    return c == '"' || c == '\'';
}

bool IsWrappedInMatchingQuotes(const std::string& text)
{
    return text.size() >= 2 && IsQuote(text.front()) && text.front() == text.back();
}

bool CannotBeStoredInALine(char c)
{
    return c == '\0' || c == '\n' || c == '\r';
}

bool HasUnstorableByte(const std::string& text)
{
    for (const char c : text)
        if (CannotBeStoredInALine(c))
            return true;
    return false;
}

bool ReadsBackUnchanged(const std::string& scrambled)
{
    if (scrambled.empty())
        return true;
    return !HasUnstorableByte(scrambled) && !IsDroppedAtEdge(scrambled.front()) &&
           !IsDroppedAtEdge(scrambled.back()) && !IsWrappedInMatchingQuotes(scrambled);
}

// How the escaped form reads back: a double quote, DEL, the escaped text and a
// double quote.
bool LooksEscaped(const std::string& value)
{
    return value.size() >= 3 && value.front() == '"' && value.back() == '"' && value[1] == ESCAPE;
}

std::string Escape(const std::string& scrambled)
{
    std::string escaped;
    for (const char c : scrambled)
    {
        if (CannotBeStoredInALine(c) || c == ESCAPE)
        {
            const auto byte = static_cast<unsigned char>(c);
            escaped += ESCAPE;
            escaped += HEX_DIGITS[byte >> 4];
            escaped += HEX_DIGITS[byte & 0x0F];
        }
        else
        {
            escaped += c;
        }
    }
    return escaped;
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool Unescape(const std::string& escaped, std::string& scrambled)
{
    for (std::string::size_type i = 0; i < escaped.size(); ++i)
    {
        if (escaped[i] != ESCAPE)
        {
            scrambled += escaped[i];
            continue;
        }
        if (i + 2 >= escaped.size())
            return false; // cut after the escape
        const int high = HexDigitValue(escaped[i + 1]);
        const int low = HexDigitValue(escaped[i + 2]);
        if (high < 0 || low < 0)
            return false;
        scrambled += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

} // namespace

void ScramblePassword(const std::string& in, std::string& out)
{
    out.clear();
    for (const char c : in)
        out += static_cast<char>(static_cast<unsigned char>(c) ^ PASSWORD_MASK);
}

bool EncodePasswordValue(const std::string& scrambled, std::string& value)
{
    if (ReadsBackUnchanged(scrambled))
        value = scrambled;
    else if (!HasUnstorableByte(scrambled) && !LooksEscaped(scrambled))
        value = '"' + scrambled + '"';
    else
        value = std::string("\"\"") + ESCAPE + Escape(scrambled) + "\"\"";

    if (value.size() <= PASSWORD_VALUE_LIMIT)
        return true;
    value.clear();
    return false;
}

bool DecodePasswordValue(const std::string& value, std::string& scrambled)
{
    scrambled.clear();
    if (!LooksEscaped(value))
    {
        scrambled = value;
        return true;
    }
    if (Unescape(value.substr(2, value.size() - 3), scrambled))
        return true;
    scrambled.clear();
    return false;
}
