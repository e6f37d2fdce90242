// Runs the real torvane-check binary: golden outputs, exit status and error messages.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

struct CheckerRun {
  int status = -1;
  std::string out, err;
};

// Runs the checker with `args` (already shell-quoted) and the given standard input; `environment`
// is put before the command, as in "NAME=value ".
CheckerRun runChecker(const std::string& args, const std::string& input,
                      const std::string& environment = "") {
  const fs::path dir =
      fs::temp_directory_path() / ("torvane-cli-test-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "in", std::ios::binary) << input;
  std::string command = environment + "'";
  command += TORVANE_CHECK;
  command += "' " + args;
  command += " < '" + (dir / "in").string();
  command += "' > '" + (dir / "out").string();
  command += "' 2> '" + (dir / "err").string() + "'";
  const int raw = std::system(command.c_str());
  CheckerRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(dir / "out"), slurp(dir / "err")};
  fs::remove_all(dir);
  return run;
}

// A run in a child process set up by hand: standard output closed, or memory limited.
struct SpawnOptions {
  bool closeStandardOutput = false;
  std::optional<rlim_t> addressSpace;  // RLIMIT_AS in bytes
};

CheckerRun spawnChecker(const std::vector<std::string>& args, const fs::path& input,
                        const SpawnOptions& options) {
  const fs::path dir =
      fs::temp_directory_path() / ("torvane-cli-spawn-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string outPath = (dir / "out").string(), errPath = (dir / "err").string();
  std::vector<std::string> argvStrings = {TORVANE_CHECK};
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argvStrings) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::ofstream(outPath).flush();  // exists and stays empty when standard output is closed

  const pid_t child = ::fork();
  if (child == 0) {
    const int in = ::open(input.c_str(), O_RDONLY);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(err, 2) < 0) ::_exit(127);
    if (options.closeStandardOutput) {
      ::close(1);
    } else {
      const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (out < 0 || ::dup2(out, 1) < 0) ::_exit(127);
    }
    ::close(in);
    ::close(err);
    if (options.addressSpace) {
      const rlimit limit{*options.addressSpace, *options.addressSpace};
      if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(127);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int raw = 0;
  ::waitpid(child, &raw, 0);
  CheckerRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(outPath), slurp(errPath)};
  fs::remove_all(dir);
  return run;
}

void expectSameLines(const std::string& actual, const fs::path& expectedFile) {
  const auto want = lines(slurp(expectedFile));
  const auto got = lines(actual);
  for (std::size_t i = 0; i < std::min(want.size(), got.size()); ++i) {
    ASSERT_EQ(got[i], want[i]) << expectedFile.filename() << ": first difference on line " << i + 1;
  }
  ASSERT_EQ(got.size(), want.size()) << expectedFile.filename() << ": line count";
  EXPECT_EQ(actual.back(), '\n');
}

