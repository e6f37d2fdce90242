// Joining morphemes into the words a teacher reads as one: a compound noun with its prefixes and
// suffixes, a number with its counter, a verb or adjective with its okurigana, お and ご with
// their word.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "reading/analyzer.h"

namespace torvane::reading {

struct Word {
  std::size_t offset = 0;  // bytes of the UTF-8 text
  std::size_t length = 0;
  std::string reading;  // hiragana; empty when some part of it has no known reading
  std::size_t firstMorpheme = 0;
  std::size_t morphemeCount = 0;
};

// The words of a parsed text, in order, covering every morpheme once.
std::vector<Word> joinWords(std::string_view utf8, std::span<const Morpheme> morphemes);

// Whether `next` (spelt `nextSurface`) is a title or a noun of two characters or more after the
// name `name` (小林 / 少年, 明智 / 探偵): a word of its own, as editors give the name its ruby.
bool isTitleAfterName(const Morpheme& name, const Morpheme& next, std::string_view nextSurface);

// Whether `nextSurface` is a district, domain or region after the place's name `place` (印旛 /
// 郡, 奥羽 / 地方, 伊達 / 藩, 千歳 / 村): a word of its own, as editors give the name alone its
// ruby. A village or town after a given name is part of it (嘉市).
bool isRegionAfterPlace(const Morpheme& place, std::string_view nextSurface);

// Older prose writes less okurigana (悲み, 暖く, 冷い, 恐しく, 危い): the analyser then reads the
// kanji alone otherwise (ひ, だん, ひや, おそれ, き). Where a kun reading of the jōyō list, less
// some kana of its okurigana, is followed by the rest of that okurigana (its ending conjugated),
// a word that starts with the kanji alone reads it as that stem with the kana left out: 悲
// かなし, 暖 あたたか. Run after every other choice of reading, which would undo it.
void readOlderOkurigana(std::string_view utf8, std::span<const Morpheme> morphemes,
                        std::vector<Word>& words);

// Words children's prose means by another reading than the dictionaries' first: 家 alone is
// うち, 幸福 しあわせ, 好い いい, 廻る まわる; a word that starts with one reads it so. Run after
// every other choice of reading, as above.
void readNativeWords(std::string_view utf8, std::span<const Morpheme> morphemes,
                     std::vector<Word>& words);

// Western speech and older prose join a verb in う to て and た with its vowel rounded: 買うて
// こうて, 会うた おうた, 笑うて わろうて, where the dictionary reads the plain form (かうて).
void readRoundedVerbs(std::string_view utf8, std::span<const Morpheme> morphemes,
                      std::vector<Word>& words);

// Older prose spells out a word's last kana after it (尚お なお, 稀れ まれ, 更ら さら, 皆な
// みんな): the kana joins the word, which keeps its reading, so that it is not read twice. A
// verb's stem the analyser cuts off before that kana (遮ぎる) reads it once too: 遮 さえ.
void joinSpeltOutKana(std::string_view utf8, std::span<const Morpheme> morphemes,
                      std::vector<Word>& words);

}  // namespace torvane::reading
