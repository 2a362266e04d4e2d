// The fold the index compares texts in: case for every script, the
// diacritics people leave out, and bytes that are not UTF-8 left alone.
#include "index/text_fold.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

using index::foldedText;

TEST(TextFold, CaseAndDiacriticsOfEveryScriptFoldToOneForm) {
    const struct {
        const char* typed;
        const char* folded;
    } cases[] = {
        {"Dana WHITLOCK 14", "dana whitlock 14"},
        {"S\xC3\x98REN S\xC3\xB8ren", "soren soren"}, // ØøÅ
        {"Ren\xC3\xA9"
         "e RENE\xCC\x81"
         "E",
         "renee renee"}, // é, E + combining acute
        {"\xC5\x81ukasz \xC4\x90or\xC4\x91"
         "e",
         "lukasz dorde"},                                             // Ł, Đ, đ
        {"\xC4\xB0stanbul", "istanbul"},                              // dotted capital I
        {"\xCE\xA3\xCE\x8A\xCE\xA3\xCE\xA5\xCE\xA6\xCE\x9F\xCE\xA3",  // ΣΊΣΥΦΟΣ
         "\xCF\x83\xCE\xB9\xCF\x83\xCF\x85\xCF\x86\xCE\xBF\xCF\x83"}, // σισυφοσ
        {"\xCF\x82", "\xCF\x83"},                                     // final sigma
        {"\xD0\x81\xD0\x96", "\xD0\xB5\xD0\xB6"}, // ЁЖ: её without diaeresis
        {"STRA\xE1\xBA\x9E"
         "E",
         "stra\xC3\x9F"
         "e"},                                                    // capital sharp s
        {"\xE2\x84\xAA", "k"},                                    // Kelvin sign
        {"\xEF\xBC\xA1", "\xEF\xBD\x81"},                         // fullwidth A
        {"\xF0\x90\x90\x80", "\xF0\x90\x90\xA8"},                 // Deseret, 4 bytes
        {"\xE6\x9D\xB1\xE4\xBA\xAC", "\xE6\x9D\xB1\xE4\xBA\xAC"}, // no case: kept
    };
    for (const auto& c : cases)
        EXPECT_EQ(foldedText(c.typed), c.folded) << c.typed;
}

TEST(TextFold, BytesThatAreNotUtf8AreKeptAsTheyAre) {
    EXPECT_EQ(foldedText(std::string("A\xFF"
                                     "B\xC3",
                                     4)),
              std::string("a\xFF"
                          "b\xC3",
                          4));
    EXPECT_EQ(foldedText(std::string("\xE9T\xC3\xA9", 4)), std::string("\xE9t"
                                                                       "e",
                                                                       3));
    EXPECT_EQ(foldedText(std::string("N\0L", 3)), std::string("n\0l", 3));
    EXPECT_EQ(foldedText(""), "");
}

} // namespace
} // namespace velmora::testing