TEST(CheckerCli, GoldenOutputs) {
  struct Case {
    const char* expected;
    const char* input;
    const char* args;
    int status;
  } cases[] = {
      {"kanji.json.expected", "kanji.in", "--json", 1},
      {"kanji.plain.expected", "kanji.in", "", 1},
      {"story.level2.expected", "story.in", "--level 2", 1},
      {"story.level6.json.expected", "story.in", "--level=6 --json", 1},
      {"story.nolevel.expected", "story.in", "--level -1", 1},
      {"foreign.json.expected", "foreign.in", "--json --level 3", 1},
      {"malformed.json.expected", "malformed.in", "--encoding cp932 --json --level 3", 1},
      {"clean.expected", "clean.in", "", 0},
      {"readings.suggest.json.expected", "readings.in", "--json --suggest --level 2", 1},
      {"readings.kana.expected", "readings.in", "--rewrite kana --level 2", 1},
      {"readings.aozora.expected", "readings.in", "--rewrite=aozora --level 2", 1},
      {"readings.nolevel.aozora.expected", "readings.in", "--rewrite aozora --level -1", 1},
      {"readings.html.expected", "readings.in", "--level 2 --rewrite html", 1},
      {"pieces.suggest.json.expected", "pieces.in", "--json --suggest --level 0", 1},
      {"pieces.kana.expected", "pieces.in", "--rewrite kana --level 0", 1},
      {"pieces.aozora.expected", "pieces.in", "--rewrite aozora --level 0", 1},
      {"pieces.html.expected", "pieces.in", "--rewrite html --level 0", 1},
      {"readings.cp932.suggest.json.expected", "readings.cp932.in",
       "--json --suggest --encoding cp932", 1},
      {"tables.1989.json.expected", "tables.in", "--json --level 3 --compare-tables", 1},
      {"tables.2020.json.expected", "tables.in", "--json --level 3 --tables 2020 --compare-tables",
       1},
      {"tables.2020.level5.expected", "tables.in", "--tables 2020 --level 5 --compare-tables", 1},
      {"tables.2020.level6.expected", "tables.in", "--tables=2020 --level 6", 1},
      {"readings.2020.compare.json.expected", "readings.in",
       "--json --suggest --compare-tables --tables 2020 --level 2", 1},
      // Made by LibreOffice Writer: spans split inside a word, a footnote, a table, ruby, a
      // tracked insertion, a hyperlink and a text box.
      {"document.docx.suggest.json.expected", "document.docx", "--json --suggest --level 2", 1},
      {"readings.eucjp.json.expected", "readings.eucjp.in", "--json --encoding auto --level 2", 1},
      // Reading notes change no exit status: no kanji is red at level 5.
      {"stages.level5.json.expected", "stages.in", "--json --check-readings --level 5", 0},
      {"stages.level4.suggest.json.expected", "stages.in",
       "--json --suggest --check-readings --level 4", 1},
      // A known kanji and an allowed word give no note.
      {"stages.settings.json.expected", "stages.in",
       "--json --check-readings --level 5 --known @stages.known --allow @stages.allow", 0},
      {"settings.json.expected", "settings.in",
       "--json --level 2 --known @settings.known --allow @settings.allow", 1},
      {"settings.plain.expected", "settings.in",
       "--level 2 --known=@settings.known --allow @settings.allow", 1},
      {"settings.known.json.expected", "settings.in", "--json --level 2 --known @settings.known",
       1},
  };
  const fs::path golden = TORVANE_GOLDEN;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    // "@NAME" in the arguments is the golden file NAME.
    std::string args = c.args;
    for (std::size_t at; (at = args.find('@')) != std::string::npos;) {
      args.replace(at, 1, "'" + golden.string() + "/");
      args.insert(std::min(args.find(' ', at + 1), args.size()), "'");
    }
    // The file is given by name here; the errors test reads standard input.
    const CheckerRun run = runChecker(args + " '" + (golden / c.input).string() + "'", "");
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.err, "");
    expectSameLines(run.out, golden / c.expected);
  }
}

// 𠮟 known and so not red: its reading しか, junior high, is still the class's to read.
TEST(CheckerCli, AKnownKanjiFromOutsideTheCodePageGivesNoReadingNote) {
  const fs::path known =
      fs::temp_directory_path() / ("torvane-known-" + std::to_string(::getpid()));
  std::ofstream(known) << "𠮟\n";
  const CheckerRun run =
      runChecker("--json --check-readings --tables 2020 --level 5 --known '" + known.string() + "'",
                 "上人に𠮟られた。");
  fs::remove(known);
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("\"problem_kinds\": []"), std::string::npos);
  EXPECT_NE(
      run.out.find("\"reading_notes\": [\n    {\"offset\": 0, \"length\": 2, \"char\": \"上\", "
                   "\"reading\": \"しょう\", \"stage\": \"high_school\", \"word\": \"上人\"}\n  ]"),
      std::string::npos)
      << run.out;
}

