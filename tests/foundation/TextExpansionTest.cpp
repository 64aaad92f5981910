#include "TextExpansion.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace
{

// A text table in memory: key -> {VALUE, FORMAT}, plus preset texts. Counts lookups
// so that a runaway expansion shows.
class FakeTable
{
public:
    FakeTable(std::map<std::string, TextEntry> entries) : m_entries(std::move(entries)) {}

    TextLookup Lookup()
    {
        return [this](const std::string& key)
        {
            ++lookups;
            const auto found = m_entries.find(key);
            return found == m_entries.end() ? TextEntry{} : found->second;
        };
    }

    int lookups = 0;

private:
    std::map<std::string, TextEntry> m_entries;
};

// One row of a table: a text, key or caption and what it must turn into.
struct TextCase
{
    const char* input;
    const char* expected;
};

std::string Resolve(std::map<std::string, TextEntry> entries, const std::string& key)
{
    FakeTable table(std::move(entries));
    return ResolveText(key, table.Lookup());
}

} // namespace

TEST(ReplaceEscapes, TurnsBackslashRAndNIntoLineBreaksOnly)
{
    const TextCase cases[] = {
        {"plain", "plain"},
        {"one\\ntwo", "one\ntwo"},
        {"a\\r\\nb", "a\r\nb"},
        {"two backslashes \\\\n", "two backslashes \\\n"},
        {"\\t and \\\" stay", "\\t and \\\" stay"},
        {"trailing \\", "trailing \\"},
        {"\\n\\n", "\n\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceEscapes(c.input), c.expected) << c.input;
}

TEST(ResolveText, FillsPlaceholdersFromReferencedKeysInOrder)
{
    const std::map<std::string, TextEntry> table = {
        {"ABOUT", {"%s version %s", "%s:NAME%s:VERSION"}},
        {"NAME", {"TorvikConnect", ""}},
        {"VERSION", {"1.0", ""}},
        {"SPACED", {"[%s]", "  \t%s:NAME"}},
        {"MISSING_FIRST", {"%s and %s", "%s:NOSUCHKEY%s:NAME"}},
        {"LITERAL_PERCENT", {"%s", "%s:HAS_PLACEHOLDER"}},
        {"HAS_PLACEHOLDER", {"keep %s", ""}},
        {"NESTED", {"<%s>", "%s:ABOUT"}},
        {"ESCAPED_REFERENCE", {"%s", "%s:TWO_LINES"}},
        {"TWO_LINES", {"a\\nb", ""}},
        {"NO_FORMAT", {"left %s alone", ""}},
        {"KEY_WITH_BLANK", {"%s|%s", "%s:NAME %s:VERSION"}},
        {"NAME ", {"named with a blank", ""}},
    };
    const TextCase cases[] = {
        {"ABOUT", "TorvikConnect version 1.0"},
        {"SPACED", "[TorvikConnect]"},
        // An entry whose key has no text keeps its "%s"; the next entry fills the next one.
        {"MISSING_FIRST", "%s and TorvikConnect"},
        // Inserted text is not searched for placeholders again.
        {"LITERAL_PERCENT", "keep %s"},
        {"NESTED", "<TorvikConnect version 1.0>"},
        {"ESCAPED_REFERENCE", "a\nb"},
        {"NO_FORMAT", "left %s alone"},
        // A key runs up to the next marker, blanks included.
        {"KEY_WITH_BLANK", "named with a blank|1.0"},
        {"UNKNOWN", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Resolve(table, c.input), c.expected) << c.input;
}

TEST(ResolveText, UsesPresetsAsTheyStandEvenWhenReferenced)
{
    TextEntry version{"2.0\\n%s", "%s:NAME", true};
    const std::map<std::string, TextEntry> table = {
        {"RXIDS_PRODUCT_VERSION", version},
        {"ABOUT", {"v%s", "%s:RXIDS_PRODUCT_VERSION"}},
        {"NAME", {"x", ""}},
    };
    EXPECT_EQ(Resolve(table, "RXIDS_PRODUCT_VERSION"), "2.0\\n%s");
    EXPECT_EQ(Resolve(table, "ABOUT"), "v2.0\\n%s");
}

TEST(ResolveText, IgnoresFormatEntriesBeyondTheLastPlaceholder)
{
    FakeTable table({
        {"SHORT", {"only %s here", "%s:A%s:B%s:C"}},
        {"A", {"one", ""}},
        {"B", {"two", ""}},
        {"C", {"three", ""}},
    });
    EXPECT_EQ(ResolveText("SHORT", table.Lookup()), "only one here");
    EXPECT_EQ(table.lookups, 2) << "surplus entries are not even looked up";
}

TEST(ResolveText, EndsReferenceCyclesLeavingTheirPlaceholders)
{
    FakeTable table({
        {"SELF", {"self(%s)", "%s:SELF"}},
        {"PING", {"ping(%s)", "%s:PONG"}},
        {"PONG", {"pong(%s)", "%s:ping"}},
        // Two references per level: without a cycle check the work would double per level.
        {"FORK", {"%s%s%s%s%s%s%s%s", "%s:FORK%s:FORK%s:FORK%s:FORK%s:FORK%s:FORK%s:FORK%s:FORK"}},
    });
    EXPECT_EQ(ResolveText("SELF", table.Lookup()), "self(%s)");
    EXPECT_EQ(ResolveText("PING", table.Lookup()), "ping(pong(%s))");
    table.lookups = 0;
    EXPECT_EQ(ResolveText("FORK", table.Lookup()), "%s%s%s%s%s%s%s%s");
    EXPECT_EQ(table.lookups, 1);
}

TEST(ResolveText, StopsReferenceChainsDeeperThanTheLimit)
{
    // L0 -> L1 -> ... -> L20, each text wrapping the next one in brackets.
    std::map<std::string, TextEntry> entries;
    for (int i = 0; i < 20; ++i)
        entries["L" + std::to_string(i)] = {"[%s]", "%s:L" + std::to_string(i + 1)};
    entries["L20"] = {"end", ""};

    const std::string text = Resolve(entries, "L0");
    const std::string open(MAX_REFERENCE_DEPTH, '['), close(MAX_REFERENCE_DEPTH, ']');
    EXPECT_EQ(text, open + "%s" + close);
    EXPECT_EQ(Resolve(entries, "L13"), "[[[[[[[end]]]]]]]") << "a chain within the limit resolves";
}

TEST(FormatProductText, PutsTheNameIntoCaptionsWithoutPrintf)
{
    const TextCase cases[] = {
        {"Settings", "Settings"},
        {"%s", "TorvikConnect"},
        {"%s - Settings", "TorvikConnect - Settings"},
        {"100%% %s", "100% TorvikConnect"},
        {"%s and %s", "TorvikConnect and TorvikConnect"},
        {"%d %n %x %", "%d %n %x %"},
        {"%%s", "%s"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatProductText(c.input, "TorvikConnect"), c.expected) << c.input;
    EXPECT_EQ(FormatProductText("%s", "50%s"), "50%s") << "the name itself is not scanned";
}
