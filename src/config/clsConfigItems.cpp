#include "config/clsConfigItems.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include "config/CaseFold.h"

namespace {

// Settings are gathered into blocks of text of this size; a larger value
// takes a block of its own.
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
constexpr std::size_t kMostText = std::numeric_limits<std::uint32_t>::max();
constexpr std::size_t kMostItems = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

std::uint32_t HashOf(std::string_view folded) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : folded) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    // Spreads the low bits, which pick the slot.
    hash ^= hash >> 33;
    hash *= 0xFF51AFD7ED558CCDULL;
    hash ^= hash >> 33;
    return static_cast<std::uint32_t>(hash);
}

// A key folded into a buffer of the thread's, so a lookup allocates nothing;
// valid until the next call.
const std::string& Folded(std::string_view key) {
    thread_local std::string buffer;
    config::FoldCaseInto(key, buffer);
    return buffer;
}

}  // namespace

clsConfigItems::Block::Block(std::size_t capacity)
    : data_(static_cast<char*>(std::malloc(std::max<std::size_t>(capacity, 1)))), capacity_(capacity) {
    if (data_ == nullptr) throw std::bad_alloc();
}

clsConfigItems::Block::Block(Block&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

clsConfigItems::Block& clsConfigItems::Block::operator=(Block&& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    return *this;
}

clsConfigItems::Block::~Block() { std::free(data_); }

void clsConfigItems::Block::Append(std::string_view text) {
    if (text.size() > Room()) {
        // Growing in place where the allocator can (a large block is remapped,
        // not copied), doubling so a value added to line by line costs little.
        const std::size_t capacity = std::max(size_ + text.size(), capacity_ * 2);
        char* grown = static_cast<char*>(std::realloc(data_, capacity));
        if (grown == nullptr) throw std::bad_alloc();
        data_ = grown;
        capacity_ = capacity;
    }
    if (!text.empty()) std::memcpy(data_ + size_, text.data(), text.size());
    size_ += text.size();
}

std::string_view clsConfigItems::FiledKey(const Entry& entry) const {
    return {mBlocks[entry.block].Data() + entry.offset, entry.KeyLength()};
}

std::string_view clsConfigItems::StoredValue(const Entry& entry) const {
    if (entry.HandedOut()) return mHandedOut[entry.valueLength]->Value;
    return {mBlocks[entry.block].Data() + entry.offset + entry.keyLength, entry.valueLength};
}

std::optional<std::size_t> clsConfigItems::Locate(std::string_view folded, std::uint32_t hash) const {
    return mIndex.Find(hash, [&](std::size_t entry) {
        // The filed key folded again: the index keeps no second copy of it.
        thread_local std::string filed;
        config::FoldCaseInto(FiledKey(mEntries[entry]), filed);
        return filed == folded;
    });
}

std::uint32_t clsConfigItems::HashAt(std::size_t entry) const {
    thread_local std::string folded;
    config::FoldCaseInto(FiledKey(mEntries[entry]), folded);
    return HashOf(folded);
}

void clsConfigItems::GrowIndex(std::size_t count) {
    mIndex.Reserve(count, [this](std::size_t entry) { return HashAt(entry); });
}

// Everything that may fail (room, the item of a value past what the blocks
// can place) comes before the first change, so a failure leaves no setting
// half added: listed but not indexed.
std::size_t clsConfigItems::Append(std::string_view key, std::string_view value, std::uint32_t hash,
                                   std::unique_ptr<clsConfigItem> item) {
    if (mEntries.size() >= kMostItems) throw std::length_error("too many settings");
    if (key.size() > kMostText / 2) throw std::length_error("key too long");
    if (!item && value.size() > kMostText / 2) {
        item = std::make_unique<clsConfigItem>(clsConfigItem{std::string(key), std::string(value)});
    }
    const std::string_view stored = item ? std::string_view() : value;
    const std::size_t need = key.size() + stored.size();
    GrowIndex(mEntries.size() + 1);
    if (item) RoomToKeep();
    if (mEntries.size() == mEntries.capacity()) mEntries.reserve(std::max<std::size_t>(16, mEntries.size() * 2));
    if (mBlocks.empty() || mBlocks.back().Room() < need || mBlocks.back().Size() + need > kMostText) {
        mBlocks.emplace_back(std::max(kBlockBytes, need));
    }
    Block& block = mBlocks.back();
    Entry entry;
    entry.block = static_cast<std::uint32_t>(mBlocks.size() - 1);
    entry.offset = static_cast<std::uint32_t>(block.Size());
    entry.keyLength = static_cast<std::uint32_t>(key.size());
    entry.valueLength = static_cast<std::uint32_t>(stored.size());
    block.Append(key);
    block.Append(stored);
    mEntries.push_back(entry);
    if (item) Keep(mEntries.back(), std::move(item));
    mIndex.Insert(mEntries.size() - 1, hash);
    return mEntries.size() - 1;
}

clsConfigItem& clsConfigItems::Add(const std::string& Key, const std::string& Value) {
    const std::string folded = config::FoldCase(Key);
    const std::uint32_t hash = HashOf(folded);
    if (Locate(folded, hash)) throw DuplicateKeyError("key already present: " + Key);
    auto item = std::make_unique<clsConfigItem>(clsConfigItem{Key, Value});
    clsConfigItem& added = *item;
    Append(Key, std::string_view(), hash, std::move(item));
    return added;
}

std::int32_t clsConfigItems::FindOrAddText(std::string_view key, std::string_view value, bool& added) {
    const std::string& folded = Folded(key);
    const std::uint32_t hash = HashOf(folded);
    std::optional<std::size_t> found = Locate(folded, hash);
    added = !found;
    if (!found) found = Append(key, value, hash);
    return static_cast<std::int32_t>(*found + 1);
}

void clsConfigItems::AppendToValue(std::int32_t position, std::string_view first, std::string_view second) {
    const std::size_t index = At(position);
    Entry& entry = mEntries[index];
    const std::size_t more = first.size() + second.size();
    const std::size_t length = entry.keyLength + entry.valueLength;
    const bool last = !entry.HandedOut() && entry.block + 1 == mBlocks.size() &&
                      entry.offset + length == mBlocks[entry.block].Size();
    // Only the setting at the end of the text grows where it is (the one a
    // loading adds to); any other is handed out to grow as an item.
    if (!last || length + more > kMostText) {
        std::string& value = HandOut(index).Value;
        value += first;
        value += second;
        return;
    }
    if (mBlocks[entry.block].Room() < more && entry.offset > 0) {
        // A block of its own, where it grows without copying its neighbours.
        Block own(std::max(kBlockBytes, 2 * (length + more)));
        own.Append(std::string_view(mBlocks[entry.block].Data() + entry.offset, length));
        mBlocks.push_back(std::move(own));
        mBlocks[entry.block].Truncate(entry.offset);
        entry.block = static_cast<std::uint32_t>(mBlocks.size() - 1);
        entry.offset = 0;
    }
    mBlocks[entry.block].Append(first);
    mBlocks[entry.block].Append(second);
    entry.valueLength += static_cast<std::uint32_t>(more);
}

clsConfigItem& clsConfigItems::HandOut(std::size_t index) const {
    Entry& entry = mEntries[index];
    if (!entry.HandedOut()) {
        RoomToKeep();
        Keep(entry, std::make_unique<clsConfigItem>(
                        clsConfigItem{std::string(FiledKey(entry)), std::string(StoredValue(entry))}));
    }
    return *mHandedOut[entry.valueLength];
}

void clsConfigItems::RoomToKeep() const {
    if (!mFreeHandOuts.empty()) return;
    if (mHandedOut.size() >= Entry::kHandedOut) throw std::length_error("too many settings handed out");
    if (mHandedOut.size() == mHandedOut.capacity()) mHandedOut.reserve(std::max<std::size_t>(16, mHandedOut.size() * 2));
}

// The value's text stays in its block, unused: the key's is still the index's.
void clsConfigItems::Keep(Entry& entry, std::unique_ptr<clsConfigItem> item) const noexcept {
    std::uint32_t at = 0;
    if (mFreeHandOuts.empty()) {
        at = static_cast<std::uint32_t>(mHandedOut.size());
        mHandedOut.push_back(std::move(item));
    } else {
        at = mFreeHandOuts.back();
        mFreeHandOuts.pop_back();
        mHandedOut[at] = std::move(item);
    }
    entry.keyLength |= Entry::kHandedOut;
    entry.valueLength = at;
}

const clsConfigItem& clsConfigItems::Shown(std::size_t at, clsConfigItem& shown, std::size_t& shownAt) const {
    const Entry& entry = mEntries[at];
    if (entry.HandedOut()) return *mHandedOut[entry.valueLength];
    if (shownAt != at) {
        shown.Key.assign(FiledKey(entry));
        shown.Value.assign(StoredValue(entry));
        shownAt = at;
    }
    return shown;
}

void clsConfigItems::Reserve(std::size_t count) {
    count = std::min(count, kMostItems);
    mEntries.reserve(count);
    GrowIndex(count);
}

std::size_t clsConfigItems::At(std::int32_t position) const {
    if (position < 1 || position > Count()) {
        throw PositionOutOfRangeError("position " + std::to_string(position) + " outside 1.." +
                                      std::to_string(Count()));
    }
    return static_cast<std::size_t>(position - 1);
}

std::size_t clsConfigItems::Filed(const std::string& key) const {
    const std::string& folded = Folded(key);
    const std::optional<std::size_t> found = Locate(folded, HashOf(folded));
    if (!found) throw KeyNotFoundError("no item filed under key: " + key);
    return *found;
}

clsConfigItem& clsConfigItems::Item(std::int32_t vntIndexKey) { return HandOut(At(vntIndexKey)); }

const clsConfigItem& clsConfigItems::Item(std::int32_t vntIndexKey) const { return HandOut(At(vntIndexKey)); }

clsConfigItem& clsConfigItems::Item(const std::string& vntIndexKey) { return HandOut(Filed(vntIndexKey)); }

const clsConfigItem& clsConfigItems::Item(const std::string& vntIndexKey) const {
    return HandOut(Filed(vntIndexKey));
}

clsConfigItem* clsConfigItems::Find(const std::string& key) {
    const std::string& folded = Folded(key);
    const std::optional<std::size_t> found = Locate(folded, HashOf(folded));
    return found ? &HandOut(*found) : nullptr;
}

const clsConfigItem* clsConfigItems::Find(const std::string& key) const {
    return const_cast<clsConfigItems*>(this)->Find(key);
}

std::optional<std::string_view> clsConfigItems::ValueOf(const std::string& key) const {
    const std::string& folded = Folded(key);
    const std::optional<std::size_t> found = Locate(folded, HashOf(folded));
    if (!found) return std::nullopt;
    return ValueAt(*found);
}

std::string_view clsConfigItems::KeyAt(std::size_t index) const {
    const Entry& entry = mEntries[index];
    return entry.HandedOut() ? std::string_view(mHandedOut[entry.valueLength]->Key) : FiledKey(entry);
}

std::string_view clsConfigItems::ValueAt(std::size_t index) const { return StoredValue(mEntries[index]); }

std::int32_t clsConfigItems::Count() const { return static_cast<std::int32_t>(mEntries.size()); }

void clsConfigItems::Erase(std::size_t entry) {
    const Entry& erased = mEntries[entry];
    // Its item's place is kept for the next one handed out: setting and
    // removing a key time and again leaves nothing behind.
    if (erased.HandedOut() && mFreeHandOuts.size() == mFreeHandOuts.capacity()) {
        mFreeHandOuts.reserve(std::max<std::size_t>(16, mFreeHandOuts.size() * 2));
    }
    mIndex.Remove(entry, HashAt(entry), [this](std::size_t at) { return HashAt(at); });
    if (erased.HandedOut()) {
        mHandedOut[erased.valueLength].reset();
        mFreeHandOuts.push_back(erased.valueLength);
    }
    mEntries.erase(mEntries.begin() + static_cast<std::ptrdiff_t>(entry));
}

void clsConfigItems::Remove(std::int32_t vntIndexKey) { Erase(At(vntIndexKey)); }

void clsConfigItems::Remove(const std::string& vntIndexKey) { Erase(Filed(vntIndexKey)); }
