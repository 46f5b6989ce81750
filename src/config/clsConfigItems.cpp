#include "config/clsConfigItems.h"

#include <limits>

#include "config/CaseFold.h"

clsConfigItem& clsConfigItems::Add(const std::string& Key, const std::string& Value) {
    std::string folded = config::FoldCase(Key);
    if (mIndex.contains(folded)) throw DuplicateKeyError("key already present: " + Key);
    return Append(std::move(folded), Key, Value);
}

clsConfigItem& clsConfigItems::FindOrAdd(const std::string& key, const std::string& value, bool& added) {
    std::string folded = config::FoldCase(key);
    const auto found = mIndex.find(folded);
    added = found == mIndex.end();
    if (!added) return found->second->item;
    return Append(std::move(folded), key, value);
}

clsConfigItem& clsConfigItems::Append(std::string folded, const std::string& key, const std::string& value) {
    if (mCol.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw std::length_error("too many settings");
    }
    mCol.push_back(Entry{clsConfigItem{key, value}, folded});
    const iterator it = std::prev(mCol.end());
    mIndex.emplace(std::move(folded), it);
    return it->item;
}

void clsConfigItems::Reserve(std::size_t count) { mIndex.reserve(count); }

clsConfigItems::iterator clsConfigItems::At(std::int32_t position) {
    if (position < 1 || position > Count()) {
        throw PositionOutOfRangeError("position " + std::to_string(position) + " outside 1.." +
                                      std::to_string(Count()));
    }
    // Walk from the nearer end: positions are rare, and the list keeps removal cheap.
    const auto size = static_cast<std::int32_t>(mCol.size());
    if (position <= size / 2) return std::next(mCol.begin(), position - 1);
    return std::prev(mCol.end(), size - position + 1);
}

clsConfigItems::iterator clsConfigItems::Filed(const std::string& key) {
    const auto found = mIndex.find(config::FoldCase(key));
    if (found == mIndex.end()) throw KeyNotFoundError("no item filed under key: " + key);
    return found->second;
}

clsConfigItem& clsConfigItems::Item(std::int32_t vntIndexKey) { return At(vntIndexKey)->item; }

const clsConfigItem& clsConfigItems::Item(std::int32_t vntIndexKey) const {
    return const_cast<clsConfigItems*>(this)->At(vntIndexKey)->item;
}

clsConfigItem& clsConfigItems::Item(const std::string& vntIndexKey) {
    return Filed(vntIndexKey)->item;
}

const clsConfigItem& clsConfigItems::Item(const std::string& vntIndexKey) const {
    return const_cast<clsConfigItems*>(this)->Filed(vntIndexKey)->item;
}

clsConfigItem* clsConfigItems::Find(const std::string& key) {
    const auto found = mIndex.find(config::FoldCase(key));
    return found == mIndex.end() ? nullptr : &found->second->item;
}

const clsConfigItem* clsConfigItems::Find(const std::string& key) const {
    return const_cast<clsConfigItems*>(this)->Find(key);
}

std::int32_t clsConfigItems::Count() const { return static_cast<std::int32_t>(mCol.size()); }

void clsConfigItems::Erase(iterator it) {
    mIndex.erase(it->filed);
    mCol.erase(it);
}

void clsConfigItems::Remove(std::int32_t vntIndexKey) { Erase(At(vntIndexKey)); }

void clsConfigItems::Remove(const std::string& vntIndexKey) { Erase(Filed(vntIndexKey)); }
