// What the fingerprint programs share: a hash of the bytes a plug-in gives,
// random numbers drawn alike on every platform, and the printing of the
// scenarios' hashes or their comparison with another build's.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

class Fingerprint {
public:
    void add(const void* data, size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            hash ^= bytes[i];
            hash *= 1099511628211ull;
        }
    }
    void add(float v) { add(&v, sizeof v); }
    void add(double v) { add(&v, sizeof v); }
    void add(const std::string& text) { add(text.c_str(), text.size() + 1); }
    std::string hex() const;

private:
    uint64_t hash = 14695981039346656037ull;
};

// Numbers drawn the same way on every platform: the engine is defined by the
// standard, the conversion to [0, 1) is done here rather than by a library
// distribution.
class Draw {
public:
    explicit Draw(uint32_t seed) : engine(seed) {}
    float unit() { return static_cast<float>(engine() >> 8) * 0x1p-24f; }
    float signal() { return 2.0f * unit() - 1.0f; }
    int32_t below(int32_t n) { return static_cast<int32_t>(engine() % static_cast<uint32_t>(n)); }

private:
    std::mt19937 engine;
};

struct Scenario {
    std::string name;
    std::string hash;
};

// Prints one line per scenario, or, given another build's lines, compares
// with them: 0 when every scenario is there with the same hash and no more.
int printOrCompare(const std::vector<Scenario>& scenarios, const char* reference, const char* tool);
