// Word documents from another project's test files, read and round-tripped.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "documents/document.h"
#include "documents/writers.h"
#include "documents/zip_package.h"

namespace torvane::documents {
namespace {

std::string fixture(const std::string& name) {
  std::ifstream in(std::string(TORVANE_FIXTURES) + "/" + name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

Marks wordAt(const std::string& text, const std::string& word) {
  const std::size_t at = text.find(word);
  Marks marks;
  if (at != std::string::npos)
    marks.words.push_back(
        {at, at + word.size(), {{at, at + word.size(), "よみ"}}, WordStyle::Ruby});
  return marks;
}

void expectOnlyTheBodyChanged(const std::string& before, const std::string& after) {
  const ZipReader a(before), b(after);
  ASSERT_EQ(a.names(), b.names());
  for (const std::string& name : a.names()) {
    if (name != "word/document.xml") {
      EXPECT_EQ(a.read(name), b.read(name)) << name;
    }
  }
}

TEST(Fixtures, HyperlinksOfAPrettyPrintedDocument) {
  const std::string original = fixture("par-hlink-frags.docx");
  const OpenedDocument document = openDocument(original);
  EXPECT_TRUE(document.text.starts_with("One\r\nTwo with link to bookmark.\r\n")) << document.text;
  // "with link" reaches into the hyperlink; "bookmark" lies inside it.
  const RoundTrip across = writeRoundTrip(document, wordAt(document.text, "with link"));
  EXPECT_EQ(across.wordsLeftAlone, 1u);
  EXPECT_EQ(across.bytes, original);
  const RoundTrip inside = writeRoundTrip(document, wordAt(document.text, "bookmark"));
  EXPECT_EQ(inside.wordsLeftAlone, 0u);
  EXPECT_EQ(openDocument(inside.bytes).text, document.text);
  expectOnlyTheBodyChanged(original, inside.bytes);
}

// Word marks where it last broke the page inside a run, between two w:t.
TEST(Fixtures, WordAcrossARenderedPageBreak) {
  const std::string original = fixture("par-rendered-page-breaks.docx");
  const OpenedDocument document = openDocument(original);
  const RoundTrip trip = writeRoundTrip(document, wordAt(document.text, "breaks>><<in"));
  EXPECT_EQ(trip.wordsLeftAlone, 0u);
  EXPECT_EQ(openDocument(trip.bytes).text, document.text);
  EXPECT_NE(ZipReader(trip.bytes)
                .read("word/document.xml")
                .find("breaks&gt;&gt;&lt;&lt;in</w:t></w:r></w:rubyBase>"),
            std::string::npos);
  expectOnlyTheBodyChanged(original, trip.bytes);
}

}  // namespace
}  // namespace torvane::documents
