#include <gtest/gtest.h>

#include "common/stored_text.h"
#include "common/text_fold.h"

namespace orv {
namespace {

TEST(StoredText, EachTextTakesTheFormThatReadsBackAsIt) {
    struct Case {
        const char* name;
        std::string text;
        std::string bytes;
        bool utf8;
    };
    const Case cases[] = {
        {"ASCII", "plain", "plain", false},
        {"Windows-1252", "Café €5 «Ÿ»", "Caf\xE9 \x80" "5 \xAB\x9F\xBB", false},
        {"Windows-1252 bytes that are UTF-8", "Ã©", "\xC3\x83\xC2\xA9", true},
        {"outside Windows-1252", "Zażółć", "Zażółć", true},
        {"emoji", "\U0001F600", "\xF0\x9F\x98\x80", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(encodeStoredText(c.text), c.bytes);
        EXPECT_EQ(decodeStoredText(c.bytes), c.text);
        EXPECT_EQ(isStoredAsUtf8(c.text), c.utf8);
    }
    // What the single-byte versions wrote reads as Windows-1252, unless it happens to be UTF-8.
    EXPECT_EQ(decodeStoredText("\xC9t\xE9"), "Été");
    EXPECT_EQ(decodeStoredText("\xC3\xA9"), "é");
}

TEST(StoredText, ACutFitsAndNeverSplitsACharacter) {
    struct Case {
        std::string text;
        size_t limit;
        std::string kept;
    };
    const Case cases[] = {
        {"abc", 3, "abc"},
        {"abcd", 3, "abc"},
        {"aż", 2, "a"},                   // UTF-8: "ż" takes two bytes
        {"éééż", 4, "ééé"},               // UTF-8 for "ż"; without it Windows-1252, a byte each
        {"éééé", 3, "ééé"},               // Windows-1252: one byte each
        {"\U0001F600\U0001F600", 7, "\U0001F600"},
        {"Ã©x", 3, "Ã"},                  // "Ã©" goes as UTF-8 (4 bytes); "Ã" alone as one byte
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(fitStoredText(c.text, c.limit), c.kept);
    }
}

TEST(StoredText, EditorLengthCountsCharactersAndALineBreakTwice) {
    EXPECT_EQ(editorLength("ab\r\ncd"), 6u);
    EXPECT_EQ(editorLength("żółw\n"), 6u);
    EXPECT_EQ(editorLength("\U0001F600"), 1u);
}

TEST(TextFold, SearchIgnoresCaseInEveryScript) {
    struct Case {
        const char* text;
        const char* needle;
        bool found;
    };
    const Case cases[] = {
        {"Dentist at ten", "DENTIST", true},      {"συνάντηση", "ΣΥΝ", true},
        {"Straße 5", "STRASSE", true},            {"STRASSE", "straße", true},
        {"Встреча", "ВСТРЕЧА", true},             {"Cafe\u0301", "CAFÉ", true},
        {"Zażółć", "ZAŻÓŁĆ", true},               {"Zażółć", "zazolc", false},
        {"plain", "plaín", false},                {"any", "", true},
        {"συνάντησης", "ΣΥΝΆΝΤΗΣΗΣ", true},      {"İstanbul", "İSTANBUL", true},
        {"会議 MEETING", "会議 meeting", true},  {"Ǆemal", "ǆEMAL", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.needle);
        EXPECT_EQ(containsFolded(c.text, foldForSearch(c.needle)), c.found);
    }
}

TEST(TextFold, NamesFoldOneCharacterForOne) {
    EXPECT_EQ(foldName("Zoë ŻAK"), foldName("ZOË żak"));
    EXPECT_NE(foldName("Straße"), foldName("STRASSE"));
}

}  // namespace
}  // namespace orv