TEST(CheckerCli, ReadsStandardInput) {
  for (const char* args : {"", "-", "--level 0 -"}) {
    const CheckerRun run = runChecker(args, "漢字漢");
    EXPECT_EQ(run.status, 1) << args;
    EXPECT_EQ(lines(run.out).back(), "1 種 2 箇所の問題が見つかりました。") << args;
  }
  const CheckerRun empty = runChecker("", "");
  EXPECT_EQ(empty.status, 0);
  EXPECT_EQ(empty.out, "問題は見つかりませんでした。\n");
}

TEST(CheckerCli, ErrorsAreOneLineOnStandardErrorAndNothingOnStandardOutput) {
  struct Case {
    const char* args;
    std::string input;
    const char* message;
  } cases[] = {
      {"", "ok\xff",
       "torvane-check: invalid UTF-8 at byte offset 2 (for another encoding, try --encoding "
       "auto)\n"},
      {"", "\xef\xbb\xbf\xe6\xbc",
       "torvane-check: invalid UTF-8 at byte offset 3 (for another encoding, try --encoding "
       "auto)\n"},
      {"--encoding auto", "abc\x82 def",
       "torvane-check: no encoding decodes the text (UTF-8, Shift_JIS, EUC-JP, ISO-2022-JP); "
       "cp932 fails at byte offset 3\n"},
      {"",
       "PK\x03\x04"
       "broken",
       "torvane-check: the package is damaged: Not a zip archive\n"},
      {"--rewrite docx", "",
       "torvane-check: --rewrite docx and --rewrite odt need --output FILE "
       "(see torvane-check --help)\n"},
      {"/nonexistent/file.txt", "",
       "torvane-check: cannot read '/nonexistent/file.txt': No such file or directory\n"},
      {"/", "", "torvane-check: cannot read '/': Is a directory\n"},
      {"--level 7", "",
       "torvane-check: --level takes a whole number from -1 to 6, not '7' (see torvane-check "
       "--help)\n"},
      {"--level x", "",
       "torvane-check: --level takes a whole number from -1 to 6, not 'x' (see torvane-check "
       "--help)\n"},
      {"--level ''", "",
       "torvane-check: --level takes a whole number from -1 to 6, not '' (see torvane-check "
       "--help)\n"},
      {"--level", "", "torvane-check: option '--level' needs a value (see torvane-check --help)\n"},
      {"--encoding latin1", "",
       "torvane-check: --encoding takes utf-8, cp932 or auto, not 'latin1' (see torvane-check "
       "--help)\n"},
      {"--json=yes", "",
       "torvane-check: option '--json' takes no value (see torvane-check --help)\n"},
      {"--frobnicate", "",
       "torvane-check: unknown option '--frobnicate' (see torvane-check --help)\n"},
      {"-x", "", "torvane-check: unknown option '-x' (see torvane-check --help)\n"},
      {"a b", "", "torvane-check: only one FILE may be given (see torvane-check --help)\n"},
      {"--check-readings", "",
       "torvane-check: --check-readings goes with --json (see torvane-check --help)\n"},
      {"--json --rewrite kana", "",
       "torvane-check: --rewrite cannot be combined with --json (see torvane-check --help)\n"},
      {"--rewrite ruby", "",
       "torvane-check: --rewrite takes kana, aozora, html, docx or odt, not 'ruby' (see "
       "torvane-check --help)\n"},
      {"--rewrite", "",
       "torvane-check: option '--rewrite' needs a value (see torvane-check --help)\n"},
      {"--suggest=yes", "",
       "torvane-check: option '--suggest' takes no value (see torvane-check --help)\n"},
      // Input errors come before the dictionary is even looked at.
      {"--json --suggest", "ok\xff",
       "torvane-check: invalid UTF-8 at byte offset 2 (for another encoding, try --encoding "
       "auto)\n"},
      // The plain output ends with the summary: proposals come as JSON only.
      {"--suggest", "", "torvane-check: --suggest goes with --json (see torvane-check --help)\n"},
      {"--tables 2010", "",
       "torvane-check: --tables takes 1989 or 2020, not '2010' (see torvane-check --help)\n"},
      {"--tables=", "",
       "torvane-check: --tables takes 1989 or 2020, not '' (see torvane-check --help)\n"},
      {"--tables", "",
       "torvane-check: option '--tables' needs a value (see torvane-check --help)\n"},
      {"--compare-tables=2020", "",
       "torvane-check: option '--compare-tables' takes no value (see torvane-check --help)\n"},
      {"--compare-tables --tables 2020 x y", "",
       "torvane-check: only one FILE may be given (see torvane-check --help)\n"},
      {"--rewrite kana --compare-tables", "",
       "torvane-check: --rewrite cannot be combined with --compare-tables (see torvane-check "
       "--help)\n"},
  };
  for (const Case& c : cases) {
    const CheckerRun run = runChecker(c.args, c.input);
    EXPECT_EQ(run.status, 2) << c.args;
    EXPECT_EQ(run.out, "") << c.args;
    EXPECT_EQ(run.err, c.message) << c.args;
  }
}

