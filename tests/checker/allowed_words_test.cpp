#include "checker/allowed_words.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "checker/check_pass_template.h"
#include "checker/class_settings.h"
#include "checker/table_sets.h"
#include "support/sjis_literals.h"
#include "support/trace_view.h"

namespace torvane::checker {
namespace {

using testing::sjisOf;
using testing::TraceView;

// The text with every occurrence in brackets.
std::string marked(const std::vector<std::string>& words, std::string_view text) {
  const sjis::SjisText checked = sjisOf(text);
  const std::vector<AllowedOccurrence> found = AllowedWords(words).find(checked);
  std::string out;
  std::size_t at = 0;
  for (const AllowedOccurrence& o : found) {
    EXPECT_EQ(sjis::slice(checked, o.offset, o.length), sjisOf(words[o.word]));
    out += sjis::toUtf8(sjis::slice(checked, at, o.offset - at)) + "[" +
           sjis::toUtf8(sjis::slice(checked, o.offset, o.length)) + "]";
    at = o.offset + o.length;
  }
  return out + sjis::toUtf8(sjis::slice(checked, at, checked.size() - at));
}

TEST(AllowedWordsFind, LeftToRightLongestFirstNeverOverlapping) {
  struct Row {
    std::vector<std::string> words;
    const char* text;
    const char* expected;
  } rows[] = {
      {{"岡山"}, "岡山と岡田", "[岡山]と岡田"},
      {{"岡山", "岡山県"}, "岡山県岡山市", "[岡山県][岡山]市"},
      {{"山県", "岡山"}, "岡山県", "[岡山]県"},  // the earlier start wins over a later one
      {{"ああ"}, "あああ", "[ああ]あ"},
      {{"a", "aa"}, "aaa", "[aa][a]"},
      {{"abcd", "bc"}, "abcx", "a[bc]x"},
      {{"ab", "bcd"}, "abcd", "[ab]cd"},
      {{"bcd", "abcde"}, "abcdx", "a[bcd]x"},
      {{"abcde", "bc", "cdf"}, "abcdf", "a[bc]df"},
      {{"ab", "abcd", "c"}, "abc", "[ab][c]"},  // what was read past "ab" is read again
      {{"ab", "abcd", "c"}, "abcab", "[ab][c][ab]"},
      {{"鷗外"}, "森鷗外と鷗", "森[鷗外]と鷗"},
      {{"鷗"}, "森鷗外", "森[鷗]外"},  // a short word that starts outside the code page
      {{"New York"}, "New  York New York", "New  York [New York]"},
      {{"あい"}, "あ\r\nい", "あ\r\nい"},
      {{"ｱｲ"}, "ｱｱｲ", "ｱ[ｱｲ]"},
      {{"A"}, "アA", "ア[A]"},  // ア is 0x83 0x41: its trail byte is no A
      {{"岡山", "岡山"}, "岡山", "[岡山]"},
      {{"\u3000あ", " x"}, "\u3000あ x", "\u3000あ x"},  // the check passes over spaces unread
      {{}, "岡山", "岡山"},
      {{"岡山"}, "", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(marked(row.words, row.text), row.expected) << row.text;
}

// The rule as stated: at each place the longest word that starts there, if any, then on past it.
std::vector<std::pair<std::size_t, std::size_t>> byTheRule(const std::vector<std::u32string>& words,
                                                           const std::u32string& text) {
  std::vector<std::pair<std::size_t, std::size_t>> out;
  for (std::size_t p = 0; p < text.size();) {
    std::size_t longest = 0;
    for (const std::u32string& w : words) {
      if (w.size() > longest && text.compare(p, w.size(), w) == 0) longest = w.size();
    }
    if (longest == 0) {
      ++p;
      continue;
    }
    out.emplace_back(p, longest);
    p += longest;
  }
  return out;
}

TEST(AllowedWordsFind, AgreesWithTheRuleOnRandomWordsAndTexts) {
  // One and two bytes: ア is 0x83 0x41, and its trail byte is A; ｱ is one byte.
  const std::u32string alphabet = U"あいアAaｱ";
  std::mt19937 random(932);
  std::uniform_int_distribution<std::size_t> letter(0, alphabet.size() - 1), length(1, 5),
      count(1, 8), textLength(0, 40);
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::u32string> words(count(random));
    std::vector<std::string> utf8Words;
    for (std::u32string& w : words) {
      for (std::size_t k = length(random); k > 0; --k) w.push_back(alphabet[letter(random)]);
      std::string u;
      for (char32_t c : w) sjis::appendUtf8(u, c);
      utf8Words.push_back(u);
    }
    std::u32string text;
    for (std::size_t k = textLength(random); k > 0; --k) text.push_back(alphabet[letter(random)]);
    // The byte offset of each character, and one past the last.
    std::vector<std::size_t> at = {0};
    for (char32_t c : text) at.push_back(at.back() + (c < 0x80 || c == U'ｱ' ? 1 : 2));
    std::vector<std::pair<std::size_t, std::size_t>> expected;
    for (const auto& [p, n] : byTheRule(words, text)) expected.emplace_back(at[p], at[p + n] - at[p]);
    std::vector<std::pair<std::size_t, std::size_t>> got;
    for (const AllowedOccurrence& o : AllowedWords(utf8Words).find(sjis::encode(text).text)) {
      got.emplace_back(o.offset, o.length);
    }
    ASSERT_EQ(got, expected) << "round " << round;
  }
}

// The pass with the settings of a class.
struct SettingsPass {
  TraceView view;
  ResultLists lists;
};

std::unique_ptr<SettingsPass> checkWith(std::string_view text, int level,
                                        const ClassSettings& settings) {
  auto p = std::make_unique<SettingsPass>(SettingsPass{TraceView(sjisOf(text), level), {}});
  const Classifier known = classifierFor(tables::TableSet::Tables1989).withKnown(settings.known);
  const AllowedWords words(settings.allowed);
  const AllowingClassifier<Classifier> allowing(known, words);
  runCheckWith(p->view, allowing, p->lists);
  EXPECT_EQ(allowing.occurrences(), words.find(sjisOf(text))) << text;
  return p;
}

std::vector<std::string> utf8Of(const std::vector<sjis::SjisChar>& list) {
  std::vector<std::string> out;
  for (const sjis::SjisChar& c : list) out.push_back(sjis::toUtf8(c));
  return out;
}

// The offsets of the red spans and the grey ones.
std::pair<std::vector<std::size_t>, std::vector<std::size_t>> colours(const TraceView& view) {
  std::pair<std::vector<std::size_t>, std::vector<std::size_t>> out;
  std::size_t start = 0;
  for (std::size_t k = 0; k < view.calls.size(); ++k) {
    const std::uint64_t call = view.calls[k];
    if (TraceView::callOf(call) == TraceView::SelectionStart) start = call & 0xFFFFFFFF;
    if (TraceView::callOf(call) != TraceView::SelectionColor || k < 4) continue;  // the reset
    const auto color = static_cast<TextColor>(call & 0xFF);
    (color == TextColor::Red ? out.first : out.second).push_back(start);
  }
  return out;
}

TEST(ClassSettingsPass, AKnownKanjiIsNoProblemAtAnyLevelAndStaysInItsList) {
  const ClassSettings settings{{U'漢', U'鬱', U'鷗'}, {}, false};
  for (int level = -1; level <= 6; ++level) {
    // 漢 grade 3, 字 grade 1, 鬱 and 鷗 beyond the tables.
    const auto p = checkWith("漢字鬱鷗", level, settings);
    EXPECT_EQ(colours(p->view).first,
              level < 0 ? std::vector<std::size_t>{2} : std::vector<std::size_t>{})
        << level;
    EXPECT_EQ(utf8Of(p->lists.FoundGrade3.entries()), std::vector<std::string>{"漢"});
    EXPECT_EQ(utf8Of(p->lists.FoundBeyond.entries()), (std::vector<std::string>{"鬱", "鷗"}));
    EXPECT_EQ(utf8Of(p->lists.ProblemKinds.entries()),
              level < 0 ? std::vector<std::string>{"字"} : std::vector<std::string>{});
    // The report still lists them in their sections.
    EXPECT_EQ(sjis::toUtf8(p->view.reportLines.front()), "  ----- 中学までに習わない(漢)字 -----");
  }
}

TEST(ClassSettingsPass, AnAllowedWordDoesNotAllowItsKanjiElsewhere) {
  const auto p = checkWith("岡山と岡田", 0, {{}, {"岡山"}, false});
  EXPECT_EQ(colours(p->view).first, std::vector<std::size_t>{6});  // 岡 of 岡田
  EXPECT_EQ(utf8Of(p->lists.ProblemOccurrences.entries()), std::vector<std::string>{"岡"});
  EXPECT_EQ(utf8Of(p->lists.FoundBeyond.entries()), std::vector<std::string>{"岡"});
}

TEST(ClassSettingsPass, EveryCharacterOfAnAllowedWordIsBlack) {
  // ｉＰＳ is red at level 0 and grey from level 3 on; the word leaves every character black.
  for (int level : {-1, 0, 3, 6}) {
    const auto p = checkWith("ｉＰＳ細胞とＰ", level, {{}, {"ｉＰＳ細胞"}, false});
    const auto [red, grey] = colours(p->view);
    EXPECT_EQ(red.size() + grey.size(), 1u) << level;  // the Ｐ after と only
    EXPECT_EQ(red.empty() ? grey.front() : red.front(), 12u) << level;
    EXPECT_EQ(utf8Of(p->lists.FoundGrade2.entries()), std::vector<std::string>{"細"}) << level;
    EXPECT_EQ(utf8Of(p->lists.FoundJuniorHigh.entries()), std::vector<std::string>{"胞"}) << level;
  }
}

// Characters the settings do not touch make exactly the calls they make without settings; the
// touched ones lose only their colour calls.
TEST(ClassSettingsPass, UntouchedCharactersMakeTheCallsTheyAlwaysMade) {
  const std::vector<std::string> pieces = {"岡", "山", "県",     "漢",   "字", "あ", "ア", "Ａ",
                                           "a",  " ",  "\u3000", "\r\n", "鷗", "鬱", "城", "ｱ"};
  const ClassSettings settings{{U'漢', U'鷗'}, {"岡山", "岡山県", "Ａa", "ア 城"}, false};
  std::mt19937 random(2020);
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  for (int round = 0; round < 200; ++round) {
    std::string text;
    for (int k = 0; k < 30; ++k) text += pieces[pick(random)];
    for (int level = -1; level <= 6; ++level) {
      const auto with = checkWith(text, level, settings);
      const auto without = checkWith(text, level, {});
      // The plain calls less the colour calls of every character the settings touch.
      const sjis::SjisText checked = sjisOf(text);
      const std::vector<AllowedOccurrence> found = AllowedWords(settings.allowed).find(checked);
      std::vector<bool> touched(checked.size());
      for (const AllowedOccurrence& o : found) {
        for (std::size_t i = o.offset; i < o.offset + o.length; ++i) touched[i] = true;
      }
      sjis::forEachChar(checked, [&](std::size_t offset, const sjis::SjisChar& c) {
        const char32_t u = sjis::Cp932::get().decode(c);
        if (u == U'漢' || u == U'鷗') touched[offset] = true;
      });
      std::vector<std::uint64_t> expected;
      const std::vector<std::uint64_t>& plain = without->view.calls;
      for (std::size_t k = 0; k < plain.size(); ++k) {
        const bool colourStart = k >= 4 && TraceView::callOf(plain[k]) == TraceView::SelectionStart;
        if (colourStart && touched[plain[k] & 0xFFFFFFFF]) {
          k += 2;  // its length and its colour
          continue;
        }
        expected.push_back(plain[k]);
      }
      ASSERT_EQ(with->view.calls, expected) << text << " at level " << level;
    }
  }
}

}  // namespace
}  // namespace torvane::checker
