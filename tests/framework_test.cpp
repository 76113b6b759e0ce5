// The parameter framework with a table of its own: units this effect does not
// use, the number format, and the listener hooks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "core/parameter_text.h"
#include "framework/tolm_au_base.h"

namespace {

const ParameterDescription kTable[] = {
    {"Mode", kAudioUnitParameterUnit_Indexed, 0, 4, 1},
    {"Enabled", kAudioUnitParameterUnit_Boolean, 0, 1, 0},
    {"Length", kAudioUnitParameterUnit_Beats, 1, 16, 4},
    {"A name longer than sixteen", kAudioUnitParameterUnit_Seconds, 0, 10, 1},
    {"Tune", kAudioUnitParameterUnit_Cents, -100, 100, 0},
    {"Gain", kAudioUnitParameterUnit_Decibels, -60, 12, 0},
    {"Tempo", kAudioUnitParameterUnit_BPM, 20, 300, 120},
    {"Odd", 77, 0, 1, 0.5f},
    {"Fixed", kAudioUnitParameterUnit_Generic, 3, 3, 3},
    {"Cutoff", kAudioUnitParameterUnit_Hertz, 50, 8000, 1000},
    {"Wide", kAudioUnitParameterUnit_Hertz, 0.001f, 100000, 1},
};

class Framework : public TolmAuBase {
public:
    Framework() : TolmAuBase(nullptr, kTable, 11, 2) {}
    void store(int32_t index, float native) { currentProgram().setValue(index, native); }
    float stored(int32_t index) { return currentProgram().getValue(index); }
    std::string display(int32_t index) {
        char text[64];
        std::memset(text, 'x', sizeof text);
        getParameterDisplay(index, text);
        return text;
    }
    std::string label(int32_t index) {
        char text[64];
        getParameterLabel(index, text);
        return text;
    }
};

TEST(Framework, IndexedAndBeatsRoundToWholeNumbers) {
    Framework f;
    f.setParameter(0, 0.3f);
    EXPECT_EQ(f.display(0), "1.000000");
    f.setParameter(0, 0.375f);  // 1.5 rounds up
    EXPECT_EQ(f.display(0), "2.000000");
    EXPECT_FLOAT_EQ(f.getParameter(0), 0.5f) << "no rounding on the way back";
    f.setParameter(0, 1.0f);
    EXPECT_EQ(f.display(0), "4.000000");
    f.setParameter(2, 0.5f);  // 8.5 rounds up
    EXPECT_FLOAT_EQ(f.getParameter(2), 8.0f / 15.0f);
    EXPECT_EQ(f.label(2), "beats");
}

TEST(Framework, BooleanShowsOffOnlyForExactlyZero) {
    Framework f;
    EXPECT_EQ(f.display(1), "Off");
    f.setParameter(1, 0.001f);
    EXPECT_EQ(f.display(1), "On");
    f.setParameter(1, 1.0f);
    EXPECT_EQ(f.display(1), "On");
}

TEST(Framework, LabelsByUnitAndNamesCutToFifteenCharacters) {
    Framework f;
    EXPECT_EQ(f.label(0), "");
    EXPECT_EQ(f.label(3), "seconds");
    EXPECT_EQ(f.label(4), "cents");
    EXPECT_EQ(f.label(5), "dB");
    EXPECT_EQ(f.label(6), "BPM");
    EXPECT_EQ(f.label(7), "");
    char name[32];
    std::memset(name, 'x', sizeof name);
    f.getParameterName(3, name);
    EXPECT_STREQ(name, "A name longer t");
    EXPECT_EQ(name[16], 'x');
}

TEST(Framework, EqualBoundsMapToTheMinimum) {
    Framework f;
    EXPECT_EQ(f.getParameter(8), 3.0f);
    f.setParameter(8, 0.7f);
    EXPECT_EQ(f.display(8), "3.000");
}

// Any stored value, not only one a host's value maps onto (a default, or a
// value from before): its read-back written again leaves it bit for bit, and
// the values beside the read-back are mapped as any other.
TEST(Framework, AReadBackLeavesTheStoredValueAndTheValuesBesideItAreMapped) {
    Framework f;
    std::mt19937 draw(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto bits = [](float v) {
        uint32_t u;
        std::memcpy(&u, &v, sizeof u);
        return u;
    };
    int moved = 0;
    for (int32_t index : {0, 4, 5, 9, 10}) {
        const ParameterDescription& d = kTable[index];
        for (int n = 0; n < 20000; ++n) {
            // Evenly spread in the mapping's own terms, so that logarithmic
            // ranges are covered end to end.
            const float s = index >= 9 ? d.minValue * std::pow(d.maxValue / d.minValue, unit(draw))
                                       : d.minValue + unit(draw) * (d.maxValue - d.minValue);
            f.store(index, s);
            const float read = f.getParameter(index);
            f.setParameter(index, read);
            ASSERT_EQ(bits(f.stored(index)), bits(s)) << d.name << " " << s;
            if (f.valueFromLinear(read, index) != s) ++moved;
            for (float toward : {-1.0f, 2.0f}) {
                const float beside = std::nextafter(read, toward);
                if (beside < 0.0f || beside > 1.0f) continue;
                f.store(index, s);
                f.setParameter(index, beside);
                ASSERT_EQ(bits(f.stored(index)), bits(f.valueFromLinear(beside, index)))
                    << d.name << " " << s << " written " << beside;
            }
        }
    }
    EXPECT_GT(moved, 10000) << "most of these values are no fixed points of the mapping";
}

TEST(Framework, NumberFormatByMagnitude) {
    const std::pair<float, const char*> rows[] = {
        {9.9996f, "10.000"}, {999.95f, "1000.0"}, {-250.0f, "-250.000"}, {10.0f, "10.00"},
        {100.0f, "100.0"},   {1000.0f, "1000"},   {NAN, "nan"},          {0.0005f, "0.001"}};
    for (auto& [value, text] : rows) {
        char buffer[64];
        parameter_text::formatParameterValue(buffer, value);
        EXPECT_STREQ(buffer, text) << value;
    }
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    parameter_text::formatParameterValue(buffer, -3.0e38f);
    EXPECT_EQ(std::strlen(buffer), 23u) << "cut to the longest display text";
}

TEST(Framework, ListenersAreStoredAndRemovedByPropertyAndFunction) {
    Framework f;
    auto one = +[](void*, uint32_t, uint32_t, uint32_t) {};
    auto two = +[](void*, uint32_t, uint32_t, uint32_t) {};
    EXPECT_EQ(f.AddPropertyListener(33, one, nullptr), 0);
    EXPECT_EQ(f.AddPropertyListener(33, one, nullptr), 0);
    EXPECT_EQ(f.AddPropertyListener(33, two, nullptr), 0);
    EXPECT_EQ(f.AddPropertyListener(29, one, nullptr), 0);
    EXPECT_EQ(f.listenerCount(), 4u);
    EXPECT_EQ(f.RemovePropertyListener(33, one), 0);
    EXPECT_EQ(f.listenerCount(), 2u);
    EXPECT_EQ(f.RemovePropertyListener(40, two), 0);
    EXPECT_EQ(f.listenerCount(), 2u);
}

TEST(Framework, DefaultHooksDoNotAnswer) {
    Framework f;
    uint32_t size = 0;
    bool writable = false;
    CFType* strings = nullptr;
    EXPECT_EQ(f.GetParameterValueStrings(0, 0, &strings), -10878);
    EXPECT_EQ(f.GetProperty(33, 0, 0, nullptr), -10879);
    EXPECT_EQ(f.GetPropertyInfo(33, 0, 0, &size, &writable), -10879);
    EXPECT_EQ(f.SetProperty(33, 0, 0, nullptr, 0), -10879);
    char text[64];
    EXPECT_FALSE(f.getProgramNameIndexed(0, 2, text));
    EXPECT_TRUE(f.getProgramNameIndexed(0, 1, text));
    EXPECT_STREQ(text, "Defaults");
}

}  // namespace
