// The colour a check left on every byte of the text, from the colour changes it made.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "checker/recording_view.h"

namespace torvane::reading {

inline std::vector<checker::TextColor> coloursByByte(std::span<const checker::Span> spans,
                                                     std::size_t size) {
  std::vector<checker::TextColor> colours(size, checker::TextColor::Black);
  for (const checker::Span& span : spans) {
    const std::size_t end = span.offset + span.length < size ? span.offset + span.length : size;
    for (std::size_t i = span.offset; i < end; ++i) colours[i] = span.color;
  }
  return colours;
}

}  // namespace torvane::reading
