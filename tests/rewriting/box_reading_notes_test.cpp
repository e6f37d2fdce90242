// The reading notes of a box's text: where each note stands in the box, and the report section
// that lists them once for each kanji and reading.
#include "rewriting/box_reading_notes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/reading_fixture.h"

namespace torvane {
namespace {

TEST(BoxReadingNotes, NotesStandAtTheirKanjiInTheBox) {
  // 𠮷 takes two UTF-16 units and a paragraph separator one; 上 of 上人 stands at 5 after them.
  const std::u16string text = u"𠮷。\u2029上人の上人";
  const auto notes =
      reading::boxReadingNotes(testing::testAnalyzer(), text, 5, testing::testClassifier());
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].from, 4u);
  EXPECT_EQ(notes[0].to, 5u);
  EXPECT_EQ(notes[0].word, "上人");
  EXPECT_EQ(notes[0].note.reading, "しょう");
  EXPECT_EQ(notes[1].from, 7u);
  // At level -1 every kanji is red: nothing is judged.
  EXPECT_TRUE(reading::boxReadingNotes(testing::testAnalyzer(), text, -1, testing::testClassifier())
                  .empty());
}

TEST(BoxReadingNotes, TheReportListsEachKanjiAndReadingOnceWithItsCount) {
  const auto notes = reading::boxReadingNotes(testing::testAnalyzer(), u"上人と生糸、上人の道。", 5,
                                              testing::testClassifier());
  const std::vector<std::string> expected = {
      "  ------   読み方がまだ習わない漢字   ------",
      "上（しょう）　高校で習う読み　上人　2 箇所",
      "生（き）　中学で習う読み　生糸　1 箇所",
  };
  EXPECT_EQ(reading::readingNotesReport(notes), expected);
  EXPECT_TRUE(reading::readingNotesReport({}).empty());  // no header without notes
}

}  // namespace
}  // namespace torvane
