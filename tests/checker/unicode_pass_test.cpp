#include "checker/unicode_pass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "checker/check_pass_template.h"
#include "checker/table_sets.h"
#include "checker/unicode_check.h"
#include "sjis/codec.h"
#include "support/trace_view.h"

namespace torvane::checker {
namespace {

using testing::SourceTraceView;
using testing::TraceView;

constexpr tables::TableSet kSets[] = {tables::TableSet::Tables1989, tables::TableSet::Tables2020};

void appendUtf16(std::u16string& out, char32_t c) {
  if (c >= 0x10000) {
    out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(c));  // a surrogate stays a lone unit
  }
}

std::u16string utf16Of(const std::u32string& text) {
  std::u16string out;
  for (char32_t c : text) appendUtf16(out, c);
  return out;
}

std::string utf8Of(const std::u32string& text) {
  std::string out;
  for (char32_t c : text) sjis::appendUtf8(out, c);
  return out;
}

// The characters the byte pass reads from a converted text, as it reads them.
std::vector<sjis::SjisChar> charactersOf(const sjis::SjisText& text) {
  std::vector<sjis::SjisChar> out;
  std::size_t cursor = 0;
  for (std::size_t i = 0; i < text.size();) {
    out.push_back(sjis::charAt(text, i, cursor));
    i += out.back().length();
  }
  return out;
}

sjis::SjisText converted(char32_t c) {
  sjis::SjisEncoder encoder(sjis::LineBreaks::ToCrLf);
  encoder.append(c, 0);
  return std::move(encoder).finish(1).text;
}

TEST(UnicodeForms, EveryCodePointHasTheLengthTheEncoderWrites) {
  const sjis::UnicodeForms& forms = sjis::UnicodeForms::get();
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    const sjis::SjisText text = converted(c);
    ASSERT_EQ(forms.of(c).length(), text.size()) << std::hex << static_cast<std::uint32_t>(c);
  }
}

// The table stands for "convert, then read and classify as the byte pass does", code point by
// code point, surrogates included (the encoder takes them as U+FFFD).
TEST(UnicodeClassifier, EveryCodePointAsThePassReadsItsConversion) {
  for (tables::TableSet set : kSets) {
    const Classifier& classifier = classifierFor(set);
    const UnicodeClassifier& unicode = unicodeClassifierFor(set);
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
      const std::vector<sjis::SjisChar> expected = charactersOf(converted(c));
      const UnicodeClassifier::Entry entry = unicode.entryOf(c);
      std::vector<UnicodeClassifier::Entry> entries;
      std::vector<sjis::SjisChar> got;
      switch (entry.kind()) {
        case sjis::FormKind::Joins: break;
        case sjis::FormKind::LineBreak:
          entries = {unicode.carriageReturn(), unicode.lineFeed()};
          got = {entries[0].sjisChar(U'\r'), entries[1].sjisChar(U'\n')};
          break;
        case sjis::FormKind::Code:
        case sjis::FormKind::Placeholder:
          entries = {entry};
          got = {entry.sjisChar(c)};
          break;
      }
      const auto hex = static_cast<std::uint32_t>(c);
      ASSERT_EQ(got, expected) << std::hex << hex;
      for (std::size_t k = 0; k < got.size(); ++k) {
        const sjis::SjisChar& read = expected[k];
        const bool skipped = read.length() == 2 ? read.code() == 0x8140 : read.code() == ' ';
        ASSERT_EQ(entries[k].charClass(), classifier.classOf(read)) << std::hex << hex;
        ASSERT_EQ(entries[k].examined(), !skipped) << std::hex << hex;
        ASSERT_EQ(entries[k].length(), read.length()) << std::hex << hex;
      }
    }
  }
}

TEST(UnicodeForms, Utf8OfEveryCodePointDecodesToItself) {
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;  // no UTF-8 form
    std::string bytes;
    sjis::appendUtf8(bytes, c);
    std::size_t i = 0;
    ASSERT_EQ(sjis::nextCharacter(bytes.data(), bytes.size(), i), c);
    ASSERT_EQ(i, bytes.size());
  }
}

// Both passes over one text: the calls, the result lists, the report and the summary.
struct Passes {
  Passes(sjis::EncodedText converted, int level)
      : encoded(std::move(converted)), bytes(encoded.text, level), unicode({}, level) {
    // Room for about the calls a character makes, so long texts do not pay for growth.
    bytes.calls.reserve(encoded.text.size() * 6 + 64);
    unicode.calls.reserve(encoded.text.size() * 6 + 64);
  }
  sjis::EncodedText encoded;  // with the source map
  TraceView bytes;
  SourceTraceView unicode;
  ResultLists bytesLists, unicodeLists;
  CheckEnd bytesEnd{}, unicodeEnd{};
};

