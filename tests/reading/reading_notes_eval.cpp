// How often the analyser's reading, not the text, makes a reading note: every kanji of an
// evaluation item (a word with the reading its editor gave it) is judged twice, from the word's
// reading as the proposals give it and from the item's own reading. A note only the analyser's
// reading gives is a false note; a note only the item's reading gives, a missed one.
//
//   reading_notes_eval FILE...   (.tsv: half, work, context, at, base, reading; otherwise
//                                 sentences with ｜word《reading》 ruby)
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "checker/colours.h"
#include "reading/kana.h"
#include "reading/reading_notes.h"
#include "reading/ruby_pieces.h"
#include "sjis/codec.h"
#include "support/reading_fixture.h"

namespace {

using namespace torvane;

struct Item {
  std::string sentence;
  std::size_t at = 0;  // characters of the sentence before the base
  std::string base;
  std::string reading;
};

std::size_t characters(std::string_view utf8) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < utf8.size(); i += reading::utf8CharAt(utf8, i).length) ++n;
  return n;
}

std::vector<std::string> split(const std::string& line, char by) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  for (std::string field; std::getline(in, field, by);) fields.push_back(field);
  return fields;
}

// One sentence: the items of its ruby, the sentence with the ruby taken out.
std::vector<Item> rubyItems(const std::string& line) {
  std::vector<Item> items;
  std::string sentence;
  std::vector<std::pair<std::size_t, std::pair<std::string, std::string>>> found;
  for (std::size_t i = 0; i < line.size();) {
    if (line.compare(i, 3, "｜") == 0) {
      const std::size_t open = line.find("《", i);
      const std::size_t close = line.find("》", open);
      if (open == std::string::npos || close == std::string::npos) break;
      const std::string base = line.substr(i + 3, open - i - 3);
      found.push_back({characters(sentence), {base, line.substr(open + 3, close - open - 3)}});
      sentence += base;
      i = close + 3;
    } else {
      sentence.push_back(line[i++]);
    }
  }
  for (const auto& [at, ruby] : found) items.push_back({sentence, at, ruby.first, ruby.second});
  return items;
}

std::vector<Item> readItems(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::vector<Item> items;
  const bool tsv = path.ends_with(".tsv");
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    if (tsv) {
      const std::vector<std::string> f = split(line, '\t');
      if (f.size() < 6 || f[0] == "half") continue;
      items.push_back({f[2], std::stoul(f[3]), f[4], f[5]});
    } else {
      for (Item& item : rubyItems(line)) items.push_back(std::move(item));
    }
  }
  return items;
}

std::size_t sjisBytes(std::string_view utf8, std::size_t chars) {
  std::size_t i = 0;
  for (std::size_t n = 0; n < chars && i < utf8.size(); ++n)
    i += reading::utf8CharAt(utf8, i).length;
  sjis::SjisEncoder encoder(sjis::LineBreaks::ToCrLf);
  encoder.appendUtf8(utf8.substr(0, i));
  return std::move(encoder).finish(0).text.size();
}

struct Tally {
  std::size_t judged = 0;  // kanji of the items the check let pass
  std::size_t both = 0;    // noted from either reading
  std::size_t falseNotes = 0;
  std::size_t missed = 0;
  std::size_t agreeing = 0;  // noted on a word read as the item reads it, the item undivided
  std::map<std::string, std::size_t> falseByWord;
};

