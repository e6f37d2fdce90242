// Readings in modern kana usage (現代仮名遣い, Cabinet notice of 1 July 1986): the dictionary
// spells a few words the older way, 授ける さづける, where schools write さずける.
#pragma once

#include <string>
#include <string_view>

namespace torvane::reading {

// `reading` (hiragana) of `surface` with its づ and ぢ written ず and じ, except where modern
// usage keeps them: after the same sound (つづく, ちぢむ) and where a kanji of the word reads
// つ or ち on its own and is voiced in the compound (三日月 みかづき, 鼻血 はなぢ). A kanji
// outside the jōyō list may read so: its word is left as it is.
std::string inModernKana(std::string_view surface, std::string reading);

}  // namespace torvane::reading
