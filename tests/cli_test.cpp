// Runs the real torvane-check binary: golden outputs, exit status and error messages.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// Runs the checker with `args` (already shell-quoted) and the given standard input.
CheckerRun runChecker(const std::string& args, const std::string& input) {
  const fs::path dir =
      fs::temp_directory_path() / ("torvane-cli-test-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "in", std::ios::binary) << input;
  std::string command = "'";
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
  };
  const fs::path golden = TORVANE_GOLDEN;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    // The file is given by name here; the errors test reads standard input.
    const CheckerRun run =
        runChecker(std::string(c.args) + " '" + (golden / c.input).string() + "'", "");
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.err, "");
    expectSameLines(run.out, golden / c.expected);
  }
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
      {"", "ok\xff", "torvane-check: invalid UTF-8 at byte offset 2\n"},
      {"", "\xef\xbb\xbf\xe6\xbc", "torvane-check: invalid UTF-8 at byte offset 3\n"},
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
       "torvane-check: --encoding takes utf-8 or cp932, not 'latin1' (see torvane-check --help)\n"},
      {"--json=yes", "",
       "torvane-check: option '--json' takes no value (see torvane-check --help)\n"},
      {"--frobnicate", "",
       "torvane-check: unknown option '--frobnicate' (see torvane-check --help)\n"},
      {"-x", "", "torvane-check: unknown option '-x' (see torvane-check --help)\n"},
      {"a b", "", "torvane-check: only one FILE may be given (see torvane-check --help)\n"},
  };
  for (const Case& c : cases) {
    const CheckerRun run = runChecker(c.args, c.input);
    EXPECT_EQ(run.status, 2) << c.args;
    EXPECT_EQ(run.out, "") << c.args;
    EXPECT_EQ(run.err, c.message) << c.args;
  }
}

TEST(CheckerCli, HelpAndVersion) {
  const CheckerRun help = runChecker("--help", "");
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with(
      "Usage: torvane-check [--level N] [--encoding utf-8|cp932] [--json] [FILE]\n"));
  EXPECT_EQ(help.err, "");
  const CheckerRun version = runChecker("--version", "");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "torvane-check 1.0.0.6\n");
}

TEST(CheckerCli, Cp932InputIsCheckedAsItStands) {
  // 漢 in Shift_JIS, with a bare LF that is not turned into CR LF.
  const CheckerRun run = runChecker("--encoding cp932 --json", "\x8a\xbf\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("\"bytes\": 3,"), std::string::npos) << run.out;
}

}  // namespace
