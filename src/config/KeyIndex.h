// Where each setting of the store is, by the hash of its folded key: open
// addressing with linear probing, at most 3/4 full, in 4 bytes a slot. A slot
// holds its setting's place and, in the bits the place leaves free, a part of
// the key's hash, so most slots a lookup passes are told apart without
// reading their key. The table is of any size (a slot's home is the hash
// scaled to it), so it is sized to the settings, not to a power of two, and
// its memory comes zeroed from the system: room set by for a file's possible
// settings is resident only where a slot is used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace config {

class KeyIndex final {
public:
    // The hash of the key of the setting at a place: asked for when slots move.
    using HashAt = std::function<std::uint32_t(std::size_t)>;

    KeyIndex() = default;
    KeyIndex(KeyIndex&& other) noexcept;
    KeyIndex& operator=(KeyIndex&& other) noexcept;
    KeyIndex(const KeyIndex&) = delete;
    KeyIndex& operator=(const KeyIndex&) = delete;
    ~KeyIndex();

    // Room for `count` settings, taking those indexed along.
    void Reserve(std::size_t count, const HashAt& hashAt);

    // The place of the setting filed under `hash` for which `matches` (given
    // a place) says yes, or nullopt.
    template <class Matches>
    std::optional<std::size_t> Find(std::uint32_t hash, const Matches& matches) const {
        if (size_ == 0) return std::nullopt;
        for (std::size_t at = Home(hash); slots_[at] != 0; at = Next(at)) {
            if (MayHold(at, hash) && matches(PlaceAt(at))) return PlaceAt(at);
        }
        return std::nullopt;
    }

    // Files the setting at `place` under `hash`; room for it was reserved.
    void Insert(std::size_t place, std::uint32_t hash);

    // Takes out the setting at `place`, filed under `hash`; the settings after
    // it move up one place.
    void Remove(std::size_t place, std::uint32_t hash, const HashAt& hashAt);

private:
    std::size_t Home(std::uint32_t hash) const { return static_cast<std::size_t>((std::uint64_t{hash} * size_) >> 32); }
    std::size_t Next(std::size_t at) const { return at + 1 == size_ ? 0 : at + 1; }
    std::size_t PlaceAt(std::size_t at) const { return (slots_[at] & placeMask_) - 1; }
    std::uint32_t Tag(std::uint32_t hash) const;
    bool MayHold(std::size_t at, std::uint32_t hash) const;
    std::uint32_t Slot(std::size_t place, std::uint32_t hash) const;

    std::uint32_t* slots_ = nullptr;  // 0: free; else the place + 1, the tag above it.
    std::size_t size_ = 0;
    unsigned placeBits_ = 0;          // Enough for size_ itself: a place + 1 is at most that.
    std::uint32_t placeMask_ = 0;
};

}  // namespace config
