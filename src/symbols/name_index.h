// An open-addressing index over the names of one name space, so that a
// look-up does not walk a long hash chain.  The chains stay the record of
// insertion order (which the numbering walks follow); the index only finds
// the newest entry of a name, the one a chain walk would meet first.
#pragma once

#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

namespace koral {

inline uint32_t full_name_hash(std::string_view name) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (char c : name) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  return h;
}

template <typename Entry>
class NameIndex {
 public:
  // The newest entry named `name`, or null when the name was never entered.
  Entry* find(std::string_view name, uint32_t hash) const {
    if (slots_.empty()) return nullptr;
    std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (!slot.entry) return nullptr;
      if (slot.hash == hash && same_name(*slot.entry, name)) return slot.entry;
    }
  }

  // Makes `entry` the one found for its name.  False when no memory is left.
  bool put(Entry* entry, uint32_t hash) {
    if ((used_ + 1) * 2 > slots_.size() && !grow()) return false;
    std::string_view name(entry->name, entry->name_length);
    std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      Slot& slot = slots_[i];
      if (!slot.entry) {
        slot = Slot{hash, entry};
        ++used_;
        return true;
      }
      if (slot.hash == hash && same_name(*slot.entry, name)) {
        slot.entry = entry;
        return true;
      }
    }
  }

 private:
  struct Slot {
    uint32_t hash = 0;
    Entry* entry = nullptr;
  };

  static bool same_name(const Entry& e, std::string_view name) {
    return e.name_length == name.size() && std::memcmp(e.name, name.data(), name.size()) == 0;
  }

  bool grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    try {
      slots_.resize(old.empty() ? 64 : old.size() * 2);
    } catch (const std::bad_alloc&) {
      slots_.swap(old);
      return false;
    }
    std::size_t mask = slots_.size() - 1;
    for (const Slot& s : old) {
      if (!s.entry) continue;
      std::size_t i = s.hash & mask;
      while (slots_[i].entry) i = (i + 1) & mask;
      slots_[i] = s;
    }
    return true;
  }

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

}  // namespace koral
