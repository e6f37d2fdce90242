// Fuzzes the check pass on arbitrary Shift_JIS bytes, on UTF-8 text and on UTF-16 units (as the
// window's text box gives them, lone surrogates included) through the codec. The first byte
// picks the path and the level; the rest is the text. Invariants: every span lies inside the text
// and covers exactly one character as the byte-type rule divides it, the lists and the report
// agree with the spans, converted text survives a round trip, the UTF-8 and UTF-16 paths give
// what converting their characters one by one gives, and the pass over the Unicode text as it
// stands makes the very calls of converting it and running the byte pass, with the encoder's
// source ranges, and finds the same first bad UTF-8 byte.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "checker/check_pass.h"
#include "checker/check_pass_template.h"
#include "checker/recording_view.h"
#include "checker/report.h"
#include "checker/table_sets.h"
#include "checker/unicode_pass.h"
#include "sjis/codec.h"
#include "sjis/unicode_forms.h"
#include "sjis/utf8.h"
#include "support/trace_view.h"
#include "tables/class_strings.h"

namespace {

using namespace torvane;

void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

const checker::Classifier& classifier() {
  static const tables::ClassStrings strings = tables::loadClassStrings();
  static const checker::Classifier built(strings);
  return built;
}

void checkConversion(const std::u32string& source, const sjis::EncodedText& encoded) {
  const auto& map = encoded.sourceOf;
  require(map.size() == encoded.text.size() + 1, "one source position per byte and the end");
  for (std::size_t i = 1; i < map.size(); ++i) require(map[i - 1] <= map[i], "ascending map");
  require(map.back() == source.size(), "the map ends at the source's end");
  for (const sjis::ForeignChar& f : encoded.text.foreign) {
    require(f.offset + 1 < encoded.text.size(), "placeholder inside the text");
    require(encoded.text.bytes[f.offset] == static_cast<char>(sjis::kPlaceholderLead) &&
                encoded.text.bytes[f.offset + 1] == static_cast<char>(sjis::kPlaceholderTrail),
            "foreign characters stand at placeholder pairs");
    require(source[map[f.offset]] == f.character, "a placeholder maps to its character");
  }
  // Decoding and converting again gives the same bytes: nothing was lost or turned into '?'.
  const sjis::EncodedText again = sjis::encode(sjis::toUnicode(encoded.text));
  require(again.text == encoded.text, "round trip");
}

void checkPass(const sjis::SjisText& text, int level) {
  checker::ResultLists lists;
  checker::RecordingView view(text, level);
  require(checker::runCheck(view, classifier(), lists) == checker::CheckEnd::Completed,
          "completed");
  const checker::CheckRecord& record = view.record();

  std::set<std::pair<std::size_t, std::size_t>> characters;
  std::size_t examined = 0;
  sjis::forEachChar(text, [&](std::size_t offset, const sjis::SjisChar& c) {
    characters.emplace(offset, c.length());
    const bool skipped = c.length() == 2 ? c.code() == 0x8140 : c.code() == ' ';
    if (!skipped) ++examined;
  });

  const std::vector<checker::Span>& spans = view.spans().spans;
  require(spans.size() == record.spanCount, "every colour change recorded");
  require(!spans.empty() && spans[0] == checker::Span{0, text.size(), checker::TextColor::Black},
          "the reset covers the whole text");
  std::size_t reds = 0;
  std::size_t lastEnd = 0;
  for (std::size_t i = 1; i < spans.size(); ++i) {
    const checker::Span& span = spans[i];
    require(span.offset + span.length <= text.size(), "span inside the text");
    require(characters.contains({span.offset, span.length}), "span covers exactly one character");
    require(span.offset >= lastEnd, "spans in text order, never overlapping");
    require(span.color != checker::TextColor::Black, "only red and grey after the reset");
    lastEnd = span.offset + span.length;
    if (span.color == checker::TextColor::Red) ++reds;
  }
  require(reds == lists.ProblemOccurrences.size(), "one occurrence per red span");
  require(lists.ProblemKinds.size() <= lists.ProblemOccurrences.size(), "kinds within occurrences");
  require(record.progressCount == examined, "every examined character shown");

  std::size_t sections = 0;
  for (const checker::ReportSection& section : checker::kReportSections) {
    if (!lists.found(section.stage).empty()) ++sections;
  }
  const std::size_t expectedLines =
      sections * 3 - (lists.FoundGrade1.empty() || sections == 0 ? 0 : 1);
  require(record.reportLines.size() == expectedLines,
          "three report lines per list, two for the last");
  require(record.summary.has_value(), "a summary is shown");
  require((record.summary->kind == checker::MessageKind::Warning) == (reds > 0),
          "warning exactly when there are problems");
}

// Both passes over one Unicode text at a level, with either set of tables: the Unicode pass makes
// the byte pass's calls on the converted text, fills the same lists, and gives each coloured span
// the source range the encoder's map gives its bytes.
template <class Unit>
void checkUnicodePass(const sjis::MeasuredText<Unit>& measured, const sjis::EncodedText& encoded,
                      int level, tables::TableSet set) {
  require(measured.sjisSize() == encoded.text.size(), "the measure gives the converted size");
  testing::TraceView bytes(encoded.text, level);
  testing::SourceTraceView unicode({}, level);
  checker::ResultLists bytesLists, unicodeLists;
  const auto bytesEnd = checker::runCheckWith(bytes, checker::classifierFor(set), bytesLists);
  const auto unicodeEnd = checker::runUnicodeCheckWith(
      unicode, measured, checker::unicodeClassifierFor(set), unicodeLists);
  require(bytesEnd == unicodeEnd, "both passes end alike");
  require(std::equal(bytes.calls.begin() + 1, bytes.calls.end(), unicode.calls.begin(),
                     unicode.calls.end()),
          "the Unicode pass makes the byte pass's calls, text() aside");
  require(bytes.reportLines == unicode.reportLines, "the same report");
  require(bytes.message == unicode.message, "the same summary");
  for (checker::Stage stage :
       {checker::Stage::Grade1, checker::Stage::Grade2, checker::Stage::Grade3,
        checker::Stage::Grade4, checker::Stage::Grade5, checker::Stage::Grade6,
        checker::Stage::JuniorHigh, checker::Stage::Beyond}) {
    require(bytesLists.found(stage).entries() == unicodeLists.found(stage).entries(),
            "the same stage lists");
  }
  require(bytesLists.ProblemKinds.entries() == unicodeLists.ProblemKinds.entries(),
          "the same problem kinds");
  require(bytesLists.ProblemOccurrences.entries() == unicodeLists.ProblemOccurrences.entries(),
          "the same problem occurrences");
  std::size_t start = 0, length = 0, coloured = 0;
  for (std::size_t k = 1; k < bytes.calls.size(); ++k) {
    const std::uint64_t argument = bytes.calls[k] & ((std::uint64_t{1} << 56) - 1);
    switch (testing::TraceView::callOf(bytes.calls[k])) {
      case testing::TraceView::SelectionStart: start = argument; break;
      case testing::TraceView::SelectionLength: length = argument; break;
      case testing::TraceView::SelectionColor:
        require(coloured < unicode.sources.size(), "a source range for every colour change");
        require(unicode.sources[coloured].first == encoded.sourceOf[start] &&
                    unicode.sources[coloured].second == encoded.sourceOf[start + length],
                "the source range the encoder's map gives");
        ++coloured;
        break;
      default: break;
    }
  }
  require(coloured == unicode.sources.size(), "no source range without a colour change");
}

tables::TableSet tablesFor(int level) {
  return level % 2 == 0 ? tables::TableSet::Tables1989 : tables::TableSet::Tables2020;
}

// The box's units as the window reads them: a surrogate pair is one character, a lone surrogate
// U+FFFD; `unitsBefore` gives, for each unit and the end, the index of its character.
std::u32string charactersOf(const std::u16string& units, std::vector<std::uint32_t>& unitsBefore) {
  std::u32string characters;
  const auto surrogate = [](char16_t u, char16_t first) {
    return u >= first && u <= first + 0x3FF;
  };
  for (std::size_t i = 0; i < units.size(); ++i) {
    unitsBefore.push_back(static_cast<std::uint32_t>(characters.size()));
    if (surrogate(units[i], 0xD800) && i + 1 < units.size() && surrogate(units[i + 1], 0xDC00)) {
      characters.push_back(0x10000 + ((units[i] - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      unitsBefore.push_back(unitsBefore.back());
      ++i;
    } else {
      const bool lone = surrogate(units[i], 0xD800) || surrogate(units[i], 0xDC00);
      characters.push_back(lone ? sjis::kReplacementChar : units[i]);
    }
  }
  unitsBefore.push_back(static_cast<std::uint32_t>(characters.size()));
  return characters;
}

void checkUtf16(const std::string& bytes, int level) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                     static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
  }
  std::vector<std::uint32_t> unitsBefore;
  const std::u32string characters = charactersOf(units, unitsBefore);
  const sjis::EncodedText fromUnits = sjis::encodeUtf16(units, sjis::LineBreaks::ToCrLf, true);
  const sjis::EncodedText fromCharacters = sjis::encode(characters, sjis::LineBreaks::ToCrLf, true);
  require(fromUnits.text == fromCharacters.text, "UTF-16 converts as its characters do");
  require(fromUnits.sourceOf.size() == fromCharacters.sourceOf.size(), "maps of one length");
  for (std::size_t i = 0; i < fromUnits.sourceOf.size(); ++i) {
    require(unitsBefore[fromUnits.sourceOf[i]] == fromCharacters.sourceOf[i],
            "the map in units points at the character's first unit");
  }
  checkConversion(characters, fromCharacters);
  checkPass(fromUnits.text, level);
  checkUnicodePass(sjis::measureUtf16(units), fromUnits, level, tablesFor(level));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int level = static_cast<int>(data[0] % 8) - 1;
  const bool utf8 = (data[0] & 0x80) != 0;
  const bool utf16 = (data[0] & 0xC0) == 0xC0;
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  if (!utf8) {
    checkPass(sjis::rawSjis(bytes), level);
    return 0;
  }
  if (utf16) {
    checkUtf16(bytes, level);
    return 0;
  }
  const sjis::Utf8Decoded decoded = sjis::decodeUtf8(bytes);
  // The command line's one-go conversion agrees with decoding and converting.
  sjis::SjisEncoder oneGo(sjis::LineBreaks::ToCrLf);
  require(oneGo.appendUtf8(bytes) == decoded.invalidAt,
          "one-go conversion names the same bad byte");
  if (!decoded.invalidAt) {
    require(std::move(oneGo).finish(0).text ==
                sjis::encode(decoded.text, sjis::LineBreaks::ToCrLf).text,
            "one-go conversion gives the same text");
  }
  const auto measured = sjis::measureUtf8(bytes);
  if (decoded.invalidAt) {
    require(*decoded.invalidAt < bytes.size(), "the bad byte lies inside the input");
    require(std::holds_alternative<sjis::InvalidUtf8>(measured) &&
                std::get<sjis::InvalidUtf8>(measured).offset == *decoded.invalidAt,
            "the measure names the same bad byte");
    return 0;
  }
  require(std::holds_alternative<sjis::MeasuredUtf8>(measured), "the measure finds no bad byte");
  const sjis::EncodedText encoded = sjis::encode(decoded.text, sjis::LineBreaks::ToCrLf, true);
  checkConversion(decoded.text, encoded);
  checkPass(encoded.text, level);
  // The byte map of the UTF-8 conversion, for the source ranges in bytes.
  sjis::SjisEncoder mapped(sjis::LineBreaks::ToCrLf, /*keepSourceMap=*/true);
  mapped.appendUtf8(bytes);
  checkUnicodePass(std::get<sjis::MeasuredUtf8>(measured),
                   std::move(mapped).finish(static_cast<std::uint32_t>(bytes.size())), level,
                   tablesFor(level));
  return 0;
}
