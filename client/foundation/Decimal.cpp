#include "Decimal.h"

namespace
{

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Unsigned arithmetic wraps by definition, which is exactly the rule wanted.
template <typename Unsigned> Unsigned ParseWrapping(const char* text)
{
    while (IsSpace(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    Unsigned value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = value * 10u + static_cast<Unsigned>(*text - '0');
    return negative ? static_cast<Unsigned>(0u - value) : value;
}

} // namespace

std::int32_t ParseDecimal32(const char* text)
{
    return static_cast<std::int32_t>(ParseWrapping<std::uint32_t>(text));
}

std::int64_t ParseDecimal64(const char* text)
{
    return static_cast<std::int64_t>(ParseWrapping<std::uint64_t>(text));
}
