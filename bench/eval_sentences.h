// Prose for the reading benchmarks: the evaluation sentences without their ruby marks.
#pragma once

#include <cstddef>
#include <string>

namespace torvane::bench {

// The sentences as UTF-8, repeated until their Shift_JIS form is about `bytes` long.
std::string evaluationSentences(std::size_t bytes);

}  // namespace torvane::bench
