#include "reading/listed_choice.h"

#include <vector>

namespace torvane::reading {
namespace {

// ず and づ, じ and ぢ, as one: the list keeps older spellings (蹄 ひづめ) that modern kana
// usage writes otherwise (ひずめ).
std::string folded(std::string_view reading) {
  std::string out(reading);
  for (std::size_t at = 0; (at = out.find("づ", at)) != std::string::npos;)
    out.replace(at, 3, "ず");
  for (std::size_t at = 0; (at = out.find("ぢ", at)) != std::string::npos;)
    out.replace(at, 3, "じ");
  return out;
}

}  // namespace

std::string chooseListedReading(std::span<const Analyzer::ListedReading> listed,
                                std::span<const std::string> ranked, std::string_view current,
                                bool glued) {
  const std::string kept(current);
  if (listed.empty()) return kept;
  std::vector<std::string_view> common;
  bool known = false, knownCommon = false;
  const std::string mine = folded(current);
  for (const Analyzer::ListedReading& r : listed) {
    if (r.common) common.push_back(r.reading);
    const bool same = folded(r.reading) == mine;
    known = known || same;
    knownCommon = knownCommon || (same && r.common);
  }
  if (knownCommon) return kept;
  if (common.size() == 1) return std::string(common.front());
  // Of several common readings, the one the analyser's dictionaries rank first.
  auto bestCommon = [&]() -> std::string {
    for (const std::string& r : ranked) {
      for (const std::string_view c : common) {
        if (r == c) return r;
      }
    }
    return std::string(common.front());
  };
  if (known) return common.empty() ? kept : bestCommon();
  if (listed.size() == 1) return listed.front().reading;
  // Several readings, none the analyser's: a glued or missing one gives way to the list's.
  if (!glued && !current.empty()) return kept;
  return common.empty() ? listed.front().reading : bestCommon();
}

}  // namespace torvane::reading
