// A small open-addressing hash set of 32-bit keys, for the uniqueness test of the result lists:
// probing a flat array stays in cache where a node-based set chases a pointer per lookup.
#pragma once

#include <cstdint>
#include <vector>

namespace torvane::checker {

class KeySet {
 public:
  // Inserts the key; false when it was there already. kEmpty itself cannot be stored.
  bool insert(std::uint32_t key) {
    if ((size_ + 1) * 2 > slots_.size()) grow();  // at most half full keeps probes short
    std::uint32_t& slot = slots_[findSlot(slots_, shift_, key)];
    if (slot == key) return false;
    slot = key;
    ++size_;
    return true;
  }
  bool contains(std::uint32_t key) const {
    if (slots_.empty()) return false;
    return slots_[findSlot(slots_, shift_, key)] == key;
  }
  void clear() {
    slots_.clear();
    shift_ = 32;
    size_ = 0;
  }
  std::size_t size() const { return size_; }

  static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;

 private:
  // The slot that holds the key, or the empty slot where it would go.
  static std::size_t findSlot(const std::vector<std::uint32_t>& slots, unsigned shift,
                              std::uint32_t key) {
    const std::size_t mask = slots.size() - 1;
    // Fibonacci hashing: the top bits of the product spread neighbouring code points apart.
    std::size_t i = static_cast<std::uint32_t>(key * 0x9E3779B9u) >> shift;
    while (slots[i] != kEmpty && slots[i] != key) i = (i + 1) & mask;
    return i;
  }
  void grow() {
    const unsigned shift = slots_.empty() ? 32 - 6 : shift_ - 1;
    std::vector<std::uint32_t> bigger(std::size_t{1} << (32 - shift), kEmpty);
    for (std::uint32_t key : slots_) {
      if (key != kEmpty) bigger[findSlot(bigger, shift, key)] = key;
    }
    slots_.swap(bigger);
    shift_ = shift;
  }

  std::vector<std::uint32_t> slots_;  // 2^(32 - shift_) slots, or none
  unsigned shift_ = 32;
  std::size_t size_ = 0;
};

}  // namespace torvane::checker
