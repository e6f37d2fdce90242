// The chunks the analyser parses one at a time: short lines whole, long lines cut at the safest
// boundary within reach, so that MeCab's memory stays bounded whatever the punctuation.
#include "reading/text_chunks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reading/kana.h"
#include "support/reading_fixture.h"

namespace torvane::reading {
namespace {

std::string repeated(std::string_view unit, std::size_t bytes) {  // at least `bytes`
  std::string text;
  while (text.size() < bytes) text += unit;
  return text;
}

char32_t firstChar(std::string_view text) {
  return utf8CharAt(text, 0).value;
}

char32_t lastChar(std::string_view text) {
  std::size_t i = text.size() - 1;
  while ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) --i;
  return utf8CharAt(text, i).value;
}

// Every chunk non-empty, in order, on character boundaries, within the cap, and the chunks with
// the line breaks between them make up the text.
void expectWellFormed(std::string_view text, const std::vector<TextChunk>& chunks,
                      const std::string& name) {
  std::size_t at = 0;
  for (const TextChunk& chunk : chunks) {
    ASSERT_GT(chunk.length, 0u) << name;
    ASSERT_GE(chunk.offset, at) << name;
    for (std::size_t i = at; i < chunk.offset; ++i) {
      ASSERT_TRUE(text[i] == '\r' || text[i] == '\n') << name << " loses byte " << i;
    }
    EXPECT_LE(chunk.length, kMaxChunk + 4) << name;
    EXPECT_NE(static_cast<unsigned char>(text[chunk.offset]) & 0xC0, 0x80) << name;
    at = chunk.offset + chunk.length;
  }
  for (; at < text.size(); ++at) ASSERT_TRUE(text[at] == '\r' || text[at] == '\n') << name;
}

TEST(ReadingChunks, ALongRunWithoutAFullStopIsCutAtTheSafestBoundaryWithinReach) {
  // A chunk goes on to the first boundary of its kind past the threshold: at most one unit of
  // the repeated text further.
  struct Case {
    const char* name;
    std::string_view unit;
    std::size_t threshold;
    char32_t lastOfEachChunk;   // 0: not tested
    char32_t firstOfEachChunk;  // 0: not tested
  } cases[] = {
      // This used to be one lattice of the whole line: 780 MB over 4 MB.
      {"split only by 、", "学校で先生の本を読み、", 2 * kLongChunk, U'、', 0},
      {"split only by spaces", "学校で先生の本を読み　", 2 * kLongChunk, U'\u3000', 0},
      {"no punctuation: before a kanji after hiragana", "がっこうで先生の", 3 * kLongChunk, 0,
       U'先'},
      {"kanji only: the hard cap", "漢字", kMaxChunk, 0, 0},
      {"kana only: the hard cap", "あ", kMaxChunk, 0, 0},
      {"a clause mark before a digit belongs to its number", "１，０００", kMaxChunk, 0, 0},
  };
  for (const Case& c : cases) {
    const std::string text = repeated(c.unit, 256 << 10);
    const std::vector<TextChunk> chunks = analysisChunks(text);
    expectWellFormed(text, chunks, c.name);
    ASSERT_GT(chunks.size(), 5u) << c.name;
    for (std::size_t i = 0; i + 1 < chunks.size(); ++i) {
      const std::string_view chunk =
          std::string_view(text).substr(chunks[i].offset, chunks[i].length);
      EXPECT_GE(chunk.size(), c.threshold) << c.name;
      EXPECT_LT(chunk.size(), c.threshold + c.unit.size()) << c.name;
      if (c.lastOfEachChunk != 0) {
        EXPECT_EQ(lastChar(chunk), c.lastOfEachChunk) << c.name;
      }
      if (c.firstOfEachChunk != 0) {
        EXPECT_EQ(firstChar(std::string_view(text).substr(chunks[i + 1].offset)),
                  c.firstOfEachChunk)
            << c.name;
      }
    }
  }
}

TEST(ReadingChunks, ShortLinesAreWholeAndAFullStopCutsOnlyFromTheLongPieceOn) {
  // あ takes three bytes: the chunk up to and with 。 is 3k + 3 bytes.
  constexpr std::size_t justShort = (kLongChunk - 3) / 3, justLong = justShort + 1;
  static_assert(3 * justShort + 3 < kLongChunk && 3 * justLong + 3 >= kLongChunk);
  struct Case {
    const char* name;
    std::string text;
    std::vector<TextChunk> chunks;
  } cases[] = {
      {"empty", "", {}},
      {"line breaks only", "\r\n\n\r\xE2\x80\xA8", {}},
      {"every kind of line break ends a chunk",
       "あ\r\nい\rう\nえ\xE2\x80\xA9お",
       {{0, 3}, {5, 3}, {9, 3}, {13, 3}, {19, 3}}},
      {"a short line with full stops is whole", "短い。文だ。\n", {{0, 18}}},
      {"just short of a cut", repeated("あ", 3 * justShort) + "。いい", {{0, 3 * justShort + 9}}},
      {"long enough to be cut after its full stop",
       repeated("あ", 3 * justLong) + "。いい",
       {{0, 3 * justLong + 3}, {3 * justLong + 3, 6}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(analysisChunks(c.text), c.chunks) << c.name;
  }
}

// A sentence (or a clause, in a run split only by 、) reads the same whether a chunk begins with
// it or not: where sentences are short every cut falls after a full stop, and in a run without
// one after a 、.
TEST(ReadingChunks, ProposalsAreUnchangedByTheCutting) {
  const std::vector<std::string> cases[] = {
      {"お姉さんは書けば危険な爆発を読み始めた。", "四月一日に二人で三本の木を見た。",
       "葛飾区の鷗外は引っ越しの日に大人と今日の新聞を読んだ。"},
      {"お姉さんは書けば危険な爆発を読み、", "四月一日に二人で三本の木を見て、",
       "葛飾区の鷗外は引っ越しの日に大人と今日の新聞を読み、"},
  };
  for (const std::vector<std::string>& units : cases) {
    std::string line;  // about 120 KiB, no line break: cut some ten times
    std::vector<Proposal> expected;
    std::size_t checkedBytes = 0;
    while (line.size() < 120 * 1024) {
      for (const std::string& unit : units) {
        const testing::Checked alone(unit, 2);
        for (Proposal p : alone.propose()) {
          p.offset += checkedBytes;
          for (RubyPiece& piece : p.ruby) piece.offset += checkedBytes;
          expected.push_back(std::move(p));
        }
        checkedBytes += alone.converted.text.size();
        line += unit;
      }
    }
    ASSERT_GT(analysisChunks(line).size(), 5u) << units[0];
    const std::vector<Proposal> proposals = testing::Checked(line, 2).propose();
    ASSERT_EQ(proposals.size(), expected.size()) << units[0];
    for (std::size_t i = 0; i < expected.size(); ++i) {
      ASSERT_EQ(proposals[i], expected[i]) << units[0] << ": proposal " << i << ", "
                                           << proposals[i].word << " for " << expected[i].word;
    }
  }
}

}  // namespace
}  // namespace torvane::reading