template <class Unit>
void expectSamePasses(Passes& p, const sjis::MeasuredText<Unit>& measured,
                      const std::string& what) {
  ASSERT_EQ(p.bytesEnd, p.unicodeEnd) << what;
  ASSERT_FALSE(p.bytes.calls.empty());
  ASSERT_EQ(p.bytes.calls.front(), std::uint64_t{TraceView::Text} << 56);
  const std::vector<std::uint64_t> afterText(p.bytes.calls.begin() + 1, p.bytes.calls.end());
  const auto [differs, _] = std::ranges::mismatch(afterText, p.unicode.calls);
  const auto k = static_cast<std::size_t>(differs - afterText.begin());
  ASSERT_EQ(afterText.size(), p.unicode.calls.size()) << what << ": first difference at call " << k;
  ASSERT_EQ(k, afterText.size()) << what << ": call " << k << " is " << std::hex << afterText[k]
                                 << ", not " << p.unicode.calls[k];
  EXPECT_EQ(p.bytes.reportLines, p.unicode.reportLines) << what;
  EXPECT_EQ(p.bytes.message, p.unicode.message) << what;
  const auto lists = [](const ResultLists& l) {
    std::vector<std::vector<sjis::SjisChar>> all;
    for (const ResultList* list :
         {&l.FoundGrade1, &l.FoundGrade2, &l.FoundGrade3, &l.FoundGrade4, &l.FoundGrade5,
          &l.FoundGrade6, &l.FoundJuniorHigh, &l.FoundBeyond, &l.ProblemKinds}) {
      all.push_back(list->entries());
    }
    all.push_back(l.ProblemOccurrences.entries());
    return all;
  };
  EXPECT_EQ(lists(p.bytesLists), lists(p.unicodeLists)) << what;
  EXPECT_EQ(measured.sjisSize(), p.encoded.text.size()) << what;

  // Every colour change covers in the source what the encoder's map gives for its bytes.
  const std::vector<std::uint32_t>& map = p.encoded.sourceOf;
  std::vector<std::pair<std::size_t, std::size_t>> expected;
  std::size_t start = 0, length = 0;
  for (std::uint64_t call : afterText) {
    const std::uint64_t argument = call & ((std::uint64_t{1} << 56) - 1);
    if (TraceView::callOf(call) == TraceView::SelectionStart) start = argument;
    if (TraceView::callOf(call) == TraceView::SelectionLength) length = argument;
    if (TraceView::callOf(call) == TraceView::SelectionColor) {
      expected.emplace_back(map[start], map[start + length]);
    }
  }
  EXPECT_EQ(p.unicode.sources, expected) << what;
}

void checkUtf16(const std::u16string& text, int level, tables::TableSet set,
                std::optional<std::size_t> stopAt = std::nullopt) {
  Passes p(sjis::encodeUtf16(text, sjis::LineBreaks::ToCrLf, true), level);
  p.bytes.stopAtEventRun = p.unicode.stopAtEventRun = stopAt;
  p.bytesEnd = runCheckWith(p.bytes, classifierFor(set), p.bytesLists);
  const sjis::MeasuredUtf16 measured = sjis::measureUtf16(text);
  p.unicodeEnd =
      runUnicodeCheckWith(p.unicode, measured, unicodeClassifierFor(set), p.unicodeLists);
  expectSamePasses(p, measured,
                   "UTF-16, level " + std::to_string(level) + ", tables " +
                       std::string(tables::tableSetName(set)) +
                       (stopAt ? ", stop at " + std::to_string(*stopAt) : ""));
}

void checkUtf8(const std::string& text, int level, tables::TableSet set) {
  sjis::SjisEncoder encoder(sjis::LineBreaks::ToCrLf, true);
  ASSERT_FALSE(encoder.appendUtf8(text));
  Passes p(std::move(encoder).finish(static_cast<std::uint32_t>(text.size())), level);
  p.bytesEnd = runCheckWith(p.bytes, classifierFor(set), p.bytesLists);
  const auto measured = sjis::measureUtf8(text);
  ASSERT_TRUE(std::holds_alternative<sjis::MeasuredUtf8>(measured));
  p.unicodeEnd = runUnicodeCheckWith(p.unicode, std::get<sjis::MeasuredUtf8>(measured),
                                     unicodeClassifierFor(set), p.unicodeLists);
  expectSamePasses(p, std::get<sjis::MeasuredUtf8>(measured),
                   "UTF-8, level " + std::to_string(level) + ", tables " +
                       std::string(tables::tableSetName(set)));
}

