// The check pass over a generated mixed text with a view that only counts, with the lookup
// tables and with the literal class-string searches side by side, and with either set of tables;
// and the pass over the same kind of text as UTF-8 and as UTF-16, classified from code points.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "checker/allowed_words.h"
#include "checker/check_pass_template.h"
#include "checker/table_sets.h"
#include "checker/unicode_pass.h"
#include "mixed_text.h"
#include "sjis/codec.h"
#include "sjis/unicode_forms.h"
#include "support/literal_classifier.h"

namespace {

using namespace torvane;

// Counts what the pass asks of the window, so the work cannot be optimised away. Each kind of
// call has its own counter: one shared counter would chain every call through one memory slot.
class CountingView final : public checker::CheckView {
 public:
  explicit CountingView(const sjis::SjisText& text) : text_(text) {}
  std::size_t total() const { return events_ + progress_ + levels_ + spans_ + spanBytes_ + lines_; }
  std::size_t examined() const { return progress_; }

  const sjis::SjisText& text() override { return text_; }
  void setSelectionStart(std::size_t) override {}
  void setSelectionLength(std::size_t length) override { spanBytes_ += length; }
  void setSelectionColor(checker::TextColor) override { ++spans_; }
  void beginTextUpdate() override {}
  void endTextUpdate() override {}
  void beginReportUpdate() override {}
  void endReportUpdate() override {}
  void clearReport() override {}
  bool addReportLine(const sjis::SjisText&) override {
    ++lines_;
    return true;
  }
  int levelIndex() override {
    ++levels_;
    return 2;
  }
  void showProgress(const sjis::SjisChar&) override { ++progress_; }
  void setProgressVisible(bool) override {}
  bool processPendingEvents() override {
    ++events_;
    return true;
  }
  void showMessage(const checker::Message&) override {}

