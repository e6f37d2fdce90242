// Readings the words around a word decide, in its sentence: 角 a corner or a horn, 側 beside,
// 中 the while of a verb, 開く of itself.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "reading/analyzer.h"
#include "reading/joining.h"

namespace torvane::reading {

// 角 alone: in a sentence about a horned animal (鹿の角, 大きな角の鹿) or where it grows
// (角の生えた) つの; in one about shapes and measuring (三角形の角, 分度器で角を測る) the
// dictionary's かく; else the corner (角を曲がる, 角の店) かど, what children's prose means far
// more often.
void readCorners(std::string_view utf8, std::vector<Word>& words);

// Readings the words around a word decide in children's prose: 側 beside (年寄の側に そば), 上る
// out of or into something (湯から上る あがる), 一足 a step (ひとあし), 勢 alone (いきおい). Run
// after every other choice of reading, which would undo it.
void readByNeighbours(std::string_view utf8, std::span<const Morpheme> morphemes,
                      std::vector<Word>& words);

}  // namespace torvane::reading
