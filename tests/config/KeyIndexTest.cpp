// The store's key index under the hashes that stress it: many settings with
// one hash, homes at the table's end (their runs wrap to its start), removals
// inside runs and places renumbered after them, and growth past 2^16 places
// (fewer bits of hash left in a slot).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "config/KeyIndex.h"

namespace {

// Among few settings, hashes chosen so that homes crowd: a few values, the largest (home: the last slot)
// among them; among many, hashes as keys give them.
std::uint32_t HashFor(std::size_t settings, std::mt19937& random) {
    static const std::uint32_t kHashes[] = {0xFFFFFFFFu, 0xFFFFFFF0u, 0x80000000u, 0u, 0x12345678u};
    return settings > 1000 || random() % 3 == 0 ? static_cast<std::uint32_t>(random()) : kHashes[random() % 5];
}

TEST(KeyIndex, FindsEverySettingThroughCrowdedRunsRemovalsAndGrowth) {
    for (const std::size_t settings : {40u, 70000u}) {
        std::mt19937 random(static_cast<unsigned>(settings));
        std::vector<std::uint32_t> hashes;  // the model: the hash of each place, in order
        config::KeyIndex index;
        const auto hashAt = [&hashes](std::size_t place) { return hashes[place]; };
        const auto found = [&](std::size_t place) {
            return index.Find(hashes[place], [place](std::size_t at) { return at == place; });
        };
        // Among few, as many removals as additions once there are some; among many, a removal (which
        // renumbers the whole table) now and then, until they are all in.
        const bool few = settings < 1000;
        for (std::size_t step = 0; few ? step < 5000 : hashes.size() < settings; ++step) {
            const bool add = hashes.size() < 2 || (few ? hashes.size() < settings / 4 || random() % 2 == 0
                                                        : random() % 500 != 0);
            if (add && hashes.size() < settings) {
                index.Reserve(hashes.size() + 1, hashAt);
                hashes.push_back(HashFor(settings, random));
                index.Insert(hashes.size() - 1, hashes.back());
            } else {
                const std::size_t place = random() % hashes.size();
                index.Remove(place, hashes[place], hashAt);
                hashes.erase(hashes.begin() + static_cast<std::ptrdiff_t>(place));
            }
            if (few || step % 5000 == 0) {
                for (std::size_t place = 0; place < hashes.size(); ++place) ASSERT_EQ(found(place), place) << step;
            }
        }
        for (std::size_t place = 0; place < hashes.size(); ++place) ASSERT_EQ(found(place), place);
        // A place past the last is never answered, whatever its hash.
        EXPECT_EQ(index.Find(0xFFFFFFFFu, [&](std::size_t at) { return at >= hashes.size(); }), std::nullopt);
    }
}

}  // namespace
