// What Torvane writes, read by LibreOffice Writer, and what Writer writes, read and written back
// by Torvane. Writer starts once per conversion batch, on a profile of its own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "documents/document.h"
#include "documents/writers.h"
#include "documents/zip_package.h"

namespace torvane::documents {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void spit(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class OfficeTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = fs::temp_directory_path() / ("torvane-office-" + std::to_string(getpid()));
    fs::create_directories(dir_ / "in");
    fs::create_directories(dir_ / "out");
    // Writer's own documents, made from text this test controls.
    convert("docx:\"MS Word 2007 XML\"", {TORVANE_WRITER_FEATURES}, dir_ / "in");
    convert("odt", {TORVANE_WRITER_FEATURES}, dir_ / "in");
  }
  static void TearDownTestSuite() { fs::remove_all(dir_); }

  // soffice --convert-to for a batch of files at once.
  static void convert(const std::string& format, const std::vector<fs::path>& files,
                      const fs::path& outdir) {
    std::string command = "soffice -env:UserInstallation=file://" + (dir_ / "profile").string() +
                          " --headless --convert-to " + format + " --outdir '" + outdir.string() +
                          "'";
    for (const fs::path& f : files) command += " '" + f.string() + "'";
    command += " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  static std::string contentOf(const fs::path& odt) {
    return ZipReader(slurp(odt)).read("content.xml");
  }

  static fs::path dir_;
};
fs::path OfficeTest::dir_;

Marks rubyOn(const std::string& text, const std::string& word, std::size_t base,
             const std::string& reading) {
  const std::size_t at = text.find(word);
  Marks marks;
  if (at == std::string::npos) return marks;
  marks.words.push_back({at, at + word.size(), {{at, at + base, reading}}, WordStyle::Ruby});
  return marks;
}

TEST_F(OfficeTest, WriterReadsRubyColoursAndTextOfNewDocuments) {
  const std::string text = "危険な爆発\r\nＡＢＣの文";
  Marks marks = rubyOn(text, "爆発", 6, "ばくはつ");
  marks.colours.push_back({0, 6, MarkColour::Red});
  marks.colours.push_back({17, 26, MarkColour::Grey});
  spit(dir_ / "new_docx.docx", writeNewDocx(text, marks));
  spit(dir_ / "new_odt.odt", writeNewOdt(text, marks));
  convert("odt", {dir_ / "new_docx.docx", dir_ / "new_odt.odt"}, dir_ / "out");
  for (const char* name : {"new_docx.odt", "new_odt.odt"}) {
    SCOPED_TRACE(name);
    const std::string xml = contentOf(dir_ / "out" / name);
    EXPECT_NE(xml.find("<text:ruby-base>爆発</text:ruby-base><text:ruby-text"), std::string::npos)
        << xml;
    EXPECT_NE(xml.find(">ばくはつ</text:ruby-text>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("fo:color=\"#ff0000\""), std::string::npos);
    EXPECT_NE(xml.find("fo:color=\"#808080\""), std::string::npos);
    const OpenedDocument back = openDocument(slurp(dir_ / "out" / name));
    EXPECT_EQ(back.text, text + "\r\n");
  }
}

TEST_F(OfficeTest, WriterDocumentsReadInReadingOrder) {
  for (const char* name : {"writer_features.docx", "writer_features.odt"}) {
    SCOPED_TRACE(name);
    const std::string text = openDocument(slurp(dir_ / "in" / name)).text;
    for (const char* paragraph :
         {"危険な爆発を見た。\r\n", "注意します。\r\n", "左の鉄\r\n右の銅\r\n",
          "既に漢字がある。\r\n", "変更追加した。\r\n", "危険な所。\r\n",
          "箱の前\r\n箱の中の爆弾\r\n", "脚注の警報\r\n"})
      EXPECT_NE(text.find(paragraph), std::string::npos) << paragraph << "\n" << text;
    EXPECT_EQ(text.find("かんじ"), std::string::npos);  // an existing ruby's reading
  }
}

// The round trip changes the document part and nothing else, and Writer reads the new ruby.
TEST_F(OfficeTest, RoundTripOfWriterDocumentsChangesOnlyTheWords) {
  std::vector<fs::path> written;
  for (const char* name : {"writer_features.docx", "writer_features.odt"}) {
    SCOPED_TRACE(name);
    const std::string original = slurp(dir_ / "in" / name);
    const OpenedDocument document = openDocument(original);
    Marks marks = rubyOn(document.text, "危険な爆発", 6, "きけん");     // 危 and 険 are two runs
    const Marks second = rubyOn(document.text, "警報", 6, "けいほう");  // in the footnote
    marks.words.insert(marks.words.end(), second.words.begin(), second.words.end());
    const RoundTrip trip = writeRoundTrip(document, marks);
    EXPECT_EQ(trip.wordsLeftAlone, 0u);
    EXPECT_EQ(openDocument(trip.bytes).text, document.text);

    const ZipReader before(original);
    const ZipReader after(trip.bytes);
    EXPECT_EQ(after.names(), before.names());
    for (const std::string& entry : before.names()) {
      const bool marked =
          entry == "word/document.xml" || entry == "word/footnotes.xml" || entry == "content.xml";
      if (!marked) EXPECT_EQ(after.read(entry), before.read(entry)) << entry;
    }
    // Named apart by kind, since Writer names what it converts after the input's stem.
    const std::string kind = fs::path(name).extension().string().substr(1);
    const fs::path out = dir_ / ("trip_" + kind + "." + kind);
    spit(out, trip.bytes);
    written.push_back(out);
  }
  convert("odt", written, dir_ / "out");
  for (const char* name : {"trip_docx.odt", "trip_odt.odt"}) {
    SCOPED_TRACE(name);
    const std::string xml = contentOf(dir_ / "out" / name);
    EXPECT_NE(xml.find(">きけん</text:ruby-text>"), std::string::npos) << xml;
    EXPECT_NE(xml.find(">けいほう</text:ruby-text>"), std::string::npos) << xml;
    EXPECT_NE(xml.find(">かんじ</text:ruby-text>"), std::string::npos) << xml;  // kept
  }
}

}  // namespace
}  // namespace torvane::documents