// A list that cannot be used stops the check before anything is written, naming the file and
// the line.
TEST(CheckerCli, BadListFilesAreInputErrors) {
  const fs::path dir =
      fs::temp_directory_path() / ("torvane-cli-lists-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const auto write = [&](const char* name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return (dir / name).string();
  };
  std::string longLine;
  for (int i = 0; i < 101; ++i) longLine += "岡";
  const std::string bad = write("bad.txt", "岡\n\xff\n");
  const std::string empty = write("empty.txt", "");
  const std::string comments = write("comments.txt", "# none yet\n\n");
  const std::string huge = write("huge.txt", std::string(1'000'001, '\n'));
  const std::string longer = write("long.txt", "岡\n山\n" + longLine + "\n");
  const std::string missing = (dir / "missing.txt").string();
  struct Case {
    std::string args;
    std::string message;
  } cases[] = {
      {"--known '" + bad + "'", "'" + bad + "': line 2 is not valid UTF-8"},
      {"--allow '" + bad + "'", "'" + bad + "': line 2 is not valid UTF-8"},
      {"--known '" + empty + "'", "'" + empty + "': the list is empty"},
      {"--allow '" + comments + "'", "'" + comments + "': the list is empty"},
      {"--allow '" + huge + "'",
       "'" + huge + "': the file is larger than 1 MB, too large for a list"},
      {"--known '" + longer + "'", "'" + longer + "': line 3 is longer than 100 characters"},
      {"--allow '" + missing + "'", "cannot read '" + missing + "': No such file or directory"},
      {"--known", "option '--known' needs a value (see torvane-check --help)"},
  };
  for (const Case& c : cases) {
    const CheckerRun run = runChecker("--json " + c.args, "岡山");
    EXPECT_EQ(run.status, 2) << c.args;
    EXPECT_EQ(run.out, "") << c.args;
    EXPECT_EQ(run.err, "torvane-check: " + c.message + "\n") << c.args;
  }
  fs::remove_all(dir);
}

TEST(CheckerCli, HelpAndVersion) {
  const CheckerRun help = runChecker("--help", "");
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with(
      "Usage: torvane-check [--level N] [--tables 1989|2020] [--encoding utf-8|cp932|auto] "
      "[--json]\n"
      "                     [--compare-tables] [--suggest] [--rewrite kana|aozora|html|docx|odt]\n"
      "                     [--output FILE] [--known FILE] [--allow FILE] [--check-readings]\n"
      "                     [FILE]\n"));
  EXPECT_EQ(help.err, "");
  const CheckerRun version = runChecker("--version", "");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "torvane-check 1.0.0.6\n");
}

