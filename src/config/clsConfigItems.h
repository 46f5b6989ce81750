// The ordered collection of settings, unique by key ignoring letter case.
// Items keep the order in which they were added; positions are 1-based.
// A file of a million settings is held in about the room its text takes: the
// keys and values loaded stay in large blocks of text, and a setting becomes
// an item object of its own only once it is handed out by reference. Looking
// up by key goes through an index of hashes of the folded keys, so a file of
// many thousands of settings loads and answers as fast as a small one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "config/KeyIndex.h"
#include "config/clsConfigItem.h"

// Add with a key that is already present, ignoring letter case.
class DuplicateKeyError final : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Item or Remove with a key under which nothing is filed.
class KeyNotFoundError final : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Item or Remove with a position below 1 or above Count.
class PositionOutOfRangeError final : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

class clsConfigItems final {
    // One setting, in 16 bytes: a file of millions of short settings is held
    // in little more than its text. Its key as filed at Add stays in the text
    // blocks for the index; its value is there too until the item is handed
    // out, from when `valueLength` tells where the item is.
    struct Entry {
        static constexpr std::uint32_t kHandedOut = std::uint32_t{1} << 31;  // In keyLength; keys are shorter.
        std::uint32_t block = 0;
        std::uint32_t offset = 0;  // Of the filed key; the value follows it.
        std::uint32_t keyLength = 0;
        std::uint32_t valueLength = 0;
        bool HandedOut() const { return (keyLength & kHandedOut) != 0; }
        std::uint32_t KeyLength() const { return keyLength & ~kHandedOut; }
    };

public:
    // Enumerates the items in insertion order. An item not handed out yet is
    // shown through a copy the iterator holds: a reference from it lasts
    // until the iterator moves.
    class const_iterator final {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = clsConfigItem;
        using difference_type = std::ptrdiff_t;
        using pointer = const clsConfigItem*;
        using reference = const clsConfigItem&;

        const_iterator() = default;
        const_iterator(const clsConfigItems* owner, std::size_t at) : owner_(owner), at_(at) {}
        reference operator*() const { return owner_->Shown(at_, shown_, shownAt_); }
        pointer operator->() const { return &**this; }
        const_iterator& operator++() { ++at_; return *this; }
        const_iterator operator++(int) { const_iterator old = *this; ++at_; return old; }
        bool operator==(const const_iterator& other) const { return at_ == other.at_; }

    private:
        const clsConfigItems* owner_ = nullptr;
        std::size_t at_ = 0;
        mutable clsConfigItem shown_;
        mutable std::size_t shownAt_ = SIZE_MAX;
    };

    clsConfigItems() = default;
    clsConfigItems(const clsConfigItems&) = delete;
    clsConfigItems& operator=(const clsConfigItems&) = delete;

    // Appends an item filed under `Key`; throws DuplicateKeyError, adding nothing,
    // when that key is present in any letter case.
    clsConfigItem& Add(const std::string& Key, const std::string& Value);

    // The item at a 1-based position; throws PositionOutOfRangeError.
    clsConfigItem& Item(std::int32_t vntIndexKey);
    const clsConfigItem& Item(std::int32_t vntIndexKey) const;
    // The item filed under a key, ignoring letter case; a text that looks like a
    // number is still a key. Throws KeyNotFoundError.
    clsConfigItem& Item(const std::string& vntIndexKey);
    const clsConfigItem& Item(const std::string& vntIndexKey) const;

    // The item filed under a key, ignoring letter case, or null: the lookup the
    // file class makes before it adds, so it never meets the errors above.
    clsConfigItem* Find(const std::string& key);
    const clsConfigItem* Find(const std::string& key) const;

    // Room for this many items in the list and the index, so that neither
    // is copied while a file loads; a generous guess costs address space only.
    void Reserve(std::size_t count);

    std::int32_t Count() const;

    void Remove(std::int32_t vntIndexKey);
    void Remove(const std::string& vntIndexKey);

    // Enumeration in insertion order, first to last.
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, mEntries.size()); }

    // What loading and saving use, so that no setting becomes an item object
    // of its own on their account:
    // The 1-based position of the setting filed under `key` ignoring letter
    // case, or else of a new one added with `value`; `added` tells which. One
    // lookup where Find and Add take two.
    std::int32_t FindOrAddText(std::string_view key, std::string_view value, bool& added);
    // Appends `first` and then `second` to the value of the setting at a position.
    void AppendToValue(std::int32_t position, std::string_view first, std::string_view second);
    // The value filed under a key, ignoring letter case; valid until the next change.
    std::optional<std::string_view> ValueOf(const std::string& key) const;
    // The key and value at a 0-based index, valid until the next change.
    std::string_view KeyAt(std::size_t index) const;
    std::string_view ValueAt(std::size_t index) const;

private:
    // A block of the settings' text. Growing one held by a single large value
    // may move it, never the other way round.
    class Block {
    public:
        Block() = default;
        explicit Block(std::size_t capacity);
        Block(Block&& other) noexcept;
        Block& operator=(Block&& other) noexcept;
        ~Block();
        std::size_t Size() const { return size_; }
        std::size_t Room() const { return capacity_ - size_; }
        const char* Data() const { return data_; }
        void Append(std::string_view text);
        void Truncate(std::size_t size) { size_ = size; }

    private:
        char* data_ = nullptr;
        std::size_t size_ = 0;
        std::size_t capacity_ = 0;
    };

    std::size_t Append(std::string_view key, std::string_view value, std::uint32_t hash,
                       std::unique_ptr<clsConfigItem> item = nullptr);
    std::size_t At(std::int32_t position) const;
    std::size_t Filed(const std::string& key) const;
    std::optional<std::size_t> Locate(std::string_view folded, std::uint32_t hash) const;
    std::uint32_t HashAt(std::size_t entry) const;
    void GrowIndex(std::size_t count);
    void Erase(std::size_t entry);
    std::string_view FiledKey(const Entry& entry) const;
    std::string_view StoredValue(const Entry& entry) const;
    clsConfigItem& HandOut(std::size_t entry) const;
    void RoomToKeep() const;
    void Keep(Entry& entry, std::unique_ptr<clsConfigItem> item) const noexcept;  // after RoomToKeep
    const clsConfigItem& Shown(std::size_t at, clsConfigItem& shown, std::size_t& shownAt) const;

    mutable std::vector<Entry> mEntries;  // An entry handed out says where its item is.
    std::vector<Block> mBlocks;
    config::KeyIndex mIndex;
    // The items handed out, where their entries say; null once removed, and
    // that place free for the next.
    mutable std::vector<std::unique_ptr<clsConfigItem>> mHandedOut;
    mutable std::vector<std::uint32_t> mFreeHandOuts;
};
