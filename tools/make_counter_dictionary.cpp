// Writes the counted words of the user dictionary (三本 サンボン ...) as rows in the IPA
// dictionary's CSV format, from the counting rules the reading proposals use, to the file named
// on the command line. Compiled into the user dictionary at build time.
#include <cstdio>
#include <fstream>
#include <string>

#include "reading/kana.h"
#include "reading/numbers.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_counter_dictionary OUTPUT.csv\n");
    return 2;
  }
  const std::string path = argv[1];
  const std::string partial = path + ".part";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    // 名詞,副詞可能 (left and right id 1314) with a low cost, so an entry wins over the IPA
    // dictionary's split into a number and a counter.
    for (const auto& [word, reading] : torvane::reading::dictionaryCountedWords()) {
      const std::string katakana = torvane::reading::toKatakana(reading);
      out << word << ",1314,1314,1500,名詞,副詞可能,*,*,*,*," << word << ',' << katakana << ','
          << katakana << '\n';
    }
    if (!out.flush()) {
      std::fprintf(stderr, "make_counter_dictionary: cannot write %s\n", partial.c_str());
      return 1;
    }
  }
  // Written whole or not at all.
  if (std::rename(partial.c_str(), path.c_str()) != 0) {
    std::fprintf(stderr, "make_counter_dictionary: cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}
