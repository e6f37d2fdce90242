// The check of a UTF-8 text with no window behind it, for the command line: the same record,
// result lists and colour changes as the byte pass gives through BasicRecordingView on the
// converted text, without converting it.
#pragma once

#include <string_view>
#include <utility>
#include <variant>

#include "checker/recording_view.h"
#include "checker/table_sets.h"
#include "checker/unicode_pass.h"
#include "sjis/unicode_forms.h"
#include "tables/table_set.h"

namespace torvane::checker {

// UTF-8 as torvane-check reads it: a leading byte-order mark is skipped and the rest measured and
// found well-formed, before anything is written. The offset of a bad byte counts from the start
// of `bytes`, the mark included. The bytes must outlive the result.
std::variant<sjis::MeasuredUtf8, sjis::InvalidUtf8> utf8Input(std::string_view bytes);

template <class SpanSink>
struct UnicodeCheck {
  CheckRecord record;
  SpanSink spans;
};

// Throws CheckFailure as runCheck does (a recording view refuses no report line).
template <class SpanSink = SpanList>
UnicodeCheck<SpanSink> checkUtf8(const sjis::MeasuredUtf8& text, int level, tables::TableSet tables,
                                 ResultLists& lists, SpanSink sink = {}) {
  // The view's own text stays empty: the Unicode pass walks the text it is given.
  BasicRecordingView<SpanSink> view(sjis::SjisText{}, level, std::move(sink));
  runUnicodeCheckWith(view, text, unicodeClassifierFor(tables), lists);
  return {std::move(view).takeRecord(), std::move(view.spans())};
}

}  // namespace torvane::checker
