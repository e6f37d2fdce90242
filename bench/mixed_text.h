// A generated Shift_JIS text that mixes what Japanese prose holds: kanji of every grade,
// junior-high kanji and kanji beyond them, kana, Latin letters, digits, symbols, spaces and
// line breaks.
#pragma once

#include <cstddef>
#include <string>

#include "tables/class_strings.h"

namespace torvane::bench {

enum class Spread { Zipf, Uniform };

std::string mixedSjisText(const tables::ClassStrings& strings, std::size_t bytes,
                          Spread spread = Spread::Zipf, unsigned seed = 932);

}  // namespace torvane::bench