// They used to exit 2 without a word.
TEST(CheckerCli, HelpAndVersionOnAClosedStandardOutputSayTheyCannotWrite) {
  for (const char* option : {"--help", "--version"}) {
    const CheckerRun run =
        spawnChecker({option}, "/dev/null", {.closeStandardOutput = true, .addressSpace = {}});
    EXPECT_EQ(run.status, 2) << option;
    EXPECT_EQ(run.err, "torvane-check: cannot write the output\n") << option;
  }
  const CheckerRun check =
      spawnChecker({}, "/dev/null", {.closeStandardOutput = true, .addressSpace = {}});
  EXPECT_EQ(check.status, 2);
  EXPECT_EQ(check.err, "torvane-check: cannot write the output\n");
}

// The smallest address-space limit, to 4 MiB, under which the checker checks a short text: what
// the program, its libraries and its tables take before any text.
rlim_t startUpAddressSpace(const fs::path& shortText) {
  rlim_t low = 0, high = rlim_t{1} << 30;
  while (high - low > (4u << 20)) {
    const rlim_t middle = (low + high) / 2;
    const CheckerRun run = spawnChecker({"--level", "6"}, shortText, {.addressSpace = middle});
    (run.status == 0 ? high : low) = middle;
  }
  return high;
}

// A text of `size` bytes of Japanese with no problem at level 6.
void writeCleanJapanese(const fs::path& path, std::size_t size) {
  const std::string line =
      "小学校の先生は、毎日たくさんの本を読みます。学校で習う漢字を正しく使いましょう。"
      "カタカナもひらがなも大切です。\n";
  std::ofstream out(path, std::ios::binary);
  for (std::size_t written = 0; written < size; written += line.size()) out << line;
}

// A 200 MB text without problems used to fail under 1 GB: four bytes a byte were reserved for
// problems and twice the input for the conversion before anything was found. Now the checker
// needs its input and the Shift_JIS text (about two thirds of it) and little more, which a text
// of 24 MiB proves under a limit that the old reservations (five times the input) overran.
TEST(CheckerCli, MemoryGrowsWithTheTextNotAheadOfIt) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer maps its shadow memory beyond any address-space limit";
#endif
  const fs::path dir =
      fs::temp_directory_path() / ("torvane-cli-memory-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path shortText = dir / "short", bigText = dir / "big";
  writeCleanJapanese(shortText, 1000);
  constexpr std::size_t kBig = 24u << 20;
  writeCleanJapanese(bigText, kBig);
  const rlim_t startUp = startUpAddressSpace(shortText);

  const CheckerRun fits = spawnChecker({"--level", "6", bigText.string()}, "/dev/null",
                                       {.addressSpace = startUp + 3 * kBig});
  EXPECT_EQ(fits.status, 0) << fits.err;
  ASSERT_FALSE(fits.out.empty());
  EXPECT_EQ(lines(fits.out).back(), "問題は見つかりませんでした。");

  // Too little to read the text: the failure is said in words, with nothing on standard output.
  const CheckerRun tooBig = spawnChecker({"--level", "6", bigText.string()}, "/dev/null",
                                         {.addressSpace = startUp + kBig / 2});
  EXPECT_EQ(tooBig.status, 2);
  EXPECT_EQ(tooBig.out, "");
  EXPECT_EQ(tooBig.err, "torvane-check: out of memory\n");
  fs::remove_all(dir);
}

// The red spans of a JSON output, as byte offsets.
std::vector<std::size_t> redOffsets(const std::string& json) {
  std::vector<std::size_t> offsets;
  const auto start = json.find("\"spans\": [");
  const auto end = json.find("\n", start);
  const std::string spans = json.substr(start, end - start);
  for (auto at = spans.find("[["); at != std::string::npos; at = spans.find(", [", at)) {
    at = spans.find('[', at + 1) + 1;  // at the offset
    if (spans.compare(spans.find(']', at) - 5, 5, "\"red\"") == 0) {
      offsets.push_back(std::stoul(spans.substr(at)));
    }
  }
  return offsets;
}

