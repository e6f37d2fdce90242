// Holds the 2020 class strings against data typed by others: the grade field of kanjidic2 (the
// 2020 allocation, 8 for the other jōyō kanji) and Unihan's kJoyoKanji (the 2010 jōyō list, with
// pointers from the allowed stand-ins to the official forms). Both come from Debian packages
// (kanjidic-xml, unicode-data) that only the tests read.
#include <bzlib.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>

#include "sjis/codec.h"
#include "sjis/utf8.h"
#include "tables/class_strings.h"

namespace torvane::tables {
namespace {

using CharSet = std::set<char32_t>;

constexpr const char* kKanjidic = "/usr/share/edict/kanjidic2.xml.gz";
constexpr const char* kUnihanMappings = "/usr/share/unicode/Unihan_OtherMappings.txt.bz2";

std::string readGzip(const char* path) {
  const std::unique_ptr<gzFile_s, decltype(&gzclose)> file(gzopen(path, "rb"), &gzclose);
  if (!file) throw std::runtime_error(std::string("cannot open ") + path);
  std::string out;
  std::array<char, 1 << 16> buffer;
  int got = 0;
  while ((got = gzread(file.get(), buffer.data(), buffer.size())) > 0)
    out.append(buffer.data(), got);
  if (got < 0) throw std::runtime_error(std::string("cannot decompress ") + path);
  return out;
}

std::string readBzip2(const char* path) {
  const std::unique_ptr<FILE, decltype(&fclose)> file(fopen(path, "rb"), &fclose);
  if (!file) throw std::runtime_error(std::string("cannot open ") + path);
  int error = BZ_OK;
  BZFILE* bz = BZ2_bzReadOpen(&error, file.get(), 0, 0, nullptr, 0);
  std::string out;
  std::array<char, 1 << 16> buffer;
  while (error == BZ_OK) {
    const int got = BZ2_bzRead(&error, bz, buffer.data(), buffer.size());
    if (error == BZ_OK || error == BZ_STREAM_END) out.append(buffer.data(), got);
  }
  BZ2_bzReadClose(&error, bz);
  if (out.empty()) throw std::runtime_error(std::string("cannot decompress ") + path);
  return out;
}

char32_t onlyCharOf(std::string_view utf8) {
  const std::u32string text = sjis::decodeUtf8(utf8).text;
  if (text.size() != 1) throw std::runtime_error("not one character: " + std::string(utf8));
  return text[0];
}

std::string_view between(std::string_view text, std::string_view open, std::string_view close) {
  const auto start = text.find(open);
  if (start == std::string_view::npos) return {};
  const auto end = text.find(close, start + open.size());
  return text.substr(start + open.size(), end - start - open.size());
}

// kanjidic2: the characters by their grade field (1 to 6, 8, 9, 10).
std::map<int, CharSet> kanjidicGrades() {
  const std::string xml = readGzip(kKanjidic);
  std::map<int, CharSet> grades;
  const std::string_view all(xml);
  for (auto at = all.find("<character>"); at != std::string_view::npos;
       at = all.find("<character>", at + 1)) {
    const std::string_view entry = all.substr(at, all.find("</character>", at) - at);
    const std::string_view grade = between(entry, "<grade>", "</grade>");
    if (!grade.empty()) {
      grades[std::stoi(std::string(grade))].insert(
          onlyCharOf(between(entry, "<literal>", "</literal>")));
    }
  }
  return grades;
}

struct JoyoList {
  CharSet kanji;                            // kJoyoKanji 2010
  std::map<char32_t, char32_t> standInFor;  // official form -> the stand-in pointing at it
};

JoyoList unihanJoyo() {
  const std::string text = readBzip2(kUnihanMappings);
  JoyoList joyo;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    const auto tab1 = line.find('\t');
    const auto tab2 = line.find('\t', tab1 + 1);
    if (line.empty() || line[0] == '#' || tab2 == std::string::npos) continue;
    if (line.compare(tab1 + 1, tab2 - tab1 - 1, "kJoyoKanji") != 0) continue;
    const auto code = static_cast<char32_t>(std::stoul(line.substr(2, tab1 - 2), nullptr, 16));
    const std::string value = line.substr(tab2 + 1);
    if (value == "2010") {
      joyo.kanji.insert(code);
    } else if (value.starts_with("U+")) {
      joyo.standInFor[static_cast<char32_t>(std::stoul(value.substr(2), nullptr, 16))] = code;
    } else {
      throw std::runtime_error("unexpected kJoyoKanji value " + value);
    }
  }
  return joyo;
}

// The characters of a class string; CR and LF of the joined strings left out.
std::u32string charactersOf(const std::string& classString) {
  std::u32string out;
  for (char32_t c : sjis::toUnicode(sjis::rawSjis(classString))) {
    if (c != U'\r' && c != U'\n') out.push_back(c);
  }
  return out;
}

CharSet setOf(const std::u32string& characters) {
  return {characters.begin(), characters.end()};
}

class Tables2020Data : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    strings_ = new ClassStrings(loadClassStrings(TableSet::Tables2020));
    grades_ = new std::map<int, CharSet>(kanjidicGrades());
    joyo_ = new JoyoList(unihanJoyo());
  }
  static void TearDownTestSuite() {
    delete strings_;
    delete grades_;
    delete joyo_;
  }
  static const ClassStrings& strings() { return *strings_; }
  static const std::map<int, CharSet>& grades() { return *grades_; }
  static const JoyoList& joyo() { return *joyo_; }

  std::array<const std::string*, 6> gradeStrings() const {
    const ClassStrings& s = strings();
    return {&s.GradeChars1, &s.GradeChars2, &s.GradeChars3,
            &s.GradeChars4, &s.GradeChars5, &s.GradeChars6};
  }

  // The class-string form of an official form: itself, or the stand-in the list allows when the
  // code page lacks it.
  static char32_t asStoredInClassString(char32_t official) {
    if (sjis::Cp932::get().encode(official)) return official;
    const auto standIn = joyo().standInFor.find(official);
    return standIn == joyo().standInFor.end() ? official : standIn->second;
  }

 private:
  static inline ClassStrings* strings_ = nullptr;
  static inline std::map<int, CharSet>* grades_ = nullptr;
  static inline JoyoList* joyo_ = nullptr;
};