// All of Unicode, a plane a text. Levels -1 and 0 tell apart every two classes the pass can tell
// apart (the stages by their lists); the random texts below go through every level.
TEST(UnicodePass, AllOfUnicodeAsConvertThenPass) {
  for (char32_t plane = 0; plane <= 0x10; ++plane) {
    std::u32string all, withoutSurrogates;
    for (char32_t c = plane << 16; c <= (plane << 16 | 0xFFFF); ++c) {
      all.push_back(c);
      if (c >= 0xD800 && c <= 0xDFFF) {
        all.push_back(U'x');  // so no two surrogates pair up
      } else {
        withoutSurrogates.push_back(c);
      }
    }
    const std::u16string utf16 = utf16Of(all);
    const std::string utf8 = utf8Of(withoutSurrogates);
    for (tables::TableSet set : kSets) {
      for (int level : {-1, 0}) {
        checkUtf16(utf16, level, set);
        checkUtf8(utf8, level, set);
      }
    }
  }
}

// Texts drawn from what the box holds: kana, kanji of every stage and beyond, Latin letters,
// digits, symbols, spaces of every kind, line breaks of every kind, characters outside the code
// page, joining characters (also first, and between CR and LF), NUL and, in UTF-16, lone
// surrogates.
std::u32string randomText(std::mt19937& random, std::size_t length, bool surrogates) {
  static const std::vector<std::u32string> pieces = {
      U"あ",         U"の",         U"ア",     U"ー",     U"ｱ",      U"ﾟ",      U"学",
      U"名",         U"漢",         U"愛",     U"岡",     U"城",     U"亜",     U"誰",
      U"鬱",         U"叱",         U"勺",     U"Ａ",     U"ａ",     U"A",      U"a",
      U"z",          U"1",          U"(",      U"!",      U"~",      U"\\",     U"α",
      U"①",          U"々",         U"ⅰ",      U"〜",     U"～",     U"¥",      U" ",
      U"\u3000",     U"\u00A0",     U"\u2003", U"\n",     U"\r\n",   U"\r",     U"\u2028",
      U"\u2029",     U"\r\u200B\n", U"\t",     U"\0",     U"鷗",     U"𠮷",     U"𠮟",
      U"塡",         U"😀",          U"é",      U"\uFFFD", U"\uFE0F", U"\u200D", U"\U000E0100",
      U"\U000E0001", U"\U000E0041", U"\uFEFF", U"\u2060", U"\u0085", U"\uE000"};
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() + 2);
  std::uniform_int_distribution<std::uint32_t> bmp(0, 0xFFFF), anyCodePoint(0, 0x10FFFF);
  std::u32string text;
  while (text.size() < length) {
    const std::size_t k = pick(random);
    char32_t c = 0;
    if (k < pieces.size()) {
      text += pieces[k];
      continue;
    }
    c = k == pieces.size() ? bmp(random) : anyCodePoint(random);
    if (!surrogates && c >= 0xD800 && c <= 0xDFFF) continue;
    // Two surrogates in a row would make a pair, which is no longer the character drawn.
    if (c >= 0xD800 && c <= 0xDFFF && !text.empty() && text.back() >= 0xD800 &&
        text.back() <= 0xDFFF) {
      continue;
    }
    text.push_back(c);
  }
  return text;
}

TEST(UnicodePass, RandomTextsAtEveryLevelAsConvertThenPass) {
  std::mt19937 random(932);
  for (int round = 0; round < 40; ++round) {
    const std::size_t length = round < 10 ? round : 400;
    const std::u32string withSurrogates = randomText(random, length, true);
    const std::u32string plain = randomText(random, length, false);
    for (tables::TableSet set : kSets) {
      for (int level = -1; level <= 6; ++level) {
        checkUtf16(utf16Of(withSurrogates), level, set);
        checkUtf8(utf8Of(plain), level, set);
      }
    }
  }
}

// Known kanji and allowed words reach both passes: the byte pass through the wrapper around its
// classifier, the Unicode pass through its table and the occurrences it is given.
struct Settings {
  Classifier known;
  UnicodeClassifier unicodeKnown;
  AllowedWords words;
};

