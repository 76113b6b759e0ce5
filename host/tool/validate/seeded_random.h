// A random stream that comes out the same on every platform and build for
// the same seed, so that a run and every sequence in it can be made again.
#pragma once

#include <cstdint>
#include <vector>

class SeededRandom {
public:
    explicit SeededRandom(uint64_t seed) : state(seed) {}

    // splitmix64: one multiply-xorshift mix of a counter.
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 to n - 1; 0 when n is 0.
    uint64_t below(uint64_t n) { return n == 0 ? 0 : next() % n; }
    int64_t between(int64_t least, int64_t most) {
        return least + static_cast<int64_t>(below(static_cast<uint64_t>(most - least) + 1));
    }
    bool chance(unsigned percent) { return below(100) < percent; }
    // 0 to 1 in steps of 2^-24, every one a float exactly.
    float unit() { return static_cast<float>(next() >> 40) / 16777216.0f; }

    template <typename T>
    const T& pick(const std::vector<T>& items) {
        return items[below(items.size())];
    }

private:
    uint64_t state;
};

// One seed from two, e.g. a run's seed and a sequence's number.
inline uint64_t mixSeeds(uint64_t a, uint64_t b) {
    SeededRandom mixer(a ^ (b * 0xD1B54A32D192ED03ull));
    mixer.next();
    return mixer.next();
}
