#include "reading/editors_ruby.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "reading/folded_forms.h"
#include "reading/kana.h"

namespace torvane::reading {
namespace {

#include "editors_ruby_table.inc"

// Chosen by measuring on the development set: a reading one author alone gave is as often a name
// or the author's own as the word's; one given by less than half the authors is one reading
// among several; the dictionary's own reading, given by more than a third as many, is as good.
constexpr int kFewestAuthors = 2;
constexpr double kLeastShare = 0.5;
constexpr int kOutnumbered = 3;

// Bases looked up as string views, without a copy per word.
struct BaseHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view base) const {
    return std::hash<std::string_view>()(base);
  }
};
using Table = std::unordered_map<std::string, std::vector<EditorsRuby>, BaseHash, std::equal_to<>>;

const Table& table() {
  static const auto* rows = [] {  // built on first use, kept for the program's life
    auto* byBase = new Table;
    std::string_view text(kEditorsRubyRows, sizeof kEditorsRubyRows - 1);
    while (!text.empty()) {
      const std::size_t end = text.find('\n');
      std::string_view row = text.substr(0, end);
      text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
      std::string_view field[5];
      for (auto& f : field) {
        const std::size_t tab = row.find('\t');
        f = row.substr(0, tab);
        row.remove_prefix(tab == std::string_view::npos ? row.size() : tab + 1);
      }
      EditorsRuby given{field[1], field[2], 0};
      std::from_chars(field[3].data(), field[3].data() + field[3].size(), given.authors);
      // An old form and the new one are one base, as the analyser sees it: 行燈 and 行灯 count
      // together.
      std::vector<EditorsRuby>& known = (*byBase)[inFoldedForms(field[0])];
      auto same = std::find_if(known.begin(), known.end(), [&](const EditorsRuby& g) {
        return g.next == given.next && g.reading == given.reading;
      });
      if (same == known.end()) {
        known.push_back(given);
      } else {
        same->authors += given.authors;
      }
    }
    return byBase;
  }();
  return *rows;
}

// The table's key for okurigana: its first kana, or * for none.
std::string_view nextOf(std::string_view okurigana) {
  return okurigana.empty() ? std::string_view("*")
                           : okurigana.substr(0, utf8CharAt(okurigana, 0).length);
}

// The table's rows for `kanji` before `okurigana` (or none).
std::vector<const EditorsRuby*> givenBefore(std::string_view kanji, std::string_view okurigana) {
  std::vector<const EditorsRuby*> given;
  const auto& rows = table();
  const auto it = rows.find(kanji);
  if (it == rows.end()) return given;
  const std::string_view next = nextOf(okurigana);
  for (const EditorsRuby& g : it->second) {
    if (g.next == next) given.push_back(&g);
  }
  return given;
}

}  // namespace

std::string_view chooseEditorsReading(std::span<const EditorsRuby> given,
                                      std::string_view okurigana, std::string_view current,
                                      int fewestAuthors) {
  const std::string_view next = nextOf(okurigana);
  const EditorsRuby* best = nullptr;
  int total = 0, currentAuthors = 0;
  for (const EditorsRuby& g : given) {
    if (g.next != next) continue;
    total += g.authors;
    if (g.reading == current) currentAuthors = g.authors;
    if (best == nullptr || g.authors > best->authors) best = &g;
  }
  if (best == nullptr || best->authors < std::max(fewestAuthors, kFewestAuthors) ||
      best->authors < kLeastShare * total || currentAuthors * kOutnumbered > best->authors) {
    return {};
  }
  return best->reading;
}

std::string_view editorsReadingOf(std::string_view kanji, std::string_view okurigana,
                                  std::string_view current, int fewestAuthors) {
  const auto& rows = table();
  const auto it = rows.find(kanji);
  return it == rows.end() ? std::string_view()
                          : chooseEditorsReading(it->second, okurigana, current, fewestAuthors);
}

std::vector<std::string_view> editorsChoicesOf(std::string_view kanji, std::string_view okurigana) {
  constexpr int kFewestAuthorsOfAChoice = 3;
  constexpr double kLeastShareOfAChoice = 0.1;
  std::vector<const EditorsRuby*> given = givenBefore(kanji, okurigana);
  int total = 0;
  for (const EditorsRuby* g : given) total += g->authors;
  std::erase_if(given, [&](const EditorsRuby* g) {
    return g->authors < kFewestAuthorsOfAChoice || g->authors < kLeastShareOfAChoice * total;
  });
  std::stable_sort(given.begin(), given.end(), [](const EditorsRuby* a, const EditorsRuby* b) {
    return a->authors > b->authors;
  });
  std::vector<std::string_view> readings;
  for (const EditorsRuby* g : given) readings.push_back(g->reading);
  return readings;
}

std::string_view okuriganaKanaOf(std::string_view following) {
  // After a base these start the next word, as tools/editors_ruby_table.py counts them.
  static constexpr std::u32string_view kParticles = U"のがをにはもとへでやかよね";
  if (following.empty()) return {};
  const Utf8Char c = utf8CharAt(following, 0);
  const bool hiragana = c.value >= U'ぁ' && c.value <= U'ゖ';
  if (!hiragana || kParticles.find(c.value) != std::u32string_view::npos) return {};
  return following.substr(0, c.length);
}

std::string_view editorsOkuriganaReadingOf(std::string_view kanji, std::string_view okurigana) {
  const EditorsRuby* best = nullptr;
  for (const EditorsRuby* g : givenBefore(kanji, okurigana)) {
    if (best == nullptr || g->authors > best->authors) best = g;
  }
  if (best != nullptr) return best->reading;
  // The text spells out a kana their reading ends in (呟やき, where editors read 呟 before い
  // つぶや): the reading less that kana.
  const std::string_view spelt = nextOf(okurigana);
  const auto& rows = table();
  const auto it = rows.find(kanji);
  if (it == rows.end()) return {};
  for (const EditorsRuby& g : it->second) {
    if (g.next != "*" && g.reading.size() > spelt.size() && g.reading.ends_with(spelt) &&
        (best == nullptr || g.authors > best->authors)) {
      best = &g;
    }
  }
  return best == nullptr ? std::string_view()
                         : best->reading.substr(0, best->reading.size() - spelt.size());
}

}  // namespace torvane::reading
