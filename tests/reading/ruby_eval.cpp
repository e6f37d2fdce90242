// ruby_eval: how often the reading proposals give the reading editors gave as ruby.
//
//   ruby_eval [--half tune|report|all] [--failures] [--at-least COMPOUND,OKURIGANA,EXACT] TSV
//
// Every context of the half is checked at level -1 (every kanji red) with proposals, as
// `torvane-check --json --suggest --level -1` would check it, and each item is looked up in the
// proposal that covers its base. Three scores, each the share of items where:
//   compound   the covering word gives the base's reading within its own (料理人 りょうりにん
//              for 料理), kana around the base read as they are;
//   okurigana  the word is the base with kana only around it (お詣り, 香り), read as the base's
//              reading with those kana;
//   exact      the word is the base and its reading is the ruby.
// With --at-least, exits 1 when a score is below its floor (in per cent).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "reading/kana.h"
#include "request/run.h"

namespace {

using namespace torvane;

struct Item {
  std::string half, work, context, base, reading;
  std::size_t at = 0;  // characters into the context
};

std::vector<std::string> splitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

std::vector<Item> readItems(const char* path, std::string_view half) {
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "ruby_eval: cannot read %s\n", path);
    std::exit(2);
  }
  std::vector<Item> items;
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (header) {  // the column names
      header = false;
      continue;
    }
    const std::vector<std::string> f = splitTabs(line);
    if (f.size() != 6) {
      std::fprintf(stderr, "ruby_eval: a row without six fields: %s\n", line.c_str());
      std::exit(2);
    }
    if (half != "all" && f[0] != half) continue;
    items.push_back({f[0], f[1], f[2], f[4], reading::toHiragana(f[5]), std::stoul(f[3])});
  }
  return items;
}

// The byte offset of character `at` in `utf8`.
std::size_t byteOfChar(std::string_view utf8, std::size_t at) {
  std::size_t i = 0;
  for (; at > 0 && i < utf8.size(); --at) i += reading::utf8CharAt(utf8, i).length;
  return i;
}

struct Found {
  std::size_t begin = 0, end = 0;  // bytes of the UTF-8 text the request checked
  std::string word, reading;
};

struct Verdict {
  bool compound = false, okurigana = false, exact = false;
};

// Kana only, or nothing.
bool kanaOrEmpty(std::string_view utf8) {
  return utf8.empty() || reading::isAllKana(utf8);
}

// Whether `reading` is `prefixKana` + `base` + `suffixKana` read, where a side that holds a
// kanji must take some of the reading and a side of kana reads as it is.
bool readsWithin(std::string_view reading, std::string_view prefix, std::string_view base,
                 std::string_view suffix) {
  const bool beforeFixed = kanaOrEmpty(prefix), afterFixed = kanaOrEmpty(suffix);
  const std::string before = beforeFixed ? reading::toHiragana(prefix) : "";
  const std::string after = afterFixed ? reading::toHiragana(suffix) : "";
  for (std::size_t at = reading.find(base); at != std::string_view::npos;
       at = reading.find(base, at + 1)) {
    const std::string_view head = reading.substr(0, at);
    const std::string_view tail = reading.substr(at + base.size());
    const bool headFits = beforeFixed ? head == before : !head.empty();
    const bool tailFits = afterFixed ? tail == after : !tail.empty();
    if (headFits && tailFits) return true;
  }
  return false;
}

Verdict judge(const Item& item, const Found* found, std::string_view context,
              std::size_t contextStart) {
  Verdict v;
  if (found == nullptr || found->reading.empty()) return v;
  const std::size_t baseAt = contextStart + byteOfChar(context, item.at);
  const std::string_view word = found->word;
  const std::size_t into = baseAt - found->begin;
  const std::string_view prefix = word.substr(0, into);
  const std::string_view suffix = word.substr(into + item.base.size());
  v.compound = readsWithin(found->reading, prefix, item.reading, suffix);
  v.okurigana = v.compound && kanaOrEmpty(prefix) && kanaOrEmpty(suffix);
  v.exact = v.okurigana && prefix.empty() && suffix.empty();
  return v;
}

