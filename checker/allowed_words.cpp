#include "checker/allowed_words.h"

#include <algorithm>
#include <deque>
#include <utility>

#include "sjis/codec.h"
#include "sjis/utf8.h"

namespace torvane::checker {

AllowedWords::AllowedWords(std::span<const std::string> words) {
  // The trie, with its edges in a map while it grows.
  std::vector<std::vector<Edge>> children(1);
  std::vector<std::uint32_t> depthWord;  // the word that ends at a state, by state
  auto childIn = [&](std::uint32_t state, std::uint32_t symbol) -> std::uint32_t {
    for (const Edge& edge : children[state]) {
      if (edge.symbol == symbol) return edge.next;
    }
    return kRoot;
  };
  std::uint32_t nextSymbol = 1;
  auto symbolFor = [&](const sjis::SjisChar& c) -> std::uint32_t {
    std::uint32_t* slot = c.foreign() != 0 ? &foreignSymbols_[c.foreign()] : &symbols_[slotOf(c)];
    if (*slot == 0) *slot = nextSymbol++;
    return *slot;
  };

  std::vector<std::uint32_t> heads;  // the first four bytes of each longer word
  wordBytes_.reserve(words.size());
  for (std::size_t w = 0; w < words.size(); ++w) {
    const sjis::Utf8Decoded decoded = sjis::decodeUtf8(words[w]);
    const sjis::SjisText text = sjis::encode(decoded.text).text;
    wordBytes_.push_back(static_cast<std::uint32_t>(text.size()));
    // The check passes over spaces without looking, so no word can be found starting at one.
    if (text.empty() || text.bytes[0] == ' ' || text.bytes.starts_with("\x81\x40")) continue;
    std::size_t foreignCursor = 0;
    const sjis::SjisChar first = sjis::charAt(text, 0, foreignCursor);
    const bool isShort = text.size() < 4;
    if (!isShort) {
      std::uint32_t head;
      std::memcpy(&head, text.bytes.data(), 4);
      heads.push_back(head);
    }
    if (first.foreign() != 0) {
      hasForeignShortStarts_ = hasForeignShortStarts_ || isShort;
    } else {
      startsByCode_[first.code()] |= isShort ? kShortStart : kLongStart;
    }
    std::uint32_t state = kRoot;
    sjis::forEachChar(text, [&](std::size_t, const sjis::SjisChar& c) {
      const std::uint32_t symbol = symbolFor(c);
      std::uint32_t next = childIn(state, symbol);
      if (next == kRoot) {
        next = static_cast<std::uint32_t>(children.size());
        children[state].push_back({symbol, next});
        children.emplace_back();
        states_.emplace_back();
      }
      state = next;
    });
    // A word given twice (or two words with one Shift_JIS form) stands for the first.
    if (states_[state].word == kNoWord) states_[state].word = static_cast<std::uint32_t>(w);
    states_[state].own = states_[state].word;
  }

  // A block of eight words for about eight heads: 128 KB for 10,000 words.
  unsigned blockBits = 1;
  while (blockBits < 20 && (std::size_t{8} << blockBits) < heads.size()) ++blockBits;
  headShift_ = 64 - blockBits;
  headBits_.assign(std::size_t{8} << blockBits, 0);
  for (const std::uint32_t head : heads) {
    const auto [word, mask] = headBitsOf(head);
    headBits_[word] |= mask;
  }

  // Failure links breadth first. Under the leftmost rule a state where a word ends fails to
  // nowhere: past it, any later word would start later, and the earlier start wins.
  rootNext_.assign(nextSymbol, kRoot);
  std::deque<std::uint32_t> queue;
  for (const Edge& edge : children[kRoot]) {
    rootNext_[edge.symbol] = edge.next;
    states_[edge.next].fail = states_[edge.next].word != kNoWord ? kDead : kRoot;
    queue.push_back(edge.next);
  }
  auto follow = [&](std::uint32_t state, std::uint32_t symbol) -> std::uint32_t {
    for (;;) {
      if (state == kDead) return kDead;
      if (state == kRoot) return rootNext_[symbol];
      if (const std::uint32_t next = childIn(state, symbol); next != kRoot) return next;
      state = states_[state].fail;
    }
  };
  std::vector<std::uint32_t> byDepth = {kRoot};  // breadth first
  while (!queue.empty()) {
    const std::uint32_t state = queue.front();
    queue.pop_front();
    byDepth.push_back(state);
    for (const Edge& edge : children[state]) {
      queue.push_back(edge.next);
      State& next = states_[edge.next];
      if (next.word != kNoWord) {
        next.fail = kDead;
        continue;
      }
      next.fail = follow(states_[state].fail, edge.symbol);
      // Not a word itself: the longest word that ends here is its failure's.
      if (next.fail != kDead) next.word = states_[next.fail].word;
    }
  }

  // Numbered breadth first, so the states near the root, where a walk spends most of its
  // time, lie together in a few cache lines.
  std::vector<std::uint32_t> renumbered(states_.size());
  for (std::size_t k = 0; k < byDepth.size(); ++k) {
    renumbered[byDepth[k]] = static_cast<std::uint32_t>(k);
  }
  const auto moved = [&](std::uint32_t state) {
    return state == kDead ? kDead : renumbered[state];
  };
  std::vector<State> states(states_.size());
  firstEdge_.assign(states_.size() + 1, 0);
  for (std::size_t k = 0; k < byDepth.size(); ++k) {
    const std::uint32_t old = byDepth[k];
    State& state = states[k];
    state.fail = moved(states_[old].fail);
    state.word = states_[old].word;
    state.own = states_[old].own;
    std::vector<Edge>& edges = children[old];
    for (Edge& edge : edges) {
      edge.next = renumbered[edge.next];
      state.edgeBits |= std::uint64_t{1} << (edge.symbol & 63);
    }
    std::ranges::sort(edges, {}, &Edge::symbol);
    firstEdge_[k + 1] = firstEdge_[k] + static_cast<std::uint32_t>(edges.size());
    edges_.insert(edges_.end(), edges.begin(), edges.end());
  }
  states_ = std::move(states);
  for (std::uint32_t& to : rootNext_) to = renumbered[to];
  rootBySlot_.resize(symbols_.size());
  for (std::size_t slot = 0; slot < symbols_.size(); ++slot)
    rootBySlot_[slot] = rootNext_[symbols_[slot]];
}

std::uint32_t AllowedWords::edgeTo(std::uint32_t state, std::uint32_t symbol) const {
  const Edge* first = edges_.data() + firstEdge_[state];
  const Edge* last = edges_.data() + firstEdge_[state + 1];
  if (last - first <= 8) {
    for (; first != last; ++first) {
      if (first->symbol == symbol) return first->next;
    }
    return kRoot;
  }
  const Edge* it = std::lower_bound(
      first, last, symbol, [](const Edge& edge, std::uint32_t s) { return edge.symbol < s; });
  return it != last && it->symbol == symbol ? it->next : kRoot;
}

void AllowedWords::Scanner::step(const Pushed& c) {
  const std::uint32_t state = words_.next(state_, c.symbol);
  if (state == kDead && !hasMatch_) {
    // Only a state past a word fails to nowhere, and reaching one recorded that word; should that
    // ever not hold, the character starts afresh rather than losing a word.
    state_ = kRoot;
    step(c);
    return;
  }
  if (state == kDead) {
    // The attempt is over: its best occurrence stands, and the search starts again right after
    // it, with the characters read past it.
    emitAndReplay();
    step(c);
    return;
  }
  state_ = state;
  if (words_.states_[state].word != kNoWord) {
    record(c.offset + c.length, state);
  } else if (hasMatch_) {
    after_.push_back(c);
  }
}

void AllowedWords::Scanner::record(std::size_t end, std::uint32_t state) {
  const std::uint32_t word = words_.states_[state].word;
  const std::size_t length = words_.wordBytes_[word];
  match_ = {end - length, length, word};
  hasMatch_ = true;
  after_.clear();
}

void AllowedWords::Scanner::emitAndReplay() {
  found_.push_back(match_);
  hasMatch_ = false;
  state_ = kRoot;
  const std::vector<Pushed> again = std::exchange(after_, {});
  for (const Pushed& c : again) step(c);
}

std::vector<AllowedOccurrence> AllowedWords::Scanner::finish() && {
  while (hasMatch_) emitAndReplay();
  return std::move(found_);
}

AllowedOccurrence AllowedWords::longestAt(const sjis::SjisText& text, std::size_t offset) const {
  AllowedOccurrence longest{offset, 0, 0};
  // The characters from outside the code page at or after the offset, for their symbols.
  std::size_t foreignCursor =
      text.foreign.empty()
          ? 0
          : static_cast<std::size_t>(
                std::ranges::lower_bound(text.foreign, offset, {}, &sjis::ForeignChar::offset) -
                text.foreign.begin());
  std::uint32_t state = kRoot;
  for (std::size_t at = offset; at < text.size();) {
    const sjis::SjisChar c = sjis::charAt(text, at, foreignCursor);
    state = state == kRoot ? rootNext_[symbolOf(c)] : child(state, symbolOf(c));
    if (state == kRoot) break;
    at += c.length();
    if (const std::uint32_t word = states_[state].own; word != kNoWord) {
      longest = {offset, at - offset, word};
    }
  }
  return longest;
}

std::vector<AllowedOccurrence> AllowedWords::find(const sjis::SjisText& text) const {
  if (empty()) return {};
  Finder finder(*this);
  sjis::forEachChar(text, [&](std::size_t offset, const sjis::SjisChar& c) {
    finder.covers(text, offset, c);
  });
  return std::move(finder).take();
}

}  // namespace torvane::checker
