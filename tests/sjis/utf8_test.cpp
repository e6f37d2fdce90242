#include "sjis/utf8.h"

#include <gtest/gtest.h>

namespace torvane::sjis {
namespace {

TEST(Utf8, DecodesWellFormedText) {
  const Utf8Decoded decoded = decodeUtf8("a\xC3\xA4\xE6\xBC\xA2\xF0\xA0\xAE\xB7");  // aä漢𠮷
  EXPECT_FALSE(decoded.invalidAt);
  EXPECT_EQ(decoded.text, U"aä漢𠮷");
}

TEST(Utf8, NamesTheOffsetOfTheFirstBadByte) {
  struct Case {
    const char* name;
    std::string bytes;
    std::size_t offset;
  } cases[] = {
      {"stray continuation byte", "ab\x80", 2},
      {"cut off at the end", "\xE6\xBC", 0},
      {"cut off before ASCII",
       "x\xE6\xBC"
       "a",
       1},
      {"overlong slash", "\xC0\xAF", 0},
      {"overlong three-byte form", "\xE0\x80\xAF", 0},
      {"surrogate", "ok\xED\xA0\x80", 2},
      {"past U+10FFFF", "\xF4\x90\x80\x80", 0},
      {"0xFF never appears", "\xFF", 0},
      {"after good multibyte text", "\xE6\xBC\xA2\xFE", 3},
  };
  for (const Case& c : cases) {
    const Utf8Decoded decoded = decodeUtf8(c.bytes);
    ASSERT_TRUE(decoded.invalidAt) << c.name;
    EXPECT_EQ(*decoded.invalidAt, c.offset) << c.name;
  }
}

}  // namespace
}  // namespace torvane::sjis