// Every kanji the 2020 tables move, add or remove, each with its stage in both sets as the
// official lists give them, checked at every level with each set: a grade-g kanji is red below
// level g - 1, a junior-high kanji below level 6, any other kanji always.
TEST(CheckerCli, ChangedKanjiAtEveryLevelWithBothSets) {
  constexpr int kBeyond = 8, kJunior = 7;
  struct Group {
    const char* kanji;
    int stage1989, stage2020;  // grade 1..6, kJunior, kBeyond
  } groups[] = {
      {"井佐岐崎沖滋潟縄香", kJunior, 4},
      {"埼奈媛岡栃梨熊茨阜阪鹿", kBeyond, 4},
      {"囲喜紀救型航告殺史士象賞貯停堂得毒費粉脈歴", 4, 5},
      {"胃腸", 4, 6},
      {"賀群徳富", 5, 4},
      {"恩券承舌銭退敵俵預", 5, 6},
      {"城", 6, 4},
      {"勺匁脹銑錘", kJunior, kBeyond},
      {"誰頃鬱叱填剥頬𠮟塡剝頰", kBeyond, kJunior},
      {"学", 1, 1},
  };
  std::string text;
  std::vector<std::pair<int, int>> stages;  // per character, two bytes each
  for (const Group& group : groups) {
    text += group.kanji;
    for (const char* p = group.kanji; *p != '\0';) {
      p += (static_cast<unsigned char>(*p) >= 0xF0) ? 4 : 3;
      stages.emplace_back(group.stage1989, group.stage2020);
    }
  }
  auto isRed = [](int stage, int level) {
    if (stage == kBeyond) return true;
    if (stage == kJunior) return level < 6;
    return level < stage - 1;
  };
  for (const char* set : {"1989", "2020"}) {
    for (int level = -1; level <= 6; ++level) {
      const CheckerRun run = runChecker(
          std::string("--json --tables ") + set + " --level " + std::to_string(level), text);
      std::vector<std::size_t> expected;
      for (std::size_t i = 0; i < stages.size(); ++i) {
        const int stage = set == std::string("1989") ? stages[i].first : stages[i].second;
        if (isRed(stage, level)) expected.push_back(2 * i);
      }
      EXPECT_EQ(run.status, expected.empty() ? 0 : 1) << set << " " << level;
      EXPECT_EQ(redOffsets(run.out), expected) << set << " at level " << level;
    }
  }
}

TEST(CheckerCli, CompareTablesKeepsTheExitStatusOfTheCheck) {
  // 城 is grade 6 in 1989 and grade 4 in 2020: a change, but no problem at level 5.
  const std::pair<const char*, const char*> sets[] = {
      {"1989", "  ------   小学六年で習う漢字   ------\n"},
      {"2020", "  ------   小学四年で習う漢字   ------\n"},
  };
  for (const auto& [set, header] : sets) {
    const CheckerRun run =
        runChecker(std::string("--compare-tables --level 5 --tables ") + set, "城");
    EXPECT_EQ(run.status, 0) << set;
    EXPECT_EQ(run.out, std::string(header) +
                           "城\n\n問題は見つかりませんでした。\n"
                           "城\tgrade6\tgrade4\t1\n")
        << set;
  }
}

TEST(CheckerCli, Cp932InputIsCheckedAsItStands) {
  // 漢 in Shift_JIS, with a bare LF that is not turned into CR LF.
  const CheckerRun run = runChecker("--encoding cp932 --json", "\x8a\xbf\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("\"bytes\": 3,"), std::string::npos) << run.out;
}

TEST(CheckerCli, MissingDictionaryFailsReadingsOnlyWithOneLineNamingThePackage) {
  const std::string missing = "TORVANE_MECAB_DICDIR=/nonexistent/ipadic ";
  for (const char* args : {"--json --suggest", "--rewrite kana", "--rewrite html"}) {
    const CheckerRun run = runChecker(args, "漢字", missing);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_EQ(run.out, "") << args;
    EXPECT_EQ(
        run.err,
        "torvane-check: the MeCab dictionary is not installed (no /nonexistent/ipadic/sys.dic):"
        " install the Debian package mecab-ipadic-utf8\n")
        << args;
  }
  // The check itself needs no dictionary.
  const CheckerRun plain = runChecker("--json", "漢字", missing);
  EXPECT_EQ(plain.status, 1);
  EXPECT_EQ(plain.err, "");
}

