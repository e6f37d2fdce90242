#include "cli/options.h"

#include <charconv>

#include "checker/levels.h"

namespace torvane::cli {

const std::string_view kUsage =
    "Usage: torvane-check [--level N] [--tables 1989|2020] [--encoding utf-8|cp932|auto] [--json]\n"
    "                     [--compare-tables] [--suggest] [--rewrite kana|aozora|html|docx|odt]\n"
    "                     [--output FILE] [--known FILE] [--allow FILE] [--check-readings]\n"
    "                     [FILE]\n"
    "Checks a Japanese text against the kanji that pupils have learnt by a school year.\n"
    "\n"
    "  --level N         the level, a whole number from -1 to 6 (default 0):\n"
    "                      0 一年生で習う漢字で      4 五年生までに習う漢字で\n"
    "                      1 二年生までに習う漢字で  5 六年生までに習う漢字で\n"
    "                      2 三年生までに習う漢字で  6 中学までに習う漢字で\n"
    "                      3 四年生までに習う漢字で -1 no level: stricter than 0\n"
    "  --tables T        the kanji tables to judge by:\n"
    "                      1989 the built-in tables (default): the 1989 allocation of kanji\n"
    "                           to school years and the 1981 jōyō list\n"
    "                      2020 the allocation in force since April 2020 and the 2010 jōyō list\n"
    "  --encoding E      how a text file is encoded: utf-8 (default), cp932, or auto\n"
    "                      (a byte-order mark, UTF-8, Shift_JIS, EUC-JP or ISO-2022-JP)\n"
    "  --json            write one JSON object with every span, list and report line\n"
    "  --compare-tables  also list the text's characters whose stage differs between the two\n"
    "                    sets of tables, with both stages and how often each occurs\n"
    "  --suggest         with --json: propose readings for the words that hold a red\n"
    "                      kanji, as the key \"suggestions\"\n"
    "  --rewrite MODE    write the text with those words rewritten instead of the report:\n"
    "                      kana (the reading), aozora (｜word《reading》) or html (ruby);\n"
    "                      docx or odt (ruby, red and grey; FILE itself with only those\n"
    "                      words changed when it is a document of that kind; needs\n"
    "                      --output); not with --json\n"
    "  --output FILE     write to FILE instead of standard output, whole or not at all\n"
    "  --known FILE      kanji the class has learnt beyond its year (UTF-8; every kanji in\n"
    "                    it counts): no problem at any level, still listed by stage\n"
    "  --allow FILE      words the class may read, one a line (UTF-8; empty lines and lines\n"
    "                    starting with # ignored): no problem wherever they occur\n"
    "  --check-readings  with --json: every kanji the check let pass whose reading in the\n"
    "                      text is not taught by the level (primary readings up to level 5,\n"
    "                      junior-high ones at 6), as the key \"reading_notes\"\n"
    "  --help            show this help\n"
    "  --version         show the version\n"
    "\n"
    "FILE is the text to check, a text file, a .docx or an .odt; standard input when it is\n"
    "absent or \"-\".\n"
    "Without --json the report lines are written, then the summary, then with --compare-tables\n"
    "one line per changed character: CHAR, its 1989 stage, its 2020 stage and its count,\n"
    "separated by tabs.\n"
    "--suggest and --rewrite need the MeCab dictionary (Debian package mecab-ipadic-utf8).\n"
    "Exit status: 0 no problem found, 1 problems found, 2 usage or input error.\n";

namespace {

std::optional<int> parseLevel(std::string_view text) {
  int level = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), level);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  if (level < checker::kNoLevel || level > checker::kLastLevel) return std::nullopt;
  return level;
}

}  // namespace

