// The result list a classified character is collected in.
#pragma once

#include <cstdint>

namespace torvane::checker {

enum class FoundList : std::uint8_t {
  None,
  Grade1,
  Grade2,
  Grade3,
  Grade4,
  Grade5,
  Grade6,
  JuniorHigh,
  Beyond,
};

}  // namespace torvane::checker