 private:
  const sjis::SjisText& text_;
  std::size_t events_ = 0, progress_ = 0, levels_ = 0, spans_ = 0, spanBytes_ = 0, lines_ = 0;
};

// TORVANE_BENCH_SMALL shrinks the texts for the smoke run in the test suite.
std::size_t textBytes(std::size_t full) {
  return std::getenv("TORVANE_BENCH_SMALL") != nullptr ? 64 * 1024 : full;
}

const tables::ClassStrings& classStrings(tables::TableSet set = tables::TableSet::Tables1989) {
  static const tables::ClassStrings strings1989 = tables::loadClassStrings();
  static const tables::ClassStrings strings2020 =
      tables::loadClassStrings(tables::TableSet::Tables2020);
  return set == tables::TableSet::Tables2020 ? strings2020 : strings1989;
}

enum class Dispatch { Direct, Virtual };

// The text is drawn from the built-in tables whatever the set, so the sets are timed on one text.
template <class Classifier>
void runPass(benchmark::State& state, std::size_t bytes, bench::Spread spread = bench::Spread::Zipf,
             Dispatch dispatch = Dispatch::Direct,
             tables::TableSet set = tables::TableSet::Tables1989) {
  const sjis::SjisText text = sjis::rawSjis(bench::mixedSjisText(classStrings(), bytes, spread));
  const Classifier classifier(classStrings(set));
  checker::ResultLists lists;
  for (auto _ : state) {
    CountingView view(text);
    if (dispatch == Dispatch::Direct) {
      checker::runCheckWith(view, classifier, lists);
    } else {
      using checker::runCheck;  // the literal classifier's overload is found beside its class
      runCheck(static_cast<checker::CheckView&>(view), classifier, lists);
    }
    benchmark::DoNotOptimize(view.total());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["problems"] = static_cast<double>(lists.ProblemOccurrences.size());
}

void BM_CheckPassLookup(benchmark::State& state) {
  runPass<checker::Classifier>(state, textBytes(10 << 20));
}

// The same text judged by the 2020 tables.
void BM_CheckPassLookup2020(benchmark::State& state) {
  runPass<checker::Classifier>(state, textBytes(10 << 20), bench::Spread::Zipf, Dispatch::Direct,
                               tables::TableSet::Tables2020);
}

// Building a set's class strings and lookup tables, done once for each set at start-up.
void BM_BuildClassifier(benchmark::State& state) {
  const auto set =
      state.range(0) == 2020 ? tables::TableSet::Tables2020 : tables::TableSet::Tables1989;
  for (auto _ : state) {
    const checker::Classifier classifier(tables::loadClassStrings(set));
    benchmark::DoNotOptimize(&classifier);
  }
}

// Choosing a set once both are built: the window's menu choice.
void BM_ChooseTableSet(benchmark::State& state) {
  checker::classifierFor(tables::TableSet::Tables1989);
  checker::classifierFor(tables::TableSet::Tables2020);
  bool newer = false;
  for (auto _ : state) {
    newer = !newer;
    benchmark::DoNotOptimize(&checker::classifierFor(newer ? tables::TableSet::Tables2020
                                                           : tables::TableSet::Tables1989));
  }
}

// Every character of a pool equally often: more cache misses than real text.
void BM_CheckPassLookupUniform(benchmark::State& state) {
  runPass<checker::Classifier>(state, textBytes(10 << 20), bench::Spread::Uniform);
}

// Through the CheckView interface, as the window calls it: a dispatch per call on the view.
void BM_CheckPassLookupVirtual(benchmark::State& state) {
  runPass<checker::Classifier>(state, textBytes(10 << 20), bench::Spread::Zipf, Dispatch::Virtual);
}

// The literal searches cost so much per character that a 1 MB text gives a steady figure.
void BM_CheckPassLiteral(benchmark::State& state) {
  runPass<testing::LiteralClassifier>(state, textBytes(1 << 20));
}

// The mixed text as Unicode, cut to `bytes` bytes of UTF-8 (at a character boundary).
std::u32string mixedUnicodeText(std::size_t utf8Bytes) {
  // Japanese prose takes about 1.5 times as many bytes in UTF-8 as in Shift_JIS.
  const sjis::SjisText sjisText =
      sjis::rawSjis(bench::mixedSjisText(classStrings(), utf8Bytes * 3 / 4));
  std::u32string text;
  std::string utf8;
  sjis::forEachChar(sjisText, [&](std::size_t, const sjis::SjisChar& c) {
    const char32_t character = sjis::Cp932::get().decode(c);
    const std::size_t before = utf8.size();
    sjis::appendUtf8(utf8, character);
    if (utf8.size() > utf8Bytes) {
      utf8.resize(before);
      return;
    }
    if (utf8.size() > before) text.push_back(character);
  });
  return text;
}

const std::string& mixedUtf8(std::size_t bytes) {
  static const std::string utf8 = [bytes] {
    std::string out;
    for (char32_t c : mixedUnicodeText(bytes)) sjis::appendUtf8(out, c);
    return out;
  }();
  return utf8;
}

// 10 MB of UTF-16: the window's box holds its text so.
const std::u16string& mixedUtf16(std::size_t bytes) {
  static const std::u16string utf16 = [bytes] {
    std::u16string out;
    for (char32_t c : mixedUnicodeText(bytes * 2)) {
      if (c >= 0x10000) {
        out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
      } else {
        out.push_back(static_cast<char16_t>(c));
      }
      if (out.size() * 2 >= bytes) break;
    }
    return out;
  }();
  return utf16;
}

// The input's bytes per second; the rate in bytes of the Shift_JIS form as a counter, to set
// beside the byte pass.
template <class Unit>
void reportRates(benchmark::State& state, const sjis::MeasuredText<Unit>& text,
                 const checker::ResultLists& lists, std::size_t examined) {
  state.counters["examined"] = static_cast<double>(examined);
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * text.units().size() * sizeof(Unit)));
  state.counters["sjis_bytes_per_second"] = benchmark::Counter(
      static_cast<double>(state.iterations() * text.sjisSize()), benchmark::Counter::kIsRate);
  state.counters["problems"] = static_cast<double>(lists.ProblemOccurrences.size());
}

// A check of UTF-8 text as the command line makes it: the measure (which finds any bad byte
// first), then the pass.
void BM_UnicodePassUtf8(benchmark::State& state) {
  const std::string& utf8 = mixedUtf8(textBytes(10 << 20));
  const checker::UnicodeClassifier& classifier =
      checker::unicodeClassifierFor(tables::TableSet::Tables1989);
  const sjis::SjisText none;
  checker::ResultLists lists;
  std::size_t examined = 0;
  for (auto _ : state) {
    const auto text = std::get<sjis::MeasuredUtf8>(sjis::measureUtf8(utf8));
    CountingView view(none);
    checker::runUnicodeCheckWith(view, text, classifier, lists);
    benchmark::DoNotOptimize(view.total());
    examined = view.examined();
  }
  reportRates(state, std::get<sjis::MeasuredUtf8>(sjis::measureUtf8(utf8)), lists, examined);
}