template <class Unit>
void checkWithSettings(const sjis::MeasuredText<Unit>& measured, sjis::EncodedText encoded,
                       int level, const Settings& settings, const std::string& what) {
  Passes p(std::move(encoded), level);
  const AllowingClassifier<Classifier> allowing(settings.known, settings.words);
  p.bytesEnd = runCheckWith(p.bytes, allowing, p.bytesLists);
  const std::vector<AllowedOccurrence>& found = allowing.occurrences();
  const std::vector<AllowedOccurrence> foundInUnicode =
      allowedIn(settings.words, measured, settings.unicodeKnown);
  ASSERT_EQ(foundInUnicode, found) << what;
  p.unicodeEnd = runUnicodeCheckWith(p.unicode, measured, settings.unicodeKnown, p.unicodeLists,
                                     std::span<const AllowedOccurrence>(foundInUnicode));
  expectSamePasses(p, measured, what);
}

TEST(UnicodePass, WithKnownKanjiAndAllowedWordsAsConvertThenPass) {
  const std::vector<std::string> allowed = {"学名",  "漢岡", "ア",       "Ａａ",      "鷗", "𠮟塡",
                                            "亜 誰", "z1",   "\u3000あ", "ー\uFE0Fｱ", "城"};
  std::mt19937 random(1989);
  for (tables::TableSet set : kSets) {
    const Classifier known = classifierFor(set).withKnown(
        std::vector<char32_t>{U'漢', U'愛', U'鬱', U'勺', U'𠮷', U'塡', U'城'});
    const Settings settings{known, UnicodeClassifier(known), AllowedWords(allowed)};
    for (int round = 0; round < 30; ++round) {
      const std::size_t length = round < 5 ? round : 400;
      const std::u16string utf16 = utf16Of(randomText(random, length, true));
      const std::string utf8 = utf8Of(randomText(random, length, false));
      for (int level = -1; level <= 6; ++level) {
        const std::string what =
            "level " + std::to_string(level) + ", tables " + std::string(tables::tableSetName(set));
        checkWithSettings(sjis::measureUtf16(utf16),
                          sjis::encodeUtf16(utf16, sjis::LineBreaks::ToCrLf, true), level, settings,
                          "UTF-16, " + what);
        sjis::SjisEncoder encoder(sjis::LineBreaks::ToCrLf, true);
        ASSERT_FALSE(encoder.appendUtf8(utf8));
        checkWithSettings(std::get<sjis::MeasuredUtf8>(sjis::measureUtf8(utf8)),
                          std::move(encoder).finish(static_cast<std::uint32_t>(utf8.size())), level,
                          settings, "UTF-8, " + what);
      }
    }
  }
}

TEST(UnicodePass, StopsWhereTheBytePassStops) {
  const std::u16string text = utf16Of(U"漢\r\nａ𠮷\u2028ｱ 字");
  for (std::size_t stopAt = 1; stopAt <= 16; ++stopAt) {
    checkUtf16(text, 0, tables::TableSet::Tables1989, stopAt);
  }
}

TEST(UnicodePass, SourceRangesInUtf16Units) {
  // A joiner at 0 that no character takes in, 漢 1, 𠮷 2-3 with a variation selector at 4,
  // CR LF 5-6, ア 7.
  const std::u16string text = u"\u200D漢𠮷\uFE0F\r\nア";
  SourceTraceView view({}, 0);
  ResultLists lists;
  runUnicodeCheckWith(view, sjis::measureUtf16(text),
                      unicodeClassifierFor(tables::TableSet::Tables1989), lists);
  const std::vector<std::pair<std::size_t, std::size_t>> expected = {
      {1, 8}, {1, 2}, {2, 5}, {7, 8}};  // the reset, 漢 red, 𠮷 red, ア grey
  EXPECT_EQ(view.sources, expected);
}

struct Utf8Row {
  const char* name;
  std::string bytes;
};

