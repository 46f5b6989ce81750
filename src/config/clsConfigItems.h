// The ordered collection of settings, unique by key ignoring letter case.
// Items keep the order in which they were added; positions are 1-based.
// Looking up by key goes through an index of the folded keys, so a file of
// many thousands of settings loads and answers as fast as a small one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <list>
#include <stdexcept>
#include <string>
#include <unordered_map>

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
    struct Entry {
        clsConfigItem item;
        // The folded key it was filed under at Add; assigning the item's Key
        // later does not refile it.
        std::string filed;
    };
    using Collection = std::list<Entry>;
    using iterator = Collection::iterator;

public:
    // Enumerates the items (not the entries) in insertion order.
    class const_iterator final {
    public:
        using iterator_category = std::bidirectional_iterator_tag;
        using value_type = clsConfigItem;
        using difference_type = std::ptrdiff_t;
        using pointer = const clsConfigItem*;
        using reference = const clsConfigItem&;

        const_iterator() = default;
        explicit const_iterator(Collection::const_iterator at) : at_(at) {}
        reference operator*() const { return at_->item; }
        pointer operator->() const { return &at_->item; }
        const_iterator& operator++() { ++at_; return *this; }
        const_iterator operator++(int) { const_iterator old = *this; ++at_; return old; }
        const_iterator& operator--() { --at_; return *this; }
        const_iterator operator--(int) { const_iterator old = *this; --at_; return old; }
        bool operator==(const const_iterator&) const = default;

    private:
        Collection::const_iterator at_;
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

    // The item filed under `key` ignoring letter case, or else a new one added
    // with `value`; `added` tells which. One lookup where Find and Add take two.
    clsConfigItem& FindOrAdd(const std::string& key, const std::string& value, bool& added);

    // Room for this many items without rebuilding the index.
    void Reserve(std::size_t count);

    std::int32_t Count() const;

    void Remove(std::int32_t vntIndexKey);
    void Remove(const std::string& vntIndexKey);

    // Enumeration in insertion order, first to last.
    const_iterator begin() const { return const_iterator(mCol.begin()); }
    const_iterator end() const { return const_iterator(mCol.end()); }

private:
    clsConfigItem& Append(std::string folded, const std::string& key, const std::string& value);
    iterator At(std::int32_t position);
    iterator Filed(const std::string& key);
    void Erase(iterator it);

    Collection mCol;
    // Folded filed key -> its entry in mCol.
    std::unordered_map<std::string, iterator> mIndex;
};
