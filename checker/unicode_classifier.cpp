#include "checker/unicode_classifier.h"

namespace torvane::checker {
namespace {

constexpr std::uint16_t kFullWidthSpace = 0x8140;

bool examinedByThePass(const sjis::SjisChar& c) {
  return c.length() == 2 ? c.code() != kFullWidthSpace : c.code() != ' ';
}

}  // namespace

UnicodeClassifier::UnicodeClassifier(const Classifier& classifier)
    : classifier_(classifier), bmp_(0x10000) {
  const sjis::UnicodeForms& forms = sjis::UnicodeForms::get();
  for (char32_t c = 0; c < 0x10000; ++c) bmp_[c] = entryFor(forms.of(c), c);
  carriageReturn_ = entryFor({sjis::FormKind::Code, '\r', 1}, U'\r');
  lineFeed_ = entryFor({sjis::FormKind::Code, '\n', 1}, U'\n');
}

UnicodeClassifier::Entry UnicodeClassifier::entryFor(sjis::CharForm form,
                                                     char32_t character) const {
  const bool hasChar =
      form.kind() == sjis::FormKind::Code || form.kind() == sjis::FormKind::Placeholder;
  if (!hasChar) return {form, CharClass::OtherByte, false};
  const sjis::SjisChar c = Entry(form, CharClass::OtherByte, true).sjisChar(character);
  return {form, classifier_.classOf(c), examinedByThePass(c)};
}

UnicodeClassifier::Entry UnicodeClassifier::beyondBmp(char32_t character) const {
  return entryFor(sjis::UnicodeForms::beyondBmp(character), character);
}

}  // namespace torvane::checker
