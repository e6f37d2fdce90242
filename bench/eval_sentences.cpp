#include "eval_sentences.h"

#include <cstdlib>
#include <fstream>

namespace torvane::bench {

std::string evaluationSentences(std::size_t bytes) {
  std::ifstream in(TORVANE_READING_EVAL "/reading_eval.txt");
  std::string plain, line;
  while (std::getline(in, line)) {
    if (line.empty() || line.starts_with("#")) continue;
    for (std::size_t i = 0; i < line.size();) {
      if (line.compare(i, 3, "｜") == 0) {
        i += 3;
      } else if (line.compare(i, 3, "《") == 0) {
        i = line.find("》", i) + 3;
      } else {
        plain += line[i++];
      }
    }
    plain += '\n';
  }
  if (plain.empty()) std::abort();
  std::string text;
  // Shift_JIS takes about two bytes for every three of UTF-8 in Japanese prose.
  while (text.size() * 2 / 3 < bytes) text += plain;
  return text;
}

}  // namespace torvane::bench