struct Floors {
  double compound = 0, okurigana = 0, exact = 0;
};

}  // namespace

int main(int argc, char** argv) {
  std::string half = "all";
  bool failures = false;
  std::optional<Floors> floors;
  const char* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--half" && i + 1 < argc) {
      half = argv[++i];
    } else if (arg == "--failures") {
      failures = true;
    } else if (arg == "--at-least" && i + 1 < argc) {
      Floors f;
      if (std::sscanf(argv[++i], "%lf,%lf,%lf", &f.compound, &f.okurigana, &f.exact) != 3) {
        std::fprintf(stderr, "ruby_eval: --at-least takes COMPOUND,OKURIGANA,EXACT\n");
        return 2;
      }
      floors = f;
    } else {
      path = argv[i];
    }
  }
  if (path == nullptr) {
    std::fprintf(stderr,
                 "usage: ruby_eval [--half tune|report|all] [--failures] "
                 "[--at-least C,O,E] TSV\n");
    return 2;
  }
  const std::vector<Item> items = readItems(path, half);
  if (items.empty()) {
    std::fprintf(stderr, "ruby_eval: no items in half %s\n", half.c_str());
    return 2;
  }

  // Each distinct context once, one per line; a line break ends what the analyser reads.
  std::vector<std::string> contexts;
  std::map<std::string, std::size_t> lineOf;
  for (const Item& item : items) {
    if (lineOf.try_emplace(item.context, contexts.size()).second) contexts.push_back(item.context);
  }
  std::string text;
  for (const std::string& context : contexts) text += context + "\n";

  request::CheckRequest req;
  req.level = -1;
  req.proposals = true;
  request::CheckResult result;
  try {
    result = request::run(request::InputText::utf8(text), req);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ruby_eval: %s\n", error.what());
    return 2;
  }
  const std::string& utf8 = result.text.utf8;
  std::vector<std::size_t> lineStart{0};
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\n') lineStart.push_back(i + 1);
  }

  std::vector<Found> found;
  for (const reading::Proposal& p : *result.proposals) {
    const std::size_t begin = result.text.converted.sourceOf[p.offset];
    found.push_back({begin, begin + p.word.size(), p.word, p.reading});
  }

  std::size_t compound = 0, okurigana = 0, exact = 0;
  for (const Item& item : items) {
    const std::size_t line = lineOf.at(item.context);
    const std::size_t start = lineStart.at(line);
    const std::size_t baseBegin = start + byteOfChar(item.context, item.at);
    const std::size_t baseEnd = baseBegin + item.base.size();
    const Found* covering = nullptr;
    for (const Found& f : found) {  // few enough for a scan
      if (f.begin <= baseBegin && baseEnd <= f.end) covering = &f;
    }
    const Verdict v = judge(item, covering, item.context, start);
    compound += v.compound;
    okurigana += v.okurigana;
    exact += v.exact;
    if (failures && !v.okurigana) {
      std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%s\n", v.compound ? "compound" : "wrong",
                  item.work.c_str(), item.base.c_str(), item.reading.c_str(),
                  covering ? covering->word.c_str() : "-",
                  covering ? covering->reading.c_str() : "-", item.context.c_str());
    }
  }
  const double n = static_cast<double>(items.size());
  const double c = 100 * compound / n, o = 100 * okurigana / n, e = 100 * exact / n;
  std::printf("%s: %zu items  compound %.1f %%  okurigana %.1f %%  exact %.1f %%\n", half.c_str(),
              items.size(), c, o, e);
  if (floors && (c < floors->compound || o < floors->okurigana || e < floors->exact)) {
    std::printf("below the floor %.1f / %.1f / %.1f\n", floors->compound, floors->okurigana,
                floors->exact);
    return 1;
  }
  return 0;
}
