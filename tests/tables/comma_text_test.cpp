#include "tables/comma_text.h"

#include <gtest/gtest.h>

namespace torvane::tables {
namespace {

using Fields = std::vector<std::string>;

TEST(CommaText, SplitsByItsQuotingRules) {
  struct Case {
    const char* name;
    std::string row;
    Fields fields;
  } cases[] = {
      {"grade row", "1,\x8b\x43", /* 1,気 */ {"1", "\x8b\x43"}},
      {"empty row", "", {}},
      {"blanks only", " \t ", {}},
      {"one field", "1", {"1"}},
      {"blanks around fields are skipped", "  1 ,  a  ", {"1", "a"}},
      {"a blank separates like a comma", "1 a", {"1", "a"}},
      {"control bytes are blanks",
       "1\x01"
       "a",
       {"1", "a"}},
      {"empty field between commas", "a,,b", {"a", "", "b"}},
      {"comma at the end adds an empty field", "a,", {"a", ""}},
      {"comma at the start", ",a", {"", "a"}},
      {"quoted field keeps commas and blanks", "\"a, b\",c", {"a, b", "c"}},
      {"doubled quote stands for one", "\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {"unclosed quote runs to the end", "\"abc", {"abc"}},
      {"text after a closing quote is a new field", "\"a\"b", {"a", "b"}},
      {"NUL ends the row", std::string("a,b\0c", 5), {"a", "b"}},
      {"trail bytes are never separators", "\x82\x9f,\x82\xa0", {"\x82\x9f", "\x82\xa0"}},
  };
  for (const Case& c : cases) EXPECT_EQ(splitCommaText(c.row), c.fields) << c.name;
}

}  // namespace
}  // namespace torvane::tables
