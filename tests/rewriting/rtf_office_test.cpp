// What LibreOffice Writer makes of the clipboard's RTF: its ruby, colours and font arrive as
// OpenDocument ruby, colours and font, and a ruby's base appears once.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "rewriting/rtf.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;

std::string run(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

// content.xml of the RTF converted by soffice, with a profile of its own so that a running
// Writer is left alone.
std::string convertedContent(const std::string& rtf) {
  const fs::path dir = fs::temp_directory_path() / ("torvane-rtf-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "copy.rtf", std::ios::binary) << rtf;
  const std::string d = dir.string();
  run("cd '" + d + "' && soffice -env:UserInstallation=file://" + d +
      "/profile --headless --convert-to odt copy.rtf >/dev/null 2>&1");
  std::string content = run("unzip -p '" + d + "/copy.odt' content.xml 2>/dev/null");
  fs::remove_all(dir);
  return content;
}

std::size_t count(const std::string& text, const std::string& piece) {
  std::size_t n = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
    ++n;
  return n;
}

TEST(RtfInWriter, RubyColoursAndFontArrive) {
  if (std::system("command -v soffice >/dev/null && command -v unzip >/dev/null") != 0)
    GTEST_SKIP() << "soffice or unzip is not installed";
  reading::rtf::Writer writer(reading::rtf::Font{"IPAゴシック", "", 24});
  writer.text("今日は");
  writer.ruby("岡山", "おかやま");
  writer.text("へ行く", 0xFF0000);
  writer.text("\n");
  writer.text("カナ", 0x808080);
  writer.ruby("鷗", "かもめ", 0xFF0000);
  const std::string content = convertedContent(std::move(writer).finish());
  ASSERT_FALSE(content.empty()) << "soffice made no document";

  EXPECT_EQ(count(content, "<text:ruby "), 2u) << content;
  EXPECT_NE(content.find("岡山</text:span></text:ruby-base><text:ruby-text"), std::string::npos);
  EXPECT_NE(content.find(">おかやま</text:ruby-text>"), std::string::npos);
  EXPECT_NE(content.find(">かもめ</text:ruby-text>"), std::string::npos);
  EXPECT_EQ(count(content, "岡山"), 1u) << "the base shown twice";
  EXPECT_NE(content.find("fo:color=\"#ff0000\""), std::string::npos);
  EXPECT_NE(content.find("fo:color=\"#808080\""), std::string::npos);
  EXPECT_NE(content.find("style:font-name=\"IPAゴシック\""), std::string::npos);
  EXPECT_NE(content.find("fo:font-size=\"12pt\""), std::string::npos);
  // Uncoloured text keeps the reader's own colour, not a colour made of the default.
  EXPECT_EQ(content.find("loext:opacity=\"0%\""), std::string::npos) << content;
  EXPECT_NE(content.find(">今日は<"), std::string::npos);
  EXPECT_EQ(count(content, "<text:p "), 2u);
}

}  // namespace
}  // namespace torvane
