#include "reading/reading_notes.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <unordered_map>

#include "checker/colours.h"
#include "reading/kana.h"
#include "sjis/codec.h"

namespace torvane::reading {
namespace {

// Readings the list's table does not spell out but its notes and grammar give.
struct ExtraReading {
  char32_t kanji;
  std::u32string_view kana;
  ReadingStage stage;
};
constexpr ExtraReading kExtraReadings[] = {
    {U'来', U"こ", ReadingStage::Primary},       // 来ない: く-る conjugates its stem
    {U'来', U"き", ReadingStage::Primary},       // 来た
    {U'十', U"じゅっ", ReadingStage::Primary},   // the list's note to ジッ: 「ジュッ」とも
    {U'頰', U"ほほ", ReadingStage::JuniorHigh},  // the list's note to ほお: 「ほほ」とも
    {U'頬', U"ほほ", ReadingStage::JuniorHigh},
};

// A rendaku or a final small っ costs a little, so that a division without one wins a tie; a
// note costs more than any number of them, so that a division with fewer notes always wins.
constexpr int kSoundChangeCost = 1;
constexpr int kNoteCost = 1000;
constexpr int kUnreachable = std::numeric_limits<int>::max();

// The division's table grows with the piece's characters times its reading's. No word of a text
// has this many kanji in one run; a run that long (a list of kanji, a word the analyser glued
// together) is no word whose reading can be divided, so it gives no note.
constexpr std::size_t kMaxPieceChars = 32;
constexpr std::size_t kMaxPieceReading = 128;

char32_t valueOf(const sjis::SjisChar& c) {
  if (c.foreign() != 0) return c.foreign();
  return sjis::Cp932::get().decode(c);
}

std::string toUtf8(std::u32string_view text) {
  std::string out;
  for (const char32_t c : text) sjis::appendUtf8(out, c);
  return out;
}

// The kana a rendaku turns the first kana of a reading into: か→が, は→ば and ぱ, ち→ぢ and じ.
std::u32string voicedForms(char32_t c) {
  if (c == U'ち') return U"ぢじ";
  if (c == U'つ') return U"づず";
  if ((c >= U'か' && c <= U'ぢ' && (c - U'か') % 2 == 0) || c == U'て' || c == U'と') {
    return std::u32string(1, static_cast<char32_t>(c + 1));
  }
  if (c >= U'は' && c <= U'ぽ' && (c - U'は') % 3 == 0) {
    return {static_cast<char32_t>(c + 1), static_cast<char32_t>(c + 2)};
  }
  return {};
}

bool geminates(char32_t c) {
  return c == U'つ' || c == U'ち' || c == U'く' || c == U'き';
}

// The kana a verb's or adjective's last okurigana kana becomes as it conjugates: its row, and
// the sound changes of the て form (書いて, 待って, 読んで).
std::u32string_view conjugatedForms(char32_t c) {
  static constexpr std::u32string_view kRows[] = {
      U"あいうえおっ", U"かきくけこいっ", U"がぎぐげごい", U"さしすせそ", U"ざじずぜぞ",
      U"たちつてとっ", U"だぢづでど",     U"なにぬねのん", U"はひふへほ", U"ばびぶべぼん",
      U"まみむめもん", U"やゆよ",         U"らりるれろっ", U"わをっ"};
  for (const std::u32string_view row : kRows) {
    if (row.find(c) != std::u32string_view::npos) return row;
  }
  return {};
}

struct Candidate {
  std::u32string kana;
  ReadingStage stage;
  int changes;          // sound changes made to the listed reading
  bool afterN = false;  // a liaison form, which only follows ん
};

// The liaison (連声) of a vowel after ん: 反応 はんのう, 観音 かんのん, 三位 さんみ.
std::u32string_view liaisonForms(char32_t c) {
  switch (c) {
    case U'あ': return U"な";
    case U'い': return U"にみ";
    case U'う': return U"ぬ";
    case U'え': return U"ね";
    case U'お': return U"の";
  }
  return {};
}

// A kanji's reading with the sound changes allowed where it stands.
void addForms(std::vector<Candidate>& out, const std::u32string& kana, ReadingStage stage,
              bool voice, bool geminate) {
  if (kana.empty()) return;
  out.push_back({kana, stage, 0});
  const bool small = geminate && kana.size() > 1 && geminates(kana.back());
  if (small) {
    std::u32string form = kana;
    form.back() = U'っ';
    out.push_back({form, stage, kSoundChangeCost});
  }
  if (!voice) return;
  for (const char32_t v : liaisonForms(kana.front())) {
    std::u32string form = kana;
    form.front() = v;
    out.push_back({form, stage, kSoundChangeCost, true});
  }
  for (const char32_t v : voicedForms(kana.front())) {
    std::u32string form = kana;
    form.front() = v;
    out.push_back({form, stage, kSoundChangeCost});
    if (small) {
      form.back() = U'っ';
      out.push_back({form, stage, 2 * kSoundChangeCost});
    }
  }
}

// What the kanji itself may cover of each listed reading: the stem (い of い-きる); the stem
// with okurigana the text leaves out (受付 うけつけ), their last kana conjugated (申込 もうしこみ);
// the stem less its last kana where the text writes it as okurigana (行なう).
std::vector<Candidate> candidatesOf(char32_t kanji, bool voice, bool geminate) {
  std::vector<Candidate> out;
  for (const JoyoReading& reading : joyoReadingsOf(kanji)) {
    const std::u32string kana = codePoints(reading.kana);
    const std::size_t stem = codePoints(std::string_view(reading.kana).substr(0, reading.stem)).size();
    addForms(out, kana.substr(0, stem), reading.stage, voice, geminate);
    if (stem == kana.size()) continue;
    if (stem > 1) addForms(out, kana.substr(0, stem - 1), reading.stage, voice, false);
    for (std::size_t end = stem + 1; end <= kana.size(); ++end) {
      std::u32string form = kana.substr(0, end);
      for (const char32_t last : conjugatedForms(form.back())) {
        form.back() = last;
        addForms(out, form, reading.stage, voice, false);
      }
    }
  }
  for (const ExtraReading& extra : kExtraReadings) {
    if (extra.kanji == kanji)
      addForms(out, std::u32string(extra.kana), extra.stage, voice, geminate);
  }
  return out;
}

// The candidates of the kanji of one text, made once each: a text uses a few hundred kanji over
// and over. One per call, so that calls on several threads share nothing.
class CandidateCache {
 public:
  const std::vector<Candidate>& of(char32_t kanji, bool voice, bool geminate) {
    const std::uint64_t key = std::uint64_t{kanji} << 2 | (voice ? 2u : 0u) | (geminate ? 1u : 0u);
    auto [it, added] = made_.try_emplace(key);
    if (added) it->second = candidatesOf(kanji, voice, geminate);
    return it->second;
  }

