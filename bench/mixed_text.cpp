#include "mixed_text.h"

#include <algorithm>
#include <random>
#include <string_view>
#include <vector>

#include "checker/classify.h"

namespace torvane::bench {
namespace {

// The two- or one-byte characters of a class string, without its CR LF separators.
std::vector<std::string> charactersOf(std::string_view classString, std::size_t width) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i + width <= classString.size();) {
    if (classString[i] == '\r' || classString[i] == '\n') {
      ++i;
      continue;
    }
    out.emplace_back(classString.substr(i, width));
    i += width;
  }
  return out;
}

}  // namespace

std::string mixedSjisText(const tables::ClassStrings& s, std::size_t bytes, Spread spread,
                          unsigned seed) {
  const checker::Classifier classifier(s);
  std::vector<std::string> beyond;  // kanji of the code page that no table holds
  for (unsigned code = 0x889F; code < 0x9FFC && beyond.size() < 2000; ++code) {
    const auto c = sjis::SjisChar::pair(code >> 8, code & 0xFF);
    if ((code & 0xFF) >= 0x40 && classifier.classOf(c) == checker::CharClass::Unlisted) {
      beyond.push_back({static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)});
    }
  }
  struct Pool {
    std::vector<std::string> characters;
    int weight;
  };
  std::vector<Pool> pools = {
      {charactersOf(s.HiraganaChars, 2), 380},
      {charactersOf(s.KatakanaChars, 2), 90},
      {charactersOf(s.GradeChars1, 2), 60},
      {charactersOf(s.GradeChars2, 2), 50},
      {charactersOf(s.GradeChars3, 2), 40},
      {charactersOf(s.GradeChars4, 2), 35},
      {charactersOf(s.GradeChars5, 2), 30},
      {charactersOf(s.GradeChars6, 2), 25},
      {charactersOf(s.JuniorHighChars, 2), 40},
      {beyond, 10},
      {charactersOf(s.WideLatinChars, 2), 15},
      {charactersOf(s.NarrowLatinChars, 1), 60},
      {charactersOf(s.DigitChars, 1), 40},
      {charactersOf(s.NarrowKanaChars, 1), 15},
      {charactersOf(s.SymbolChars, 2), 30},
      {{" ", "\x81\x40"}, 30},
      {{"\r\n"}, 25},
  };
  std::vector<int> weights;
  for (const Pool& pool : pools) weights.push_back(pool.weight);
  std::mt19937 random(seed);
  std::discrete_distribution<std::size_t> pickPool(weights.begin(), weights.end());
  // Within a pool, characters are drawn with Zipf's law (the k-th most common one with weight
  // 1/k) over a shuffled order, as characters are used in real text; Uniform draws them evenly.
  std::vector<std::discrete_distribution<std::size_t>> pickCharacter;
  for (Pool& pool : pools) {
    std::shuffle(pool.characters.begin(), pool.characters.end(), random);
    std::vector<double> frequency;
    for (std::size_t k = 0; k < pool.characters.size(); ++k) {
      frequency.push_back(spread == Spread::Zipf ? 1.0 / static_cast<double>(k + 1) : 1.0);
    }
    pickCharacter.emplace_back(frequency.begin(), frequency.end());
  }
  // Prose comes in runs: a word of kanji, its kana ending, a number, a Latin word.
  std::geometric_distribution<int> extraInRun(0.5);
  std::string text;
  text.reserve(bytes + 16);
  while (text.size() < bytes) {
    const std::size_t p = pickPool(random);
    const int run = 1 + std::min(extraInRun(random), 5);
    for (int i = 0; i < run; ++i) text += pools[p].characters[pickCharacter[p](random)];
  }
  text.resize(bytes);
  return text;
}

}  // namespace torvane::bench