// Well-formed or not, the measure agrees with the encoder on the size and on the first bad byte,
// on each side of the eight-byte runs it counts at once.
TEST(MeasureUtf8, SizeAndFirstBadByteAsTheEncoderGivesThem) {
  const Utf8Row rows[] = {
      {"empty", ""},
      {"ASCII run of 8", "abcdefgh"},
      {"ASCII run of 9", "abcdefghi"},
      {"CR LF across the end of a run", "abcdefg\r\nxyz"},
      {"CR at the end of a run, LF after", "abcdefgh\r\nx"},
      {"lone CR and lone LF", "a\rb\nc\r"},
      {"kana", "\xE3\x81\x82\xE3\x81\x84"},           // あい
      {"bad byte after a run of 8", "abcdefgh\xFF"},  //
      {"bad byte inside a run",
       "abc\xFF"
       "defgh"},                                 //
      {"lone continuation byte", "\x80"},        //
      {"overlong two bytes", "a\xC0\x80"},       //
      {"overlong three bytes", "\xE0\x80\x80"},  //
      {"surrogate", "\xED\xA0\x80"},             //
      {"past U+10FFFF", "\xF4\x90\x80\x80"},     //
      {"F5 lead", "\xF5\x80\x80\x80"},           //
      {"cut off at the end", "\xE3\x81"},        //
      {"cut off before ASCII",
       "\xE3\x81"
       "abcdefgh"},                                                //
      {"bad after a good character", "\xE6\xBC\xA2\xE3\x81\xFF"},  // 漢, then a cut sequence
      {"largest code point", "\xF4\x8F\xBF\xBF"},                  //
      {"NUL", std::string("a\0b", 3)},                             //
  };
  for (const Utf8Row& row : rows) {
    sjis::SjisEncoder encoder(sjis::LineBreaks::ToCrLf);
    const std::optional<std::size_t> bad = encoder.appendUtf8(row.bytes);
    const auto measured = sjis::measureUtf8(row.bytes);
    if (bad) {
      ASSERT_TRUE(std::holds_alternative<sjis::InvalidUtf8>(measured)) << row.name;
      EXPECT_EQ(std::get<sjis::InvalidUtf8>(measured).offset, *bad) << row.name;
    } else {
      ASSERT_TRUE(std::holds_alternative<sjis::MeasuredUtf8>(measured)) << row.name;
      EXPECT_EQ(std::get<sjis::MeasuredUtf8>(measured).sjisSize(),
                std::move(encoder).finish(0).text.size())
          << row.name;
    }
  }
}

TEST(Utf8Input, ByteOrderMarkSkippedAndCountedInTheOffset) {
  const auto good = utf8Input("\xEF\xBB\xBF\xE6\xBC\xA2");  // 漢
  ASSERT_TRUE(std::holds_alternative<sjis::MeasuredUtf8>(good));
  EXPECT_EQ(std::get<sjis::MeasuredUtf8>(good).units(), "\xE6\xBC\xA2");
  EXPECT_EQ(std::get<sjis::MeasuredUtf8>(good).sjisSize(), 2u);
  EXPECT_EQ(std::get<sjis::InvalidUtf8>(utf8Input("\xEF\xBB\xBF"
                                                  "a\xFF"))
                .offset,
            4u);
  EXPECT_EQ(std::get<sjis::InvalidUtf8>(utf8Input("a\xFF")).offset, 1u);
  EXPECT_EQ(std::get<sjis::MeasuredUtf8>(utf8Input("\xEF\xBB\xBF\xEF\xBB\xBF")).sjisSize(), 0u)
      << "a second mark is a zero-width character of the text";
}

// The command line's call gives what the byte path gives through BasicRecordingView.
TEST(CheckUtf8, RecordListsAndSpansAsTheBytePath) {
  const std::string text = "漢字漢\nＡａ ｱ𠮷\u00A0学\r\n";
  for (tables::TableSet set : kSets) {
    for (int level = -1; level <= 6; ++level) {
      sjis::SjisEncoder encoder(sjis::LineBreaks::ToCrLf);
      ASSERT_FALSE(encoder.appendUtf8(text));
      RecordingView bytes(std::move(encoder).finish(0).text, level);
      ResultLists bytesLists, unicodeLists;
      runCheckWith(bytes, classifierFor(set), bytesLists);
      const auto unicode =
          checkUtf8(std::get<sjis::MeasuredUtf8>(utf8Input(text)), level, set, unicodeLists);
      EXPECT_EQ(unicode.spans.spans, bytes.spans().spans) << level;
      EXPECT_EQ(unicode.record.spanCount, bytes.record().spanCount) << level;
      EXPECT_EQ(unicode.record.progressCount, bytes.record().progressCount) << level;
      EXPECT_EQ(unicode.record.reportLines, bytes.record().reportLines) << level;
      EXPECT_EQ(unicode.record.summary, bytes.record().summary) << level;
      EXPECT_EQ(unicodeLists.ProblemOccurrences.entries(), bytesLists.ProblemOccurrences.entries());
      EXPECT_EQ(unicodeLists.ProblemKinds.entries(), bytesLists.ProblemKinds.entries());
    }
  }
}

}  // namespace
}  // namespace torvane::checker
