#pragma once
// The rules by which a text of the text table becomes the text shown: escapes,
// references to other texts (FORMAT) and the product name in captions. Windows-free.

#include <functional>
#include <string>

// What the text table holds for one key. A preset text is used as it stands:
// no escapes, no references.
struct TextEntry
{
    std::string value;
    std::string format;
    bool preset = false;
};

using TextLookup = std::function<TextEntry(const std::string& key)>;

// At most this many texts take part in one chain of references; a reference that
// would go deeper is left unexpanded.
constexpr int MAX_REFERENCE_DEPTH = 8;

// Replaces every backslash-r pair by a carriage return, then every backslash-n pair
// by a line feed. A backslash before any other character stays.
std::string ReplaceEscapes(const std::string& text);

// The n-th "%s:KEY" entry of format fills the n-th "%s" of value with the text of
// KEY as resolveReference gives it. An empty text leaves its "%s" in place and the
// next entry fills the next one; inserted text is never searched for placeholders;
// entries beyond the last placeholder are ignored.
std::string
ExpandFormat(const std::string& value, const std::string& format,
             const std::function<std::string(const std::string& key)>& resolveReference);

// The text of a key: its preset as it stands, or its value with escapes replaced and
// references expanded in turn. A reference back to a key that is being expanded
// (a cycle), or one nested deeper than MAX_REFERENCE_DEPTH, gives an empty text, so
// its placeholder stays "%s".
std::string ResolveText(const std::string& key, const TextLookup& lookup);

// Puts the product name into a caption: every "%s" becomes the name and "%%" becomes
// "%"; any other "%" stays as it is. The text is never used as a printf format.
std::string FormatProductText(const std::string& text, const std::string& productName);
