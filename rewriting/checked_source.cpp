#include "rewriting/checked_source.h"

#include <unicode/ustring.h>

#include <algorithm>
#include <stdexcept>

#include "checker/allowing_classifier.h"
#include "checker/check_pass.h"
#include "checker/colours.h"
#include "reading/reading_notes.h"
#include "sjis/utf8.h"

namespace torvane::reading {
namespace {

std::string toUtf8(std::u16string_view utf16) {
  std::string out(utf16.size() * 3, '\0');
  std::int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8WithSub(out.data(), static_cast<std::int32_t>(out.size()), &length, utf16.data(),
                     static_cast<std::int32_t>(utf16.size()), 0xFFFD, nullptr, &status);
  if (U_FAILURE(status)) throw std::runtime_error("the text could not be converted to UTF-8");
  out.resize(static_cast<std::size_t>(length));
  return out;
}

}  // namespace

CheckedSource::CheckedSource(std::u16string_view utf16, std::vector<checker::Span> spans)
    : CheckedSource(utf16, sjis::encodeUtf16(utf16, sjis::LineBreaks::ToCrLf, true),
                    std::move(spans)) {}

// Both source maps come from the codec: one conversion of the UTF-16, one of its UTF-8 form.
CheckedSource::CheckedSource(std::u16string_view utf16, sjis::EncodedText byUnits,
                             std::vector<checker::Span> spans)
    : utf8_(toUtf8(utf16)), utf16Of_(std::move(byUnits.sourceOf)), spans_(std::move(spans)) {
  sjis::SjisEncoder encoder(sjis::LineBreaks::ToCrLf, true);
  encoder.reserve(byUnits.text.size());
  encoder.appendUtf8(utf8_);
  converted_ = std::move(encoder).finish(static_cast<std::uint32_t>(utf8_.size()));
  if (converted_.text != byUnits.text)
    throw std::logic_error("the text's two forms converted to different Shift_JIS");
}

CheckedSource CheckedSource::check(std::u16string_view utf16, int level,
                                   const checker::Classifier& classifier,
                                   const checker::AllowedWords* allowed) {
  sjis::EncodedText byUnits = sjis::encodeUtf16(utf16, sjis::LineBreaks::ToCrLf, true);
  checker::RecordingView view(byUnits.text, level);
  checker::ResultLists lists;
  if (allowed != nullptr) {
    checker::runCheck(view, checker::AllowingClassifier<checker::Classifier>(classifier, *allowed),
                      lists);
  } else {
    checker::runCheck(view, classifier, lists);
  }
  return CheckedSource(utf16, std::move(byUnits), std::move(view.spans().spans));
}

std::pair<std::size_t, std::size_t> CheckedSource::utf16Range(std::size_t offset,
                                                              std::size_t length) const {
  const std::size_t last = utf16Of_.size() - 1;
  return {utf16Of_[std::min(offset, last)], utf16Of_[std::min(offset + length, last)]};
}

std::size_t utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  sjis::forEachUtf8(utf8, [&](char32_t c, std::size_t) { units += c >= 0x10000 ? 2 : 1; });
  return units;
}

std::vector<TextEdit> textEdits(const CheckedSource& source, std::span<const Proposal> proposals,
                                std::span<const Mode> modes) {
  const CheckedText text = source.view();
  const std::vector<checker::TextColor> colours =
      coloursByByte(text.spans, text.converted.text.size());
  std::vector<TextEdit> edits;
  for (std::size_t i = 0; i < proposals.size() && i < modes.size(); ++i) {
    for (const RubyPiece& piece :
         piecesToWrite(proposals[i], modes[i], colours, text.converted.text)) {
      const auto [from, to] = source.utf16Range(piece.offset, piece.length);
      if (modes[i] == Mode::Kana) {
        edits.push_back({from, to, piece.reading});
        continue;
      }
      edits.push_back({from, from, "｜"});
      edits.push_back({to, to, "《" + piece.reading + "》"});
    }
  }
  return edits;
}

namespace {

// The words that hold a red kanji or a kanji a note is given, in text order; `notes` are in
// text order too, and each lies in one of `words`.
std::vector<Proposal> redOrNoted(std::vector<Proposal> words, std::span<const ReadingNote> notes,
                                 const checker::Classifier& classifier) {
  std::vector<Proposal> kept;
  auto note = notes.begin();
  for (Proposal& word : words) {
    while (note != notes.end() && note->offset < word.offset) ++note;
    const bool noted = note != notes.end() && note->offset < word.offset + word.length;
    if (noted || holdsRedKanji(word, classifier)) kept.push_back(std::move(word));
  }
  return kept;
}

// Gives each row what judging its reading again takes, from its first occurrence, and its notes.
void prepareJudging(std::vector<ProposalRow>& rows, std::span<const Proposal> proposals,
                    const CheckedText& text, int level,
                    const std::function<bool(std::size_t)>& exempt) {
  const sjis::SjisText& checked = text.converted.text;
  const std::vector<checker::TextColor> colours = coloursByByte(text.spans, checked.size());
  for (ProposalRow& row : rows) {
    const Proposal& first = proposals[row.occurrences.front()];
    RowJudging judging{sjis::slice(checked, first.offset, first.length), {}, level};
    std::size_t at = 0;
    for (const WordChar& c : row.chars) {
      const std::size_t offset = first.offset + at;
      if (colours[offset] != checker::TextColor::Red && !exempt(offset))
        judging.judged.push_back(at);
      at += c.length;
    }
    row.judging = std::move(judging);
    judgeReading(row);
  }
}

}  // namespace

ProposedReadings proposeReadings(const Analyzer& analyzer, std::u16string_view utf16, int level,
                                 const checker::Classifier& classifier,
                                 const ClassReadings& settings) {
  ProposedReadings readings{
      CheckedSource::check(utf16, level, classifier, settings.allowed), {}, {}};
  const CheckedText view = readings.source.view();
  if (!settings.judgeReadings) {
    readings.proposals = propose(analyzer, view, classifier);
    readings.rows = groupProposals(readings.proposals);
    return readings;
  }
  const sjis::SjisText& text = view.converted.text;
  const std::vector<checker::AllowedOccurrence> occurrences =
      settings.allowed != nullptr ? settings.allowed->find(text)
                                  : std::vector<checker::AllowedOccurrence>();
  const auto exempt = exemptByClassSettings(text, settings.known, occurrences);
  std::vector<Proposal> words = propose(analyzer, view, classifier, ProposalScope::EveryKanjiWord);
  const std::vector<ReadingNote> notes = readingNotes(view, words, level, exempt);
  readings.proposals = redOrNoted(std::move(words), notes, classifier);
  readings.rows = groupProposals(readings.proposals);
  prepareJudging(readings.rows, readings.proposals, view, level, exempt);
  return readings;
}

}  // namespace torvane::reading