void BM_UnicodePassUtf16(benchmark::State& state) {
  const std::u16string& utf16 = mixedUtf16(textBytes(10 << 20));
  const checker::UnicodeClassifier& classifier =
      checker::unicodeClassifierFor(tables::TableSet::Tables1989);
  const sjis::SjisText none;
  checker::ResultLists lists;
  std::size_t examined = 0;
  for (auto _ : state) {
    const sjis::MeasuredUtf16 text = sjis::measureUtf16(utf16);
    CountingView view(none);
    checker::runUnicodeCheckWith(view, text, classifier, lists);
    benchmark::DoNotOptimize(view.total());
    examined = view.examined();
  }
  reportRates(state, sjis::measureUtf16(utf16), lists, examined);
}

// The measure alone: its share of the UTF-8 check.
void BM_MeasureUtf8(benchmark::State& state) {
  const std::string& utf8 = mixedUtf8(textBytes(10 << 20));
  for (auto _ : state) {
    const auto text = sjis::measureUtf8(utf8);
    benchmark::DoNotOptimize(std::get<sjis::MeasuredUtf8>(text).sjisSize());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * utf8.size()));
}

// The measure of the window's box: it runs before the first call on the view, so it is all the
// event loop waits for at the start of a check.
void BM_MeasureUtf16(benchmark::State& state) {
  const std::u16string& utf16 = mixedUtf16(textBytes(10 << 20));
  for (auto _ : state) benchmark::DoNotOptimize(sjis::measureUtf16(utf16).sjisSize());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * utf16.size() * 2));
}

// Converting, then the byte pass: what the Unicode path replaces.
void BM_ConvertThenPassUtf8(benchmark::State& state) {
  const std::string& utf8 = mixedUtf8(textBytes(10 << 20));
  const checker::Classifier& classifier = checker::classifierFor(tables::TableSet::Tables1989);
  checker::ResultLists lists;
  for (auto _ : state) {
    sjis::SjisEncoder encoder(sjis::LineBreaks::ToCrLf);
    encoder.reserve(utf8.size());
    encoder.appendUtf8(utf8);
    const sjis::SjisText text = std::move(encoder).finish(0).text;
    CountingView view(text);
    checker::runCheckWith(view, classifier, lists);
    benchmark::DoNotOptimize(view.total());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * utf8.size()));
}

// A class's settings at the size the automaton is built for: 1,000 known kanji (every second
// kanji of the grade and junior-high tables) and 10,000 allowed words of two to four characters.
// Names: words of kanji from the tables, as place names and terms are; the text holds their
// first kanji everywhere and a whole word now and then. Places: words cut from places of the
// text, so that about a third of it lies in one, far more than a class's list could cover.
enum class Words { Names, Places };

struct BenchSettings {
  std::vector<char32_t> known;
  std::vector<std::string> allowed;
};

std::vector<char32_t> tableKanji() {
  std::vector<char32_t> out;
  const sjis::Cp932& codePage = sjis::Cp932::get();
  const tables::ClassStrings& s = classStrings();
  for (const std::string* kanji : {&s.GradeChars1, &s.GradeChars2, &s.GradeChars3, &s.GradeChars4,
                                   &s.GradeChars5, &s.GradeChars6, &s.JuniorHighChars}) {
    sjis::forEachChar(sjis::rawSjis(*kanji), [&](std::size_t, const sjis::SjisChar& c) {
      if (c.length() == 2) out.push_back(codePage.decode(c));
    });
  }
  return out;
}