void evaluate(const std::vector<Item>& items, int level, Tally& tally) {
  struct Read {
    std::vector<reading::Proposal> words;
    std::vector<reading::ReadingNote> notes;
  };
  std::map<std::string, Read> bySentence;
  for (const Item& item : items) {
    const testing::Checked checked(item.sentence, level);
    const sjis::SjisText& text = checked.converted.text;
    const std::size_t offset = sjisBytes(item.sentence, item.at);
    const std::size_t length = sjisBytes(item.sentence, item.at + characters(item.base)) - offset;
    auto [cached, added] = bySentence.try_emplace(item.sentence);
    if (added) {
      cached->second.words =
          reading::propose(testing::testAnalyzer(), checked.view(), testing::testClassifier(),
                           reading::ProposalScope::EveryKanjiWord);
      cached->second.notes = reading::readingNotes(checked.view(), cached->second.words, level);
    }
    const std::vector<checker::TextColor> colours =
        reading::coloursByByte(checked.spans, text.size());
    const std::string gold = reading::toHiragana(item.reading);
    const auto pieces = reading::alignRuby(reading::wordChars(text, offset, length), gold, offset);
    const auto expected =
        reading::judgeWord(text, offset, length, pieces, level,
                           [&](std::size_t at) { return colours[at] != checker::TextColor::Red; });
    sjis::forEachChar(sjis::slice(text, offset, length), [&](std::size_t at,
                                                             const sjis::SjisChar& c) {
      const std::size_t byte = offset + at;
      const char32_t value = sjis::Cp932::get().decode(c);
      if (!reading::isKanji(value) || value == U'々' || colours[byte] == checker::TextColor::Red)
        return;
      ++tally.judged;
      auto noteAt = [byte](const std::vector<reading::ReadingNote>& notes) {
        const reading::ReadingNote* found = nullptr;
        for (const auto& n : notes)
          if (n.offset == byte) found = &n;
        return found;
      };
      const reading::ReadingNote* analysers = noteAt(cached->second.notes);
      const bool fromAnalyser = analysers != nullptr;
      const bool fromItem = noteAt(expected) != nullptr;
      if (fromAnalyser && fromItem) ++tally.both;
      // The item's reading divides no further than its word (侍女達 じじょたち): a note on a word
      // of the analyser inside it that reads as the item does (達 たち) is the text's, not a
      // false one.
      auto readsAsTheItem = [&](const reading::ReadingNote& n) {
        for (const reading::Proposal& w : cached->second.words) {
          if (w.offset != n.wordOffset || w.reading.empty()) continue;
          if (w.offset < offset || w.offset + w.length > offset + length) return false;
          if (w.offset == offset) return gold.starts_with(w.reading);
          if (w.offset + w.length == offset + length) return gold.ends_with(w.reading);
          return gold.find(w.reading) != std::string::npos;
        }
        return false;
      };
      if (fromAnalyser && !fromItem && readsAsTheItem(*analysers)) {
        ++tally.agreeing;
      } else if (fromAnalyser && !fromItem) {
        ++tally.falseNotes;
        ++tally.falseByWord[item.base + " " + gold + " | noted " + sjis::toUtf8(c) +
                            analysers->reading + " " +
                            std::string(reading::noteStageKey(analysers->stage)) + " in " +
                            sjis::toUtf8(
                                sjis::slice(text, analysers->wordOffset, analysers->wordLength))];
      }
      if (!fromAnalyser && fromItem) ++tally.missed;
      if (std::getenv("TORVANE_EVAL_VERBOSE") != nullptr && fromItem) {
        const reading::ReadingNote* n = noteAt(expected);
        std::printf("  item note: %s %s | %s%s %s%s\n", item.base.c_str(), gold.c_str(),
                    sjis::toUtf8(c).c_str(), n->reading.c_str(),
                    std::string(reading::noteStageKey(n->stage)).c_str(),
                    fromAnalyser ? "" : " (missed)");
      }
    });
  }
}

}  // namespace

int main(int argc, char** argv) {
  try {
    for (int a = 1; a < argc; ++a) {
      const std::vector<Item> items = readItems(argv[a]);
      for (const int level : {5, 6}) {
        Tally t;
        evaluate(items, level, t);
        std::printf(
            "%s level %d: %zu items, %zu kanji judged; notes from both readings %zu, from the "
            "analyser's alone on a word read as the item %zu, false notes %zu (%.2f%% of judged "
            "kanji), missed %zu\n",
            argv[a], level, items.size(), t.judged, t.both, t.agreeing, t.falseNotes,
            t.judged ? 100.0 * static_cast<double>(t.falseNotes) / static_cast<double>(t.judged)
                     : 0.0,
            t.missed);
        std::size_t shown = 0;
        for (const auto& [word, count] : t.falseByWord) {
          if (shown++ < 40) std::printf("  false: %s (%zu)\n", word.c_str(), count);
        }
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "reading_notes_eval: %s\n", e.what());
    return 2;
  }
  return 0;
}