TEST_F(Tables2020Data, SourcesHoldTheExpectedNumbers) {
  // Guards against a changed or truncated package before anything is compared with it.
  EXPECT_EQ(joyo().kanji.size(), 2136u);
  EXPECT_EQ(joyo().standInFor.size(), 4u);
  for (int grade : {1, 2, 3, 4, 5, 6, 8}) EXPECT_FALSE(grades().at(grade).empty()) << grade;
}

TEST_F(Tables2020Data, GradeStringsAreKanjidicGrades) {
  for (int grade = 1; grade <= 6; ++grade) {
    const std::u32string characters = charactersOf(*gradeStrings()[grade - 1]);
    EXPECT_EQ(setOf(characters).size(), characters.size()) << "grade " << grade << " repeats";
    EXPECT_EQ(setOf(characters), grades().at(grade)) << "grade " << grade;
  }
}

TEST_F(Tables2020Data, JuniorHighStringIsKanjidicGradeEightWithStandIns) {
  CharSet expected;
  for (char32_t official : grades().at(8)) expected.insert(asStoredInClassString(official));
  const std::u32string characters = charactersOf(strings().JuniorHighChars);
  EXPECT_EQ(setOf(characters).size(), characters.size()) << "a kanji repeats";
  EXPECT_EQ(setOf(characters), expected);
}

TEST_F(Tables2020Data, OfficialFormsOutsideTheCodePageAreTheUnihanPointers) {
  CharSet outside;
  for (const auto& [official, standIn] : joyo().standInFor) {
    EXPECT_FALSE(sjis::Cp932::get().encode(official))
        << std::hex << static_cast<std::uint32_t>(official);
    EXPECT_TRUE(sjis::Cp932::get().encode(standIn))
        << std::hex << static_cast<std::uint32_t>(standIn);
    EXPECT_TRUE(grades().at(8).contains(official))
        << std::hex << static_cast<std::uint32_t>(official);
    outside.insert(official);
  }
  EXPECT_EQ(setOf({strings().JuniorHighOutsideCodePage.begin(),
                   strings().JuniorHighOutsideCodePage.end()}),
            outside);
}

TEST_F(Tables2020Data, AllKanjiStringsTogetherAreTheJoyoList) {
  CharSet all;
  std::size_t count = 0;
  auto add = [&](const std::string& classString) {
    for (char32_t c : charactersOf(classString)) {
      all.insert(c);
      ++count;
    }
  };
  for (const std::string* grade : gradeStrings()) add(*grade);
  add(strings().JuniorHighChars);
  EXPECT_EQ(count, all.size()) << "a kanji stands in two class strings";
  CharSet expected;
  for (char32_t official : joyo().kanji) expected.insert(asStoredInClassString(official));
  EXPECT_EQ(all, expected);
}

}  // namespace
}  // namespace torvane::tables