 private:
  std::unordered_map<std::uint64_t, std::vector<Candidate>> made_;
};

// An appendix word as it stands among other characters: from its first kanji to its last, with
// the kana they enclose (お巡りさん: 巡 まわ; 差し支える: 差し支 さしつか).
struct AppendixCore {
  std::u32string chars;
  std::u32string reading;
};

const std::unordered_map<char32_t, std::vector<AppendixCore>>& appendixCores() {
  static const auto cores = [] {
    std::unordered_map<char32_t, std::vector<AppendixCore>> byFirst;
    for (const AppendixWord& word : appendixWords()) {
      std::u32string chars = codePoints(word.word);
      std::u32string reading = codePoints(word.reading);
      while (!chars.empty() && kanaAsHiragana(chars.front()) != 0 &&
             kanaAsHiragana(chars.front()) == reading.front()) {
        chars.erase(0, 1);
        reading.erase(0, 1);
      }
      while (!chars.empty() && kanaAsHiragana(chars.back()) != 0 &&
             kanaAsHiragana(chars.back()) == reading.back()) {
        chars.pop_back();
        reading.pop_back();
      }
      if (!chars.empty()) byFirst[chars.front()].push_back({chars, reading});
    }
    return byFirst;
  }();
  return cores;
}

// One character of a word.
struct Cell {
  std::size_t offset = 0;  // bytes of the checked text
  std::size_t length = 0;
  sjis::SjisChar character;
  char32_t value = 0;
  char32_t kana = 0;    // its hiragana form, or 0 when it is no kana
  bool judged = false;  // a kanji whose reading is held against the list
  int piece = -1;       // the piece it belongs to, or -1
};

bool isJudgedKind(char32_t value) {
  return isKanji(value) && value != U'々' && value != U'〆' && value != U'〇';
}

// ぢ and づ as じ and ず: the list writes ず and じ, older spellings and some dictionaries the
// others (預ける あづける), and a rendaku of ち or つ gives either.
char32_t sameSound(char32_t c) {
  if (c == U'ぢ') return U'じ';
  if (c == U'づ') return U'ず';
  return c;
}

bool startsWith(std::u32string_view text, std::size_t at, std::u32string_view prefix) {
  if (text.size() < at + prefix.size()) return false;
  for (std::size_t k = 0; k < prefix.size(); ++k) {
    if (sameSound(text[at + k]) != sameSound(prefix[k])) return false;
  }
  return true;
}

// Whether the reading of an appendix core, or its rendaku form, stands at `at`; its length.
std::optional<std::size_t> coreReadingAt(std::u32string_view reading, std::size_t at,
                                         const AppendixCore& core, bool voice) {
  if (startsWith(reading, at, core.reading)) return core.reading.size();
  if (!voice) return std::nullopt;
  for (const char32_t v : voicedForms(core.reading.front())) {
    std::u32string form = core.reading;
    form.front() = v;
    if (startsWith(reading, at, form)) return form.size();
  }
  return std::nullopt;
}

bool coreCharsAt(std::span<const Cell> cells, std::size_t at, const AppendixCore& core) {
  if (cells.size() < at + core.chars.size()) return false;
  for (std::size_t k = 0; k < core.chars.size(); ++k) {
    const char32_t c = core.chars[k];
    const Cell& cell = cells[at + k];
    if (cell.value != c && (cell.kana == 0 || cell.kana != kanaAsHiragana(c))) return false;
  }
  return true;
}

// How a cell was read in the best division.
struct Step {
  std::size_t fromCell = 0;
  std::size_t fromKana = 0;
  std::optional<NoteStage> note;  // for a single judged cell whose reading is not yet taught
};

std::optional<NoteStage> noteFor(ReadingStage stage, int level) {
  if (readingTaughtAt(stage, level)) return std::nullopt;
  return stage == ReadingStage::JuniorHigh ? NoteStage::JuniorHigh : NoteStage::HighSchool;
}

// Divides one piece's reading among its cells, the division with the fewest notes first.
void judgePiece(CandidateCache& cache, std::span<const Cell> cells, std::u32string_view reading,
                bool atWordStart, int level, std::size_t wordOffset, std::size_t wordLength,
                std::vector<ReadingNote>& notes) {
  const std::size_t n = cells.size();
  const std::size_t m = reading.size();
  if (n > kMaxPieceChars || m > kMaxPieceReading) return;
  std::vector<int> cost((n + 1) * (m + 1), kUnreachable);
  std::vector<Step> step((n + 1) * (m + 1));
  auto at = [m](std::size_t i, std::size_t j) { return i * (m + 1) + j; };
  auto relax = [&](std::size_t i, std::size_t j, std::size_t toI, std::size_t toJ, int c,
                   std::optional<NoteStage> note) {
    if (c < cost[at(toI, toJ)]) {
      cost[at(toI, toJ)] = c;
      step[at(toI, toJ)] = Step{i, j, note};
    }
  };
  const auto& cores = appendixCores();
  static const std::vector<Candidate> kNoCandidates;
  std::vector<const std::vector<Candidate>*> candidates(n, &kNoCandidates);
  for (std::size_t i = 0; i < n; ++i) {
    const bool voice = i > 0 || !atWordStart;
    const bool geminate = i + 1 < n;
    char32_t kanji = cells[i].value;
    if (kanji == U'々' && i > 0) kanji = cells[i - 1].value;  // 人々: the kanji it repeats
    if (isJudgedKind(kanji)) candidates[i] = &cache.of(kanji, voice, geminate);
  }

  cost[at(0, 0)] = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const Cell& cell = cells[i];
    for (std::size_t j = 0; j <= m; ++j) {
      const int here = cost[at(i, j)];
      if (here == kUnreachable) continue;
      if (const auto found = cores.find(cell.value); found != cores.end()) {
        for (const AppendixCore& core : found->second) {
          if (!coreCharsAt(cells, i, core)) continue;
          if (const auto length = coreReadingAt(reading, j, core, i > 0 || !atWordStart))
            relax(i, j, i + core.chars.size(), j + *length, here, std::nullopt);
        }
      }
      if (cell.kana != 0) {
        if (j < m && sameSound(reading[j]) == sameSound(cell.kana))
          relax(i, j, i + 1, j + 1, here, std::nullopt);
        continue;
      }
      if (!candidates[i]->empty()) {
        for (const Candidate& c : *candidates[i]) {
          if (!startsWith(reading, j, c.kana)) continue;
          if (c.afterN && (j == 0 || reading[j - 1] != U'ん')) continue;
          const std::optional<NoteStage> note =
              cell.judged ? noteFor(c.stage, level) : std::nullopt;
          relax(i, j, i + 1, j + c.kana.size(), here + c.changes + (note ? kNoteCost : 0), note);
        }
        continue;
      }
      // A character the list does not read (a kanji outside it, 〆, ヶ): any reading. Every
      // reading of a judged kanji outside the list is none of the list's.
      const std::optional<NoteStage> note =
          cell.judged ? std::optional(NoteStage::OutsideJoyo) : std::nullopt;
      for (std::size_t end = j + 1; end <= m; ++end)
        relax(i, j, i + 1, end, here + (note ? kNoteCost : 0), note);
    }
  }

