#include "config/KeyIndex.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

namespace config {

KeyIndex::KeyIndex(KeyIndex&& other) noexcept
    : slots_(std::exchange(other.slots_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      placeBits_(std::exchange(other.placeBits_, 0)),
      placeMask_(std::exchange(other.placeMask_, 0)) {}

KeyIndex& KeyIndex::operator=(KeyIndex&& other) noexcept {
    std::swap(slots_, other.slots_);
    std::swap(size_, other.size_);
    std::swap(placeBits_, other.placeBits_);
    std::swap(placeMask_, other.placeMask_);
    return *this;
}

KeyIndex::~KeyIndex() { std::free(slots_); }

std::uint32_t KeyIndex::Tag(std::uint32_t hash) const {
    // The hash's low bits: its high ones chose the home, so near slots differ here.
    const unsigned tagBits = 32 - placeBits_;
    return tagBits == 0 ? 0 : hash & ((std::uint32_t{1} << tagBits) - 1);
}

bool KeyIndex::MayHold(std::size_t at, std::uint32_t hash) const {
    return (std::uint64_t{slots_[at]} >> placeBits_) == Tag(hash);
}

std::uint32_t KeyIndex::Slot(std::size_t place, std::uint32_t hash) const {
    return static_cast<std::uint32_t>((std::uint64_t{Tag(hash)} << placeBits_) | (place + 1));
}

void KeyIndex::Reserve(std::size_t count, const HashAt& hashAt) {
    if (count * 4 <= size_ * 3) return;
    const std::size_t size = std::max<std::size_t>({16, count + count / 3 + 1, size_ * 2});
    if (size > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("too many settings");
    KeyIndex grown;
    grown.slots_ = static_cast<std::uint32_t*>(std::calloc(size, sizeof(std::uint32_t)));
    if (grown.slots_ == nullptr) throw std::bad_alloc();
    grown.size_ = size;
    grown.placeBits_ = static_cast<unsigned>(std::bit_width(size));
    grown.placeMask_ = static_cast<std::uint32_t>((std::uint64_t{1} << grown.placeBits_) - 1);
    for (std::size_t at = 0; at < size_; ++at) {
        if (slots_[at] != 0) grown.Insert(PlaceAt(at), hashAt(PlaceAt(at)));
    }
    *this = std::move(grown);
}

void KeyIndex::Insert(std::size_t place, std::uint32_t hash) {
    std::size_t at = Home(hash);
    while (slots_[at] != 0) at = Next(at);
    slots_[at] = Slot(place, hash);
}

void KeyIndex::Remove(std::size_t place, std::uint32_t hash, const HashAt& hashAt) {
    std::size_t hole = Home(hash);
    while (PlaceAt(hole) != place) hole = Next(hole);
    // Backward-shift deletion: each later slot of the run that may fill the
    // hole does, so no lookup stops early at a hole.
    for (std::size_t next = Next(hole); slots_[next] != 0; next = Next(next)) {
        const std::size_t home = Home(hashAt(PlaceAt(next)));
        const bool staysPut = hole <= next ? (hole < home && home <= next) : (hole < home || home <= next);
        if (staysPut) continue;
        slots_[hole] = slots_[next];
        hole = next;
    }
    slots_[hole] = 0;
    for (std::size_t at = 0; at < size_; ++at) {
        if (slots_[at] != 0 && PlaceAt(at) > place) --slots_[at];
    }
}

}  // namespace config
