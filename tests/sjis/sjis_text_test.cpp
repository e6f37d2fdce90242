#include "sjis/sjis_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace torvane::sjis {
namespace {

// "a" 鷗 "b" 𠮷 𠮷: placeholder pairs at 1, 4 and 6.
SjisText threeForeign() {
  return SjisText{
      "a\x81\x7f"
      "b\x81\x7f\x81\x7f",
      {{1, U'鷗'}, {4, U'𠮷'}, {6, U'𠮷'}}};
}

TEST(SjisText, SliceKeepsExactlyTheForeignCharactersInside) {
  struct Case {
    const char* name;
    std::size_t offset, length;
    std::vector<ForeignChar> foreign;
  } cases[] = {
      {"everything", 0, 8, {{1, U'鷗'}, {4, U'𠮷'}, {6, U'𠮷'}}},
      {"ends just before a pair", 0, 1, {}},
      {"begins at a pair", 1, 2, {{0, U'鷗'}}},
      {"begins just after a pair's lead", 2, 2, {}},
      {"ends on a pair's lead", 3, 2, {{1, U'𠮷'}}},
      {"the last pair", 6, 2, {{0, U'𠮷'}}},
      {"empty at a pair", 4, 0, {}},
      {"clipped at the end", 4, 100, {{0, U'𠮷'}, {2, U'𠮷'}}},
      {"empty at the end", 8, 5, {}},
  };
  const SjisText text = threeForeign();
  for (const Case& c : cases) {
    const SjisText part = slice(text, c.offset, c.length);
    EXPECT_EQ(part.bytes, text.bytes.substr(c.offset, c.length)) << c.name;
    EXPECT_EQ(part.foreign, c.foreign) << c.name;
  }
}

}  // namespace
}  // namespace torvane::sjis