  auto noteOn = [&](const Cell& cell, std::u32string_view part, NoteStage stage) {
    notes.push_back(ReadingNote{cell.offset, cell.length, cell.character, toUtf8(part), stage,
                                wordOffset, wordLength});
  };
  if (cost[at(n, m)] == kUnreachable) {
    // A lone kanji's reading is its own: not one the list gives it.
    if (n == 1 && cells[0].judged) noteOn(cells[0], reading, NoteStage::OutsideJoyo);
    return;
  }
  for (std::size_t i = n, j = m; i > 0;) {
    const Step& s = step[at(i, j)];
    if (s.note) noteOn(cells[s.fromCell], reading.substr(s.fromKana, j - s.fromKana), *s.note);
    i = s.fromCell;
    j = s.fromKana;
  }
}

// The appendix words whose characters run over whole pieces and the kana between them
// (差し支える: 差 and 支 around し): the pieces they cover, read as a whole.
std::vector<bool> piecesInAppendixWords(std::span<const Cell> cells,
                                        std::span<const RubyPiece> pieces,
                                        std::span<const std::u32string> pieceReadings) {
  std::vector<bool> covered(pieces.size(), false);
  const auto& cores = appendixCores();
  for (std::size_t start = 0; start < cells.size(); ++start) {
    const int first = cells[start].piece;
    if (first < 0 || (start > 0 && cells[start - 1].piece == first)) continue;
    const auto found = cores.find(cells[start].value);
    if (found == cores.end()) continue;
    for (const AppendixCore& core : found->second) {
      if (!coreCharsAt(cells, start, core)) continue;
      const std::size_t end = start + core.chars.size();
      const int last = cells[end - 1].piece;
      if (last < 0 || (end < cells.size() && cells[end].piece == last)) continue;
      std::u32string read;
      bool readable = true;
      for (std::size_t k = start; k < end && readable; ++k) {
        if (cells[k].piece < 0) {
          readable = cells[k].kana != 0;
          read.push_back(cells[k].kana);
        } else if (k == start || cells[k - 1].piece != cells[k].piece) {
          read += pieceReadings[static_cast<std::size_t>(cells[k].piece)];
        }
      }
      if (!readable) continue;
      const auto length = coreReadingAt(read, 0, core, start > 0);
      if (!length || *length != read.size()) continue;
      for (int p = first; p <= last; ++p) covered[static_cast<std::size_t>(p)] = true;
    }
  }
  return covered;
}

std::vector<Cell> cellsOf(const sjis::SjisText& text, std::size_t offset, std::size_t length) {
  std::vector<Cell> cells;
  const sjis::SjisText word = sjis::slice(text, offset, length);
  sjis::forEachChar(word, [&](std::size_t at, const sjis::SjisChar& c) {
    Cell cell;
    cell.offset = offset + at;
    cell.length = c.length();
    cell.character = c;
    cell.value = valueOf(c);
    cell.kana = kanaAsHiragana(cell.value);
    if (cell.value == U'ヶ' || cell.value == U'ヵ') cell.kana = 0;  // 三ヶ月: read か or こ
    cells.push_back(cell);
  });
  return cells;
}

std::vector<ReadingNote> judgeWordWith(CandidateCache& cache, const sjis::SjisText& text,
                                       std::size_t wordOffset, std::size_t wordLength,
                                       std::span<const RubyPiece> pieces, int level,
                                       const JudgedAt& judged) {
  std::vector<ReadingNote> notes;
  if (pieces.empty()) return notes;
  std::vector<Cell> cells = cellsOf(text, wordOffset, wordLength);
  std::vector<std::u32string> pieceReadings;
  for (std::size_t p = 0; p < pieces.size(); ++p) {
    pieceReadings.push_back(codePoints(pieces[p].reading));
    for (Cell& cell : cells) {
      if (cell.offset >= pieces[p].offset && cell.offset < pieces[p].offset + pieces[p].length)
        cell.piece = static_cast<int>(p);
    }
  }
  for (Cell& cell : cells) cell.judged = isJudgedKind(cell.value) && judged(cell.offset);

  const std::vector<bool> covered = piecesInAppendixWords(cells, pieces, pieceReadings);
  for (std::size_t p = 0; p < pieces.size(); ++p) {
    if (covered[p]) continue;
    const auto first = std::find_if(cells.begin(), cells.end(),
                                    [&](const Cell& c) { return c.piece == static_cast<int>(p); });
    const auto end = std::find_if(first, cells.end(),
                                  [&](const Cell& c) { return c.piece != static_cast<int>(p); });
    if (first == end || pieceReadings[p].empty()) continue;
    const bool anyJudged = std::any_of(first, end, [](const Cell& c) { return c.judged; });
    if (!anyJudged) continue;
    judgePiece(cache, std::span<const Cell>(&*first, static_cast<std::size_t>(end - first)),
               pieceReadings[p], first == cells.begin(), level, wordOffset, wordLength, notes);
  }
  std::sort(notes.begin(), notes.end(),
            [](const ReadingNote& a, const ReadingNote& b) { return a.offset < b.offset; });
  return notes;
}

}  // namespace