BenchSettings makeSettings(const sjis::SjisText& text, Words kind) {
  BenchSettings out;
  const std::vector<char32_t> kanji = tableKanji();
  for (std::size_t i = 0; i < kanji.size() && out.known.size() < 1000; i += 2) {
    out.known.push_back(kanji[i]);
  }
  std::ranges::sort(out.known);
  std::vector<std::size_t> starts;
  sjis::forEachChar(text,
                    [&](std::size_t offset, const sjis::SjisChar&) { starts.push_back(offset); });
  std::mt19937 random(1026);
  std::uniform_int_distribution<std::size_t> place(0, starts.size() - 5), length(2, 4),
      anyKanji(0, kanji.size() - 1);
  std::set<std::string> seen;
  while (out.allowed.size() < 10000) {
    std::string word;
    if (kind == Words::Names) {
      for (std::size_t k = length(random); k > 0; --k)
        sjis::appendUtf8(word, kanji[anyKanji(random)]);
    } else {
      const std::size_t first = place(random);
      const std::size_t last = first + length(random);
      word = sjis::toUtf8(sjis::slice(text, starts[first], starts[last] - starts[first]));
    }
    if (word.find_first_of("\r\n") == std::string::npos && seen.insert(word).second) {
      out.allowed.push_back(word);
    }
  }
  return out;
}

const BenchSettings& benchSettings(const sjis::SjisText& text, Words kind = Words::Names) {
  static const BenchSettings names = makeSettings(text, Words::Names);
  static const BenchSettings places = makeSettings(text, Words::Places);
  return kind == Words::Names ? names : places;
}

// The plain pass's text checked with those settings: the pass through the classifier that knows
// the kanji and finds the words as it goes. Set beside BM_CheckPassLookup; with known:0 the words
// alone, for the cost of finding them on its own (the known kanji leave fewer problems to record).
void BM_CheckPassClassSettings(benchmark::State& state) {
  const sjis::SjisText text =
      sjis::rawSjis(bench::mixedSjisText(classStrings(), textBytes(10 << 20)));
  const BenchSettings& settings = benchSettings(text, static_cast<Words>(state.range(0)));
  const checker::Classifier known = checker::Classifier(classStrings())
                                       .withKnown(state.range(1) != 0 ? settings.known
                                                                      : std::vector<char32_t>{});
  const checker::AllowedWords words(settings.allowed);
  checker::ResultLists lists;
  std::size_t covered = 0;
  for (auto _ : state) {
    CountingView view(text);
    const checker::AllowingClassifier<checker::Classifier> allowing(known, words);
    checker::runCheckWith(view, allowing, lists);
    benchmark::DoNotOptimize(view.total());
    covered = 0;
    for (const checker::AllowedOccurrence& o : allowing.occurrences()) covered += o.length;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["problems"] = static_cast<double>(lists.ProblemOccurrences.size());
  state.counters["allowed_share"] = static_cast<double>(covered) / static_cast<double>(text.size());
}

// Finding the words alone, as a text's occurrences are listed without a check.
void BM_FindAllowedWords(benchmark::State& state) {
  const sjis::SjisText text =
      sjis::rawSjis(bench::mixedSjisText(classStrings(), textBytes(10 << 20)));
  const checker::AllowedWords words(
      benchSettings(text, static_cast<Words>(state.range(0))).allowed);
  for (auto _ : state) benchmark::DoNotOptimize(words.find(text).size());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// What choosing the settings costs before a check: the classifier with the known kanji, its
// Unicode table, and the automaton of the words.
void BM_BuildClassSettings(benchmark::State& state) {
  const sjis::SjisText text =
      sjis::rawSjis(bench::mixedSjisText(classStrings(), textBytes(10 << 20)));
  const BenchSettings& settings = benchSettings(text);
  const checker::Classifier& plain = checker::classifierFor(tables::TableSet::Tables1989);
  for (auto _ : state) {
    const checker::Classifier known = plain.withKnown(settings.known);
    const checker::UnicodeClassifier unicode(known);
    const checker::AllowedWords words(settings.allowed);
    benchmark::DoNotOptimize(&unicode);
    benchmark::DoNotOptimize(words.empty());
  }
}

BENCHMARK(BM_CheckPassLookup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckPassClassSettings)
    ->ArgNames({"places", "known"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAllowedWords)->ArgName("places")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildClassSettings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnicodePassUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnicodePassUtf16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeasureUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeasureUtf16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertThenPassUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckPassLookup2020)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildClassifier)->Arg(1989)->Arg(2020)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChooseTableSet);
BENCHMARK(BM_CheckPassLookupUniform)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckPassLookupVirtual)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckPassLiteral)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
