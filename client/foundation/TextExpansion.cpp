#include "TextExpansion.h"

#include <cctype>
#include <vector>

namespace
{

const char PLACEHOLDER[] = "%s";
const char MARKER[] = "%s:";
constexpr std::string::size_type MARKER_LENGTH = 3;

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (std::string::size_type pos = text.find(from); pos != std::string::npos;
         pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
}

bool IsSpace(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Splits a FORMAT list into the keys it names. White space before the first entry
// is skipped; each key runs up to the next marker, white space included. Text before
// the first marker names no key.
std::vector<std::string> ReferencedKeys(const std::string& format)
{
    std::vector<std::string> keys;
    std::string::size_type start = 0;
    while (start < format.size() && IsSpace(format[start]))
        ++start;
    std::string::size_type marker = format.find(MARKER, start);
    while (marker != std::string::npos)
    {
        const std::string::size_type keyStart = marker + MARKER_LENGTH;
        const std::string::size_type next = format.find(MARKER, keyStart);
        keys.push_back(format.substr(keyStart, next == std::string::npos ? std::string::npos
                                                                         : next - keyStart));
        marker = next;
    }
    return keys;
}

// Section names of the text table ignore case, so a cycle may close through a key
// written in another case.
bool SameKey(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::string::size_type i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string ResolveNested(const std::string& key, const TextLookup& lookup,
                          std::vector<std::string>& chain)
{
    const TextEntry entry = lookup(key);
    if (entry.preset)
        return entry.value;

    chain.push_back(key);
    const std::string text =
        ExpandFormat(ReplaceEscapes(entry.value), entry.format,
                     [&](const std::string& reference)
                     {
                         if (chain.size() >= static_cast<std::size_t>(MAX_REFERENCE_DEPTH))
                             return std::string();
                         for (const std::string& open : chain)
                             if (SameKey(open, reference))
                                 return std::string();
                         return ResolveNested(reference, lookup, chain);
                     });
    chain.pop_back();
    return text;
}

} // namespace

std::string ReplaceEscapes(const std::string& text)
{
    std::string result = text;
    ReplaceAll(result, "\\r", "\r");
    ReplaceAll(result, "\\n", "\n");
    return result;
}

std::string ExpandFormat(const std::string& value, const std::string& format,
                         const std::function<std::string(const std::string& key)>& resolveReference)
{
    if (value.empty() || format.empty())
        return value;

    std::string text = value;
    std::string::size_type searchFrom = 0;
    for (const std::string& key : ReferencedKeys(format))
    {
        const std::string::size_type placeholder = text.find(PLACEHOLDER, searchFrom);
        if (placeholder == std::string::npos)
            break;
        std::string inserted = resolveReference(key);
        if (inserted.empty())
            inserted = PLACEHOLDER;
        text.replace(placeholder, 2, inserted);
        searchFrom = placeholder + inserted.size();
    }
    return text;
}

std::string ResolveText(const std::string& key, const TextLookup& lookup)
{
    std::vector<std::string> chain;
    return ResolveNested(key, lookup, chain);
}

std::string FormatProductText(const std::string& text, const std::string& productName)
{
    std::string result;
    for (std::string::size_type i = 0; i < text.size(); ++i)
    {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's')
        {
            result += productName;
            ++i;
        }
        else if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%')
        {
            result += '%';
            ++i;
        }
        else
        {
            result += text[i];
        }
    }
    return result;
}
