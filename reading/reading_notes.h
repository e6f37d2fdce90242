// Readings a class has not learnt yet: for each kanji the check left unred, the part of its word's
// reading that falls to it, held against the readings of the jōyō list by school stage. A kanji
// can be learnt while one of its readings is not: 今 is a first-grade kanji, 今上 (きんじょう) uses
// a junior-high reading of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "checker/allowed_words.h"
#include "reading/proposals.h"
#include "reading/reading_stages.h"
#include "reading/ruby_pieces.h"
#include "sjis/sjis_text.h"

namespace torvane::reading {

// Why a reading is not yet allowed: the stage that teaches it, or none (表外読み).
enum class NoteStage : std::uint8_t { JuniorHigh, HighSchool, OutsideJoyo };

constexpr std::string_view noteStageKey(NoteStage stage) {
  switch (stage) {
    case NoteStage::JuniorHigh: return "junior_high";
    case NoteStage::HighSchool: return "high_school";
    case NoteStage::OutsideJoyo: return "outside_joyo";
  }
  return "outside_joyo";
}

struct ReadingNote {
  std::size_t offset = 0;  // the kanji: bytes of the checked Shift_JIS text
  std::size_t length = 0;
  sjis::SjisChar character;
  std::string reading;  // hiragana: the part of the word's reading that falls to the kanji
  NoteStage stage = NoteStage::OutsideJoyo;
  std::size_t wordOffset = 0;  // the word it stands in
  std::size_t wordLength = 0;
  bool operator==(const ReadingNote&) const = default;
};

// Whether the character at a byte offset is judged: a kanji the check did not make red and that
// no class setting (known kanji, allowed words) exempts.
using JudgedAt = std::function<bool(std::size_t offset)>;

// The notes of one word, in text order. Each piece's reading is divided among its kanji by
// their listed readings, with the sound changes a compound makes (rendaku, a final small っ) and
// the stem of a reading with okurigana; the appendix words (今日 きょう) count as one. A piece
// whose reading no division fits gives no note, except a lone kanji, whose reading is then none
// of the list's.
std::vector<ReadingNote> judgeWord(const sjis::SjisText& text, std::size_t wordOffset,
                                   std::size_t wordLength, std::span<const RubyPiece> pieces,
                                   int level, const JudgedAt& judged);

// What the class settings exempt: a known kanji (`known` ascending) and every character of an
// allowed word's occurrence (`allowed` in text order) give no note, since the class reads them.
// Valid while `text` and the two lists are.
std::function<bool(std::size_t offset)> exemptByClassSettings(
    const sjis::SjisText& text, std::span<const char32_t> known,
    std::span<const checker::AllowedOccurrence> allowed);

// The notes of every word of a checked text (propose(..., ProposalScope::EveryKanjiWord)), from
// the words' ruby pieces, in text order. `exempt` (may be empty) tells the characters a class
// setting lets pass.
std::vector<ReadingNote> readingNotes(const CheckedText& text, std::span<const Proposal> words,
                                      int level,
                                      const std::function<bool(std::size_t offset)>& exempt = {});

}  // namespace torvane::reading
