// TFlatMap against std::unordered_map: the same random inserts, finds and erases
// over key patterns that stress linear probing (runs of rising keys, keys that share
// their low bits, pointers), then the growing and shrinking a table goes through.
#include "platform/rtl/FlatMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <unordered_map>
#include <vector>

namespace {

template <class K>
void CheckSame(const TFlatMap<K, int>& flat, const std::unordered_map<K, int>& ref)
{
    ASSERT_EQ(flat.Size(), ref.size());
    for (const auto& [k, v] : ref) {
        const int* found = flat.Find(k);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(*found, v);
    }
    size_t seen = 0;
    flat.ForEach([&](K k, int v) {
        ++seen;
        const auto it = ref.find(k);
        ASSERT_NE(it, ref.end());
        EXPECT_EQ(it->second, v);
    });
    EXPECT_EQ(seen, ref.size());
}

TEST(FlatMapTest, AgreesWithUnorderedMapUnderRandomWork)
{
    struct Pattern {
        const char* why;
        uint32_t (*key)(uint32_t i);
    };
    const Pattern kPatterns[] = {
        {"rising handles", [](uint32_t i) { return i + 1; }},
        {"keys sharing their low 12 bits", [](uint32_t i) { return (i + 1) << 12; }},
        {"keys four apart", [](uint32_t i) { return 4 * i + 3; }},
        {"scattered", [](uint32_t i) { return (i * 2654435761u) | 1u; }},
    };
    for (const Pattern& p : kPatterns) {
        SCOPED_TRACE(p.why);
        std::mt19937 rng(7);
        TFlatMap<uint32_t, int> flat;
        std::unordered_map<uint32_t, int> ref;
        for (int step = 0; step < 60000; ++step) {
            const uint32_t key = p.key(rng() % 5000);
            switch (rng() % 4) {
            case 0:
            case 1:
                flat[key] = step;
                ref[key] = step;
                break;
            case 2:
                EXPECT_EQ(flat.Erase(key), ref.erase(key) == 1);
                break;
            default:
                EXPECT_EQ(flat.Contains(key), ref.count(key) == 1);
            }
        }
        CheckSame(flat, ref);
        // Emptied in a random order, the table shrinks and keeps finding the rest.
        std::vector<uint32_t> keys;
        for (const auto& [k, v] : ref)
            keys.push_back(k);
        std::shuffle(keys.begin(), keys.end(), rng);
        for (size_t i = 0; i < keys.size(); ++i) {
            ASSERT_TRUE(flat.Erase(keys[i]));
            ref.erase(keys[i]);
            if (i % 512 == 0)
                CheckSame(flat, ref);
        }
        EXPECT_TRUE(flat.Empty());
        EXPECT_FALSE(flat.Erase(p.key(1)));
    }
}

TEST(FlatMapTest, PointerKeysAndEdgeCases)
{
    std::vector<int> objects(3000);
    TFlatMap<const int*, int> flat;
    EXPECT_EQ(flat.Find(&objects[0]), nullptr) << "an empty map finds nothing";
    EXPECT_FALSE(flat.Erase(&objects[0]));
    EXPECT_EQ(flat.Find(nullptr), nullptr) << "the free-slot key is never found";
    for (size_t i = 0; i < objects.size(); ++i)
        flat[&objects[i]] = static_cast<int>(i);
    EXPECT_EQ(flat[&objects[7]], 7) << "operator[] on a present key keeps its value";
    EXPECT_EQ(flat.Size(), objects.size());
    // Last in, first out, as components go.
    for (size_t i = objects.size(); i-- > 0;) {
        ASSERT_TRUE(flat.Erase(&objects[i]));
        if (i > 0) {
            ASSERT_NE(flat.Find(&objects[i - 1]), nullptr);
        }
    }
    EXPECT_TRUE(flat.Empty());
    flat[&objects[1]] = 5;
    TFlatMap<const int*, int> moved = std::move(flat);
    EXPECT_EQ(*moved.Find(&objects[1]), 5);
    moved.Clear();
    EXPECT_EQ(moved.Find(&objects[1]), nullptr);
}

} // namespace
