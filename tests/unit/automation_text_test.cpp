// Texts between the plug-in's code page 1251 bytes and the host object's UTF-16.
#include <gtest/gtest.h>

#include "automation/cp1251.h"
#include "cp1251_table.h"

using automation::cp1251FromUtf16;
using automation::utf16FromCp1251;

TEST(AutomationText, EveryByteHasOneCharacterAndComesBack) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::u16string wide = utf16FromCp1251(all);
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ(cp1251FromUtf16(wide), all);
    // No two bytes share a character.
    for (int a = 0; a < 256; ++a)
        for (int b = a + 1; b < 256; ++b) ASSERT_NE(wide[a], wide[b]) << a << " " << b;
}

TEST(AutomationText, CharactersOfTheCodePage) {
    struct Case {
        unsigned char byte;
        char16_t character;
    };
    const Case cases[] = {
        {'A', u'A'},  {0xC0, u'А'}, {0xDF, u'Я'},      {0xE0, u'а'},      {0xFF, u'я'}, {0xC6, u'Ж'},
        {0xA8, u'Ё'}, {0xB8, u'ё'}, {0xAA, u'Є'},      {0xB2, u'І'},      {0xAF, u'Ї'}, {0xA5, u'Ґ'},
        {0x88, u'€'}, {0xB9, u'№'}, {0x98, u'\u0098'}, {0xA0, u'\u00A0'}, {0x96, u'–'}, {0x00, u'\0'},
    };
    for (const Case& c : cases) {
        const std::string byte(1, static_cast<char>(c.byte));
        EXPECT_EQ(utf16FromCp1251(byte), std::u16string(1, c.character)) << int(c.byte);
        EXPECT_EQ(cp1251FromUtf16(std::u16string(1, c.character)), byte) << int(c.byte);
    }
}

TEST(AutomationText, CharactersOffThePageBecomeQuestionMarks) {
    EXPECT_EQ(cp1251FromUtf16(u"UR5\u0416\u00E9"), "UR5\xC6?");  // é is not in 1251
    EXPECT_EQ(cp1251FromUtf16(u"a\U0001F600b"), "a?b");          // one character, one mark
    EXPECT_EQ(cp1251FromUtf16(u"a\xD800"
                              u"b"),
              "a?b");  // a lone surrogate
    EXPECT_EQ(cp1251FromUtf16(u"\xDC00"), "?");
    EXPECT_EQ(cp1251FromUtf16(u""), "");
    EXPECT_EQ(utf16FromCp1251(""), u"");
}

// One table: the replay tool's UTF-8 of every byte is the host object's character, the
// unassigned 0x98 included (U+0098, as Windows converts it).
TEST(AutomationText, TheToolsUtf8AndTheHostObjectsTextAgree) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const char16_t c = utf16FromCp1251(byte)[0];
        std::string expected;
        if (c < 0x80) {
            expected.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            expected += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            expected += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                         static_cast<char>(0x80 | (c & 0x3F))};
        }
        EXPECT_EQ(cp1251ToUtf8(byte), expected) << b;
    }
    EXPECT_EQ(cp1251ToUtf8("\x98"), "\xC2\x98");
}