ParsedCommandLine parseCommandLine(std::span<const std::string_view> args) {
  Options options;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    if (!optionsEnded && arg.starts_with("--") && arg.size() > 2) {
      std::string_view name = arg;
      std::optional<std::string_view> value;
      if (const auto eq = arg.find('='); eq != std::string_view::npos) {
        name = arg.substr(0, eq);
        value = arg.substr(eq + 1);
      }
      const bool takesValue = name == "--level" || name == "--tables" || name == "--encoding" ||
                              name == "--rewrite" || name == "--output" || name == "--known" ||
                              name == "--allow";
      if (!takesValue && value) {
        return UsageError{"option '" + std::string(name) + "' takes no value"};
      }
      if (takesValue && !value) {
        if (i + 1 == args.size())
          return UsageError{"option '" + std::string(name) + "' needs a value"};
        value = args[++i];
      }
      if (name == "--help") return ShowHelp{};
      if (name == "--version") return ShowVersion{};
      if (name == "--json") {
        options.json = true;
      } else if (name == "--compare-tables") {
        options.compareTables = true;
      } else if (name == "--tables") {
        const auto set = tables::tableSetNamed(*value);
        if (!set) {
          return UsageError{"--tables takes 1989 or 2020, not '" + std::string(*value) + "'"};
        }
        options.tables = *set;
      } else if (name == "--known") {
        options.knownFile = std::string(*value);
      } else if (name == "--allow") {
        options.allowFile = std::string(*value);
      } else if (name == "--suggest") {
        options.suggest = true;
      } else if (name == "--check-readings") {
        options.checkReadings = true;
      } else if (name == "--rewrite") {
        if (*value == "kana") {
          options.rewrite = RewriteMode::Kana;
        } else if (*value == "aozora") {
          options.rewrite = RewriteMode::Aozora;
        } else if (*value == "html") {
          options.rewrite = RewriteMode::Html;
        } else if (*value == "docx") {
          options.rewrite = RewriteMode::Docx;
        } else if (*value == "odt") {
          options.rewrite = RewriteMode::Odt;
        } else {
          return UsageError{"--rewrite takes kana, aozora, html, docx or odt, not '" +
                            std::string(*value) + "'"};
        }
      } else if (name == "--level") {
        const auto level = parseLevel(*value);
        if (!level) {
          return UsageError{"--level takes a whole number from -1 to 6, not '" +
                            std::string(*value) + "'"};
        }
        options.level = *level;
      } else if (name == "--encoding") {
        if (*value == "utf-8") {
          options.encoding = InputEncoding::Utf8;
        } else if (*value == "cp932") {
          options.encoding = InputEncoding::Cp932;
        } else if (*value == "auto") {
          options.encoding = InputEncoding::Auto;
        } else {
          return UsageError{"--encoding takes utf-8, cp932 or auto, not '" + std::string(*value) +
                            "'"};
        }
      } else if (name == "--output") {
        if (value->empty()) return UsageError{"--output needs a file name"};
        options.output = std::string(*value);
      } else {
        return UsageError{"unknown option '" + std::string(name) + "'"};
      }
      continue;
    }
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && arg.size() > 1 && arg.starts_with('-')) {
      return UsageError{"unknown option '" + std::string(arg) + "'"};
    }
    if (options.file) return UsageError{"only one FILE may be given"};
    options.file = std::string(arg);
  }
  // The plain output ends with the summary (and the table changes); proposals are JSON.
  if (options.suggest && !options.json && options.rewrite == RewriteMode::None) {
    return UsageError{"--suggest goes with --json"};
  }
  if (options.checkReadings && !options.json) {
    return UsageError{"--check-readings goes with --json"};
  }
  if (options.json && options.rewrite != RewriteMode::None) {
    return UsageError{"--rewrite cannot be combined with --json"};
  }
  if (options.compareTables && options.rewrite != RewriteMode::None) {
    return UsageError{"--rewrite cannot be combined with --compare-tables"};
  }
  const bool document = options.rewrite == RewriteMode::Docx || options.rewrite == RewriteMode::Odt;
  if (document && !options.output) {
    return UsageError{"--rewrite docx and --rewrite odt need --output FILE"};
  }
  if (options.file == "-") options.file.reset();
  return options;
}

request::CheckRequest requestFor(const Options& options) {
  request::CheckRequest request;
  request.level = options.level;
  request.tables = options.tables;
  // A document shows the check's colours.
  request.spans =
      options.json || options.rewrite == RewriteMode::Docx || options.rewrite == RewriteMode::Odt;
  request.tableChanges = options.compareTables;
  request.proposals = options.suggest || options.rewrite != RewriteMode::None;
  request.readingNotes = options.checkReadings;
  return request;
}

}  // namespace torvane::cli