std::vector<ReadingNote> judgeWord(const sjis::SjisText& text, std::size_t wordOffset,
                                   std::size_t wordLength, std::span<const RubyPiece> pieces,
                                   int level, const JudgedAt& judged) {
  CandidateCache cache;
  return judgeWordWith(cache, text, wordOffset, wordLength, pieces, level, judged);
}

std::function<bool(std::size_t)> exemptByClassSettings(
    const sjis::SjisText& text, std::span<const char32_t> known,
    std::span<const checker::AllowedOccurrence> allowed) {
  return [&text, known, allowed](std::size_t offset) {
    const auto after = std::upper_bound(
        allowed.begin(), allowed.end(), offset,
        [](std::size_t at, const checker::AllowedOccurrence& o) { return at < o.offset; });
    if (after != allowed.begin() && offset < std::prev(after)->offset + std::prev(after)->length)
      return true;
    if (known.empty()) return false;
    // Started at its place among the characters from outside the code page, not at the first.
    std::size_t cursor = static_cast<std::size_t>(
        std::lower_bound(text.foreign.begin(), text.foreign.end(), offset,
                         [](const sjis::ForeignChar& f, std::size_t at) { return f.offset < at; }) -
        text.foreign.begin());
    return std::binary_search(known.begin(), known.end(),
                              valueOf(sjis::charAt(text, offset, cursor)));
  };
}

std::vector<ReadingNote> readingNotes(const CheckedText& text, std::span<const Proposal> words,
                                      int level, const std::function<bool(std::size_t)>& exempt) {
  const sjis::SjisText& checked = text.converted.text;
  const std::vector<checker::TextColor> colours = coloursByByte(text.spans, checked.size());
  const JudgedAt judged = [&](std::size_t offset) {
    return colours[offset] != checker::TextColor::Red && !(exempt && exempt(offset));
  };
  std::vector<ReadingNote> notes;
  CandidateCache cache;
  for (const Proposal& word : words) {
    std::vector<ReadingNote> found =
        judgeWordWith(cache, checked, word.offset, word.length, word.ruby, level, judged);
    notes.insert(notes.end(), std::make_move_iterator(found.begin()),
                 std::make_move_iterator(found.end()));
  }
  return notes;
}

}  // namespace torvane::reading
