// The command line of torvane-check.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "request/run.h"
#include "tables/table_set.h"

namespace torvane::cli {

enum class InputEncoding { Utf8, Cp932, Auto };

// What --rewrite writes instead of the report.
enum class RewriteMode { None, Kana, Aozora, Html, Docx, Odt };

struct Options {
  int level = 0;
  tables::TableSet tables = tables::TableSet::Tables1989;
  InputEncoding encoding = InputEncoding::Utf8;
  bool json = false;
  bool compareTables = false;  // also list the characters whose stage the other set changes
  bool suggest = false;        // the reading proposals, as a JSON key
  bool checkReadings = false;  // the readings of the kanji let pass, judged by stage (JSON)
  RewriteMode rewrite = RewriteMode::None;
  std::optional<std::string> file;       // standard input when absent
  std::optional<std::string> output;     // standard output when absent
  std::optional<std::string> knownFile;  // the kanji the class knows beyond its year
  std::optional<std::string> allowFile;  // the words the class may read whole
};

struct ShowHelp {};
struct ShowVersion {};
struct UsageError {
  std::string message;
};

using ParsedCommandLine = std::variant<Options, ShowHelp, ShowVersion, UsageError>;

ParsedCommandLine parseCommandLine(std::span<const std::string_view> args);

// What the check adds for the output the options choose.
request::CheckRequest requestFor(const Options& options);

extern const std::string_view kUsage;

}  // namespace torvane::cli
