// Which reading a word gets when the word list (EDICT's nouns, reading/dict/README.md) holds it:
// the analyser reads a compound by gluing its parts (荷馬車 にうましゃ) and a common word by a
// rarer reading (一目 いちもく), where the list knows the word whole and which readings are common.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "reading/analyzer.h"

namespace torvane::reading {

// `current` is the reading the analyser gave (empty when it knows none); `glued` says that it
// was put together from several morphemes; `ranked` are the word's readings as the analyser's
// dictionaries rank them (Analyzer::readingsOf). Keeps `current` where the list marks it common
// or cannot decide; otherwise the list's one common reading, or of several the one ranked first,
// or the list's one reading at all.
std::string chooseListedReading(std::span<const Analyzer::ListedReading> listed,
                                std::span<const std::string> ranked, std::string_view current,
                                bool glued);

// Of a word of kanji whose reading `chosen` is its kanji read on one by one (昨夜 さくや, 身体
// しんたい, 明後日 みょうごにち), the common reading of the list its kanji cannot spell, when there
// is one: the word as children's texts mean it (ゆうべ, からだ, あさって). Else `chosen`, and
// where that reading is `chosen` said quicker (唯一 ゆいつ for ゆいいつ).
std::string preferWordOfItsOwn(std::string_view surface,
                               std::span<const Analyzer::ListedReading> listed,
                               std::string chosen);

}  // namespace torvane::reading
