// Writes the listed words of the user dictionary: the nouns, na-adjectives and adverbs of EDICT
// (JMdict, Debian package edict, EUC-JP) that hold a kanji, each with its reading and whether EDICT
// marks it common
// ("(P)"), as rows in the IPA dictionary's CSV format with a tenth field, "P" or "-". Compiled into
// the user dictionary at build time.
//
//   make_word_dictionary EDICT OUTPUT.csv
#include <iconv.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "reading/kana.h"

namespace {

using namespace torvane::reading;

std::string fromEucJp(iconv_t cd, const std::string& line) {
  std::string out(line.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(line.data());
  std::size_t inLeft = line.size();
  char* to = out.data();
  std::size_t outLeft = out.size();
  if (iconv(cd, &in, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1)) return {};
  out.resize(out.size() - outLeft);
  return out;
}

bool hasKanji(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Char c = utf8CharAt(utf8, i);
    if (isKanji(c.value)) return true;
    i += c.length;
  }
  return false;
}

bool isNumeral(std::string_view utf8) {
  constexpr std::u32string_view kNumerals = U"〇一二三四五六七八九十百千万";
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Char c = utf8CharAt(utf8, i);
    if (kNumerals.find(c.value) == std::u32string_view::npos) return false;
    i += c.length;
  }
  return true;
}

std::size_t characters(std::string_view utf8) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < utf8.size(); ++n) i += utf8CharAt(utf8, i).length;
  return n;
}

// Whether the tags before the first gloss ("(n,adj-no)", "(gikun) (n)", "(adj-na) (1)") make a
// word the proposals read whole: a noun, a na- or no-adjective, an adverb.
bool isWord(std::string_view senses) {
  while (senses.starts_with('(')) {
    const std::size_t end = senses.find(')');
    if (end == std::string_view::npos) return false;
    const std::string_view tags = senses.substr(1, end - 1);
    std::size_t start = 0;
    while (start <= tags.size()) {
      std::size_t comma = tags.find(',', start);
      if (comma == std::string_view::npos) comma = tags.size();
      const std::string_view tag = tags.substr(start, comma - start);
      if (tag == "n" || tag == "n-adv" || tag == "n-t" || tag == "n-suf" || tag == "pn" ||
          tag == "adj-na" || tag == "adj-no" || tag == "adv") {
        return true;
      }
      start = comma + 1;
    }
    senses.remove_prefix(end + 1);
    while (senses.starts_with(' ')) senses.remove_prefix(1);
  }
  return false;
}

// High enough that the analyser's own words and cuts win wherever it has them, low enough that a
// listed word wins over cutting an unknown compound (蒙古, 興安嶺) in pieces; chosen by measuring.
constexpr int kCost = 12000;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_word_dictionary EDICT OUTPUT.csv\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "make_word_dictionary: cannot read %s (Debian package edict)\n", argv[1]);
    return 1;
  }
  const iconv_t cd = iconv_open("UTF-8", "EUC-JP");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    std::fprintf(stderr, "make_word_dictionary: no EUC-JP converter\n");
    return 1;
  }
  // (surface, reading) -> common; EDICT lists a word once per reading and sense group.
  std::map<std::pair<std::string, std::string>, bool> words;
  std::string raw;
  while (std::getline(in, raw)) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const std::string line = fromEucJp(cd, raw);
    // 漢字 [かな] /(n) gloss/.../(P)/
    const std::size_t space = line.find(" [");
    const std::size_t close = line.find("] /", space == std::string::npos ? 0 : space);
    if (space == std::string::npos || close == std::string::npos) continue;
    const std::string surface = line.substr(0, space);
    const std::string reading = line.substr(space + 2, close - space - 2);
    const std::string_view senses = std::string_view(line).substr(close + 3);
    if (!hasKanji(surface) || characters(surface) > 12 || !isAllKana(reading)) continue;
    if (surface.find(',') != std::string::npos || !isWord(senses)) continue;
    // Numbers are the counting rules' to read (EDICT's one noun 一 is いっち).
    if (isNumeral(surface)) continue;
    // A phrase with a particle (森の奥, 虎の子) would take the place of its words in a sentence.
    if (surface.find("の") != std::string::npos || surface.find("が") != std::string::npos ||
        surface.find("ノ") != std::string::npos) {
      continue;
    }
    // Old or irregular kana are no help to a teacher; okurigana left out (顔付, 生捕) and
    // irregular kanji are what older children's texts print.
    const std::string_view firstSense = senses.substr(0, senses.find('/'));
    if (firstSense.find("(ok)") != std::string_view::npos ||
        firstSense.find("(ik)") != std::string_view::npos) {
      continue;
    }
    const bool common = senses.find("/(P)/") != std::string_view::npos;
    bool& listed = words[{surface, toHiragana(reading)}];
    listed = listed || common;
  }
  iconv_close(cd);

  const std::string path = argv[2];
  const std::string partial = path + ".part";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    for (const auto& [key, common] : words) {
      const std::string katakana = toKatakana(key.second);
      out << key.first << ",1285,1285," << kCost << ",名詞,一般,*,*,*,*," << key.first << ','
          << katakana << ',' << katakana << ',' << (common ? 'P' : '-') << '\n';
    }
    if (!out.flush()) {
      std::fprintf(stderr, "make_word_dictionary: cannot write %s\n", partial.c_str());
      return 1;
    }
  }
  // Written whole or not at all.
  if (std::rename(partial.c_str(), path.c_str()) != 0) {
    std::fprintf(stderr, "make_word_dictionary: cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}