TEST(CheckerCli, MissingUserDictionaryIsAWarningAndTheSystemDictionaryReads) {
  const CheckerRun run =
      runChecker("--rewrite kana --level -1", "大勢", "TORVANE_USER_DIC=/nonexistent/user.dic ");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "torvane-check: warning: the user dictionary /nonexistent/user.dic is missing\n");
  // IPAdic alone reads 大勢 たいせい: the user dictionary is what gives children's おおぜい.
  EXPECT_EQ(lines(run.out).back(), "たいせい");
  const CheckerRun withUser = runChecker("--rewrite kana --level -1", "大勢");
  EXPECT_EQ(lines(withUser.out).back(), "おおぜい");
  EXPECT_EQ(withUser.err, "");
}

TEST(CheckerCli, RewriteKeepsLineBreaksAsLfAndWordsWithoutReadingAsTheyAre) {
  // CR LF, lone CR and U+2028 each become one LF; 𩸽 has no reading and stays.
  const CheckerRun run = runChecker("--rewrite kana --level -1", "𩸽と犬\r\n猫\r鳥\xe2\x80\xa8");
  EXPECT_EQ(run.out, "𩸽といぬ\nねこ\nとり\n");
  EXPECT_EQ(run.status, 1);
  const CheckerRun clean = runChecker("--rewrite aozora --level 6", "ひらがな\n");
  EXPECT_EQ(clean.out, "ひらがな\n");
  EXPECT_EQ(clean.status, 0);
}

TEST(CheckerCli, OutputIsWrittenWholeOrNotAtAll) {
  const fs::path dir = fs::temp_directory_path() / ("torvane-output-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path file = dir / "out.txt";
  const CheckerRun written = runChecker("--output '" + file.string() + "'", "漢字漢");
  EXPECT_EQ(written.status, 1);
  EXPECT_EQ(written.out, "");
  EXPECT_EQ(lines(slurp(file)).back(), "1 種 2 箇所の問題が見つかりました。");
  // A failed run leaves neither the file nor a temporary one.
  fs::remove(file);
  const CheckerRun failed = runChecker("--output '" + file.string() + "'", "ok\xff");
  EXPECT_EQ(failed.status, 2);
  EXPECT_FALSE(fs::exists(file));
  EXPECT_TRUE(fs::is_empty(dir));
  const CheckerRun nowhere = runChecker("--output '" + (dir / "no" / "x").string() + "'", "漢");
  EXPECT_EQ(nowhere.status, 2);
  EXPECT_TRUE(nowhere.err.starts_with("torvane-check: cannot write ")) << nowhere.err;
  fs::remove_all(dir);
}

TEST(CheckerCli, DocumentRoundTripCountsTheWordsLeftAlone) {
  const fs::path dir = fs::temp_directory_path() / ("torvane-docx-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path golden = TORVANE_GOLDEN;
  const fs::path out = dir / "out.docx";
  const CheckerRun run = runChecker("--level 2 --rewrite docx --output '" + out.string() + "' '" +
                                        (golden / "document.docx").string() + "'",
                                    "");
  EXPECT_EQ(run.status, 1);
  // 変更追加 reaches into a tracked insertion.
  EXPECT_EQ(run.err,
            "torvane-check: 1 proposed word left as written: each crosses a hyperlink, a field, a "
            "tracked change or a content control, or has ruby already\n");
  // Read again, the words now have ruby: only the one left alone is proposed again.
  const CheckerRun again =
      runChecker("--level 2 --rewrite docx --output '" + (dir / "again.docx").string() + "' '" +
                     out.string() + "'",
                 "");
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.err.find(" 9 proposed words left as written"), std::string::npos) << again.err;
  fs::remove_all(dir);
}

}  // namespace
