// The readings by school stage compiled into the program, held against the jōyō list's main
// table as extracted from the notice itself (tests/reading/data/joyo-2010-readings.json), which
// nobody here typed: the same readings of the same kanji, and the appendix words as its notes
// give them.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "reading/kana.h"
#include "reading/reading_stages.h"
#include "sjis/codec.h"

namespace torvane::reading {
namespace {

struct Record {
  std::string subject;
  std::string reading;
  std::string note;
};

// The notice's records. The file is one field to a line, so the three fields are read by line.
std::vector<Record> noticeRecords() {
  std::ifstream in(TORVANE_JOYO_NOTICE_JSON);
  EXPECT_TRUE(in) << TORVANE_JOYO_NOTICE_JSON;
  std::vector<Record> records;
  auto valueOf = [](const std::string& line, std::string_view key) -> std::optional<std::string> {
    const std::string start = "\"" + std::string(key) + "\": \"";
    const std::size_t at = line.find(start);
    if (at == std::string::npos) return std::nullopt;
    const std::size_t from = at + start.size();
    return line.substr(from, line.rfind('"') - from);
  };
  for (std::string line; std::getline(in, line);) {
    if (auto subject = valueOf(line, "subject")) records.push_back({*subject, "", ""});
    if (records.empty()) continue;
    if (auto reading = valueOf(line, "reading")) records.back().reading = *reading;
    if (auto note = valueOf(line, "note")) records.back().note = *note;
  }
  return records;
}

char32_t firstOf(std::string_view utf8) {
  return utf8CharAt(utf8, 0).value;
}

std::u32string toU32(std::string_view utf8) {
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size(); i += utf8CharAt(utf8, i).length)
    out.push_back(utf8CharAt(utf8, i).value);
  return out;
}

std::string toUtf8(std::u32string_view text) {
  std::string out;
  for (const char32_t c : text) sjis::appendUtf8(out, c);
  return out;
}

TEST(ReadingStagesData, EveryKanjiHasTheReadingsOfTheNoticeAndNoOther) {
  std::map<char32_t, std::multiset<std::string>> notice;
  for (const Record& r : noticeRecords()) notice[firstOf(r.subject)].insert(toHiragana(r.reading));
  ASSERT_EQ(notice.size(), 2136u);
  std::size_t readings = 0;
  for (const auto& [kanji, expected] : notice) {
    std::multiset<std::string> compiled;
    for (const JoyoReading& reading : joyoReadingsOf(kanji)) compiled.insert(reading.kana);
    EXPECT_EQ(compiled, expected) << "U+" << std::hex << static_cast<std::uint32_t>(kanji);
    readings += compiled.size();
  }
  EXPECT_EQ(readings, 4388u);
  EXPECT_EQ(joyoKanjiCount(), 2137u);  // 叱 beside 𠮟
}

TEST(ReadingStagesData, StagesAndStemsAsTheMinistryTableGivesThem) {
  std::map<ReadingStage, std::size_t> byStage;
  for (const Record& r : noticeRecords()) {
    for (const JoyoReading& reading : joyoReadingsOf(firstOf(r.subject))) {
      if (reading.kana == toHiragana(r.reading)) ++byStage[reading.stage];
    }
  }
  // The Ministry's table stages every reading once: primary 2,064, junior high 2,006, high
  // school 318.
  EXPECT_EQ(byStage[ReadingStage::Primary], 2064u);
  EXPECT_EQ(byStage[ReadingStage::JuniorHigh], 2006u);
  EXPECT_EQ(byStage[ReadingStage::HighSchool], 318u);

  struct Row {
    const char* kanji;
    const char* kana;
    std::size_t stemBytes;
    ReadingStage stage;
    bool native;  // a kun reading
  } rows[] = {
      {"今", "きん", 6, ReadingStage::JuniorHigh, false},
      {"上", "しょう", 9, ReadingStage::HighSchool, false},
      {"生", "き", 3, ReadingStage::JuniorHigh, true},
      {"生", "いきる", 3, ReadingStage::Primary, true},
      {"上", "のぼせる", 6, ReadingStage::JuniorHigh, true},
      {"川", "かわ", 6, ReadingStage::Primary, true},
      {"頬", "ほお", 6, ReadingStage::JuniorHigh, true},  // the Shift_JIS form of 頰
      {"叱", "しかる", 6, ReadingStage::JuniorHigh, true},
  };
  for (const Row& row : rows) {
    const JoyoReading expected{row.kana, row.stemBytes, row.stage, row.native};
    bool found = false;
    for (const JoyoReading& reading : joyoReadingsOf(firstOf(row.kanji)))
      found |= reading == expected;
    EXPECT_TRUE(found) << row.kanji << " " << row.kana;
  }
  EXPECT_TRUE(joyoReadingsOf(U'鷗').empty());
  EXPECT_TRUE(joyoReadingsOf(U'あ').empty());
}

// The notes write an appendix word as 今日（きょう）, as 叔父・伯父（おじ）, or with the ruby on
// its kanji alone, お巡（まわ）りさん.
TEST(ReadingStagesData, AppendixWordsStandInTheNoticesNotes) {
  std::string notes;
  for (const Record& r : noticeRecords()) notes += r.note;
  std::size_t count = 0;
  for (const AppendixWord& word : appendixWords()) {
    ++count;
    const std::string w(word.word);
    const std::string r(word.reading);
    bool found = notes.find(w + "（" + r + "）") != std::string::npos ||
                 notes.find(w + "・") != std::string::npos ||
                 notes.find("・" + w + "（" + r + "）") != std::string::npos;
    // The kana the word and its reading share at their ends stand outside the ruby.
    std::u32string wu = toU32(w);
    std::u32string ru = toU32(r);
    std::u32string before;
    std::u32string after;
    while (!wu.empty() && kanaAsHiragana(wu.front()) != 0 && wu.front() == ru.front()) {
      before.push_back(wu.front());
      wu.erase(0, 1);
      ru.erase(0, 1);
    }
    while (!wu.empty() && kanaAsHiragana(wu.back()) != 0 && wu.back() == ru.back()) {
      after.insert(after.begin(), wu.back());
      wu.pop_back();
      ru.pop_back();
    }
    const std::string core = toUtf8(before) + toUtf8(wu) + "（" + toUtf8(ru) + "）" + toUtf8(after);
    found = found || notes.find(core) != std::string::npos;
    EXPECT_TRUE(found) << w << " " << r;
  }
  EXPECT_EQ(count, 123u);  // 116 readings, some written two ways (叔父 伯父, 母屋 母家)
}

}  // namespace
}  // namespace torvane::reading
