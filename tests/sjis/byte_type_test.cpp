#include "sjis/byte_type.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace torvane::sjis {
namespace {

constexpr ByteType S = ByteType::Single;
constexpr ByteType L = ByteType::Lead;
constexpr ByteType T = ByteType::Trail;

struct Row {
  const char* name;
  std::string bytes;
  std::vector<ByteType> types;
};

const std::vector<Row> kRows = {
    {"ascii", "Ab", {S, S}},
    {"hiragana", "\x82\xa0\x82\xa2", /* あい */ {L, T, L, T}},
    {"first lead 0x81", "\x81\x40", /* full-width space */ {L, T}},
    {"last lead of the first range 0x9F", "\x9f\x40", {L, T}},
    {"0xA0 is no lead", "\xa0\x40", {S, S}},
    {"0xDF is no lead", "\xdf\x40", {S, S}},
    {"first lead of the second range 0xE0", "\xe0\x40", {L, T}},
    {"last lead 0xFC", "\xfc\xfc", {L, T}},
    {"0xFD is no lead", "\xfd\x40", {S, S}},
    {"half-width kana 0xA1 and 0xDF", "\xa1\xdf", {S, S}},
    {"trail byte 0x40", "\x88\x40", {L, T}},
    {"trail byte 0x7E", "\x88\x7e", {L, T}},
    {"trail byte 0x80", "\x88\x80", {L, T}},
    {"a trail in the lead range", "\x81\x81\x41", {L, T, S}},
    {"a run of three lead-range bytes", "\x81\x81\x81\x41", {L, T, L, T}},
    {"a lead byte cut off at the end", "A\x88", {S, L}},
    {"NUL is always single, even after a lead", std::string("\x88\0\x88\x40", 4), {L, S, L, T}},
    {"NUL breaks the run", std::string("\x81\x81\0\x81", 4), {L, T, S, L}},
    {"CR LF", "\r\n", {S, S}},
};

TEST(ByteType, RowsByTheLiteralRuleAndTheScanner) {
  for (const Row& row : kRows) {
    ASSERT_EQ(row.bytes.size(), row.types.size()) << row.name;
    ByteTypeScanner scanner;
    for (std::size_t i = 0; i < row.bytes.size(); ++i) {
      EXPECT_EQ(byteTypeAt(row.bytes, i), row.types[i]) << row.name << " at " << i;
      EXPECT_EQ(scanner.next(static_cast<std::uint8_t>(row.bytes[i])), row.types[i])
          << row.name << " at " << i;
    }
  }
}

TEST(ByteType, LeadRangesAreExactly0x81To0x9FAnd0xE0To0xFC) {
  for (unsigned b = 0; b < 256; ++b) {
    EXPECT_EQ(isLeadRange(static_cast<std::uint8_t>(b)),
              (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC))
        << b;
  }
}

// The scanner must agree with the literal rule on every byte of every text; random texts drawn
// from the bytes around each boundary reach every run shape.
TEST(ByteType, ScannerAgreesWithTheLiteralRuleOnRandomTexts) {
  const std::uint8_t alphabet[] = {0x00, 0x0d, 0x20, 0x40, 0x7e, 0x80, 0x81, 0x9f,
                                   0xa0, 0xa1, 0xdf, 0xe0, 0xfc, 0xfd, 0xff};
  std::mt19937 random(932);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(alphabet) - 1);
  for (int round = 0; round < 2000; ++round) {
    std::string text(1 + round % 40, '\0');
    for (char& byte : text) byte = static_cast<char>(alphabet[pick(random)]);
    ByteTypeScanner scanner;
    for (std::size_t i = 0; i < text.size(); ++i) {
      ASSERT_EQ(scanner.next(static_cast<std::uint8_t>(text[i])), byteTypeAt(text, i))
          << "round " << round << " at " << i;
    }
  }
}

}  // namespace
}  // namespace torvane::sjis
