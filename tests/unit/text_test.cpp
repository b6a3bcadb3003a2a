// The codec between the program's CP949 texts and the system's UTF-16.
#include "platform/text.h"

#include <gtest/gtest.h>

using plat::TextFromUtf16;
using plat::TextToUtf16;

TEST(TextCodec, WhatCp949SpellsStaysPlainBytes) {
  EXPECT_EQ(TextFromUtf16(u"C:\\키베인\\Keyvane.exe"), "C:\\키베인\\Keyvane.exe");
  EXPECT_EQ(TextToUtf16("C:\\키베인\\Keyvane.exe"), u"C:\\키베인\\Keyvane.exe");
  EXPECT_EQ(TextFromUtf16(u"あ ㅡ 가"), "あ ㅡ 가");
  EXPECT_EQ(TextFromUtf16(std::u16string(u"a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(TextFromUtf16(u""), "");
  EXPECT_EQ(TextToUtf16(""), u"");
  // A byte that starts no character, or a pair with nothing assigned (A2 E8 in the C
  // library's tables), costs that character alone.
  for (const char* bad : {"\xA2\xE8", "\xFF"}) {
    const std::u16string got = TextToUtf16(std::string("가") + bad + " ab");
    EXPECT_EQ(got.substr(0, 1), u"가") << bad;
    EXPECT_EQ(got.substr(got.size() - 3), u" ab") << bad;
  }
}

TEST(TextCodec, WhatCp949CannotSpellIsEscapedAndComesBack) {
  // Never the best-fit look-alike: "C:\Cafe\" is another folder.
  // (Texts with such characters stay out of the test macros, which spell their arguments
  // in the program's code page.)
  const std::u16string wide = u"C:\\Café\\Config.ini";
  const std::string cafe = TextFromUtf16(wide);
  EXPECT_EQ(cafe,
            "C:\\Caf\xFF"
            "00E9\\Config.ini");
  EXPECT_EQ(TextToUtf16(cafe), wide);
  // Mixed with Korean, at both ends, one after another.
  const std::u16string mixed = u"é가ñ\u0100\u0101x";
  EXPECT_EQ(TextFromUtf16(mixed),
            "\xFF"
            "00E9가\xFF"
            "00F1\xFF"
            "0100\xFF"
            "0101x");
  EXPECT_EQ(TextToUtf16(TextFromUtf16(mixed)), mixed);
  // Characters beyond the basic plane: each half of the pair, also a lone half.
  const std::u16string smile = u"a\U0001F600b";
  EXPECT_EQ(TextFromUtf16(smile),
            "a\xFF"
            "D83D\xFF"
            "DE00b");
  EXPECT_EQ(TextToUtf16(TextFromUtf16(smile)), smile);
  const std::u16string lone = {u'x', 0xDC00, u'y', 0xD800};
  EXPECT_EQ(TextFromUtf16(lone),
            "x\xFF"
            "DC00y\xFF"
            "D800");
  EXPECT_EQ(TextToUtf16(TextFromUtf16(lone)), lone);
}

TEST(TextCodec, EscapesDecodeInEitherCaseAndOnlyWhenWhole) {
  const std::u16string upper = u"CAFé.EXE";
  EXPECT_EQ(TextToUtf16("CAF\xFF"
                        "00e9.EXE"),
            upper);
  EXPECT_EQ(TextToUtf16("\xFF"
                        "aC00"),
            u"가");
  // A 0xFF without four hex digits is just a byte: the digits that follow stay text.
  for (const std::string& broken : {std::string("\xFF"
                                                "00G1"),
                                    std::string("\xFF"
                                                "12")}) {
    const std::u16string wide = TextToUtf16(broken);
    ASSERT_EQ(wide.size(), broken.size()) << broken;
    EXPECT_EQ(wide.substr(1), std::u16string(broken.begin() + 1, broken.end())) << broken;
  }
}

TEST(TextCodec, Utf8BothWays) {
  const std::u16string wide = u"Café 가 \U0001F600";
  EXPECT_EQ(plat::Utf8ToUtf16("Caf\xC3\xA9 \xEA\xB0\x80 \xF0\x9F\x98\x80"), wide);
  EXPECT_EQ(plat::Utf16ToUtf8(wide), "Caf\xC3\xA9 \xEA\xB0\x80 \xF0\x9F\x98\x80");
  // Broken sequences: a stray continuation byte, a cut-off sequence, an overlong form, a
  // surrogate spelled in UTF-8.
  EXPECT_EQ(plat::Utf8ToUtf16("a\x80"
                              "b\xE0\xA0"
                              "c\xC0\xAF"
                              "d\xED\xA0\x80"),
            u"a\uFFFDb\uFFFDc\uFFFD\uFFFDd\uFFFD");
  EXPECT_EQ(plat::Utf16ToUtf8(std::u16string{u'a', 0xD800}), "a\xEF\xBF\xBD");
}
