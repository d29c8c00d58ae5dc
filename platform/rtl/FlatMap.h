// FlatMap.h - an open-addressing hash map of small keys to small values, in one array.
//
// For tables that see one insert and one erase per object over hundreds of thousands
// of objects (handles, event adapters, script-made objects): std::unordered_map takes
// a heap node per entry and scatters them, and freeing them in bulk is where the time
// went. Here an entry is a key and a value side by side in one power-of-two array,
// found by linear probing; erasing shifts the following entries back (no tombstones),
// so lookups stay short however many entries come and go.
//
// Keys are integers or pointers; the zero key (0, nullptr) marks a free slot and must
// not be stored. Keys and values are trivially copyable. Pointers to values are good
// only until the next insert or erase. Not here: iteration order (there is none to
// rely on) and thread safety (single-threaded, like the rest of the program).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <type_traits>

template <class K, class V>
class TFlatMap {
    static_assert(std::is_integral_v<K> || std::is_pointer_v<K>, "keys are integers or pointers");
    static_assert(std::is_trivially_copyable_v<V>, "values are trivially copyable");

public:
    TFlatMap() = default;
    TFlatMap(const TFlatMap&) = delete;
    TFlatMap& operator=(const TFlatMap&) = delete;
    TFlatMap(TFlatMap&& other) noexcept { Swap(other); }
    TFlatMap& operator=(TFlatMap&& other) noexcept
    {
        TFlatMap tmp(std::move(other));
        Swap(tmp);
        return *this;
    }

    size_t Size() const { return FSize; }
    bool Empty() const { return FSize == 0; }

    // The value of key, or nullptr.
    V* Find(K key)
    {
        if (FSize == 0 || key == K{})
            return nullptr;
        for (size_t i = Home(key);; i = (i + 1) & FMask) {
            if (FSlots[i].Key == key)
                return &FSlots[i].Value;
            if (FSlots[i].Key == K{})
                return nullptr;
        }
    }
    const V* Find(K key) const { return const_cast<TFlatMap*>(this)->Find(key); }
    bool Contains(K key) const { return Find(key) != nullptr; }

    // The value of key, made value-initialised when key is new.
    V& operator[](K key)
    {
        if ((FSize + 1) * 2 > Capacity())
            Grow();
        size_t i = Home(key);
        for (; FSlots[i].Key != K{}; i = (i + 1) & FMask)
            if (FSlots[i].Key == key)
                return FSlots[i].Value;
        FSlots[i].Key = key;
        FSlots[i].Value = V{};
        ++FSize;
        return FSlots[i].Value;
    }

    // Removes key; false when it was not there.
    bool Erase(K key) noexcept
    {
        if (FSize == 0 || key == K{})
            return false;
        size_t i = Home(key);
        for (; FSlots[i].Key != key; i = (i + 1) & FMask)
            if (FSlots[i].Key == K{})
                return false;
        // Shift back every following entry that may not sit past the hole.
        for (size_t j = (i + 1) & FMask; FSlots[j].Key != K{}; j = (j + 1) & FMask) {
            const size_t home = Home(FSlots[j].Key);
            // Entry j may move to the hole i when its home is not inside (i, j].
            if (((j - home) & FMask) >= ((j - i) & FMask)) {
                FSlots[i] = FSlots[j];
                i = j;
            }
        }
        FSlots[i].Key = K{};
        --FSize;
        if (FSize * 8 < Capacity() && Capacity() > kMinCapacity) {
            // A table that was large once does not stay large; without memory for
            // the smaller one it stays as it is.
            try {
                Rehash(Capacity() / 2);
            } catch (const std::bad_alloc&) {
            }
        }
        return true;
    }

    void Clear()
    {
        FSlots.reset();
        FMask = 0;
        FSize = 0;
    }

    // Calls f(key, value) for every entry, in no particular order; f must not change the map.
    template <class F>
    void ForEach(F&& f) const
    {
        for (size_t i = 0; i < Capacity(); ++i)
            if (FSlots[i].Key != K{})
                f(FSlots[i].Key, FSlots[i].Value);
    }

private:
    struct TSlot {
        K Key{};
        V Value{};
    };
    static constexpr size_t kMinCapacity = 64; // at least four groups

    size_t Capacity() const { return FSlots ? FMask + 1 : 0; }

    // Fibonacci hashing spreads runs of nearby keys (rising handles, objects allocated
    // one after another) over the table, so no long runs of occupied slots form; yet
    // integer keys within one aligned group of sixteen share their slots' cache lines,
    // so handles made or freed one after another touch memory one after another.
    static constexpr int kGroupBits = std::is_pointer_v<K> ? 2 : 4;

    size_t Home(K key) const
    {
        uint64_t k;
        if constexpr (std::is_pointer_v<K>)
            k = reinterpret_cast<uintptr_t>(key) >> 4;
        else
            k = static_cast<uint64_t>(key);
        const uint64_t group = (k >> kGroupBits) * 0x9E3779B97F4A7C15ull;
        const uint64_t low = k & ((uint64_t(1) << kGroupBits) - 1);
        return static_cast<size_t>(((group >> FShift) << kGroupBits) | low) & FMask;
    }

    void Grow() { Rehash(FSlots ? Capacity() * 2 : kMinCapacity); }

    void Rehash(size_t capacity)
    {
        auto fresh = std::make_unique<TSlot[]>(capacity); // before anything changes
        const size_t oldCapacity = Capacity();
        std::unique_ptr<TSlot[]> old = std::move(FSlots);
        FSlots = std::move(fresh);
        FMask = capacity - 1;
        // The top bits of the product pick one of the groups.
        FShift = 64 - (std::countr_zero(capacity) - kGroupBits);
        FSize = 0;
        for (size_t i = 0; i < oldCapacity; ++i)
            if (old[i].Key != K{})
                (*this)[old[i].Key] = old[i].Value;
    }

    void Swap(TFlatMap& other) noexcept
    {
        std::swap(FSlots, other.FSlots);
        std::swap(FMask, other.FMask);
        std::swap(FShift, other.FShift);
        std::swap(FSize, other.FSize);
    }

    std::unique_ptr<TSlot[]> FSlots;
    size_t FMask = 0;
    int FShift = 63;
    size_t FSize = 0;
};
