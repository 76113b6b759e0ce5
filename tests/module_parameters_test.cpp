// Parameters as a host's generic panel sees them: names, labels, display
// texts and the mapping of its 0..1 values.
#include <cstdio>
#include <cstring>

#include "tests/module_fixture.h"
#include "tests/parameter_table.h"

namespace {

using ParameterTest = ModuleTest;

TEST_F(ParameterTest, NamesLabelsAndDefaultsOfAllParameters) {
    for (int i = 0; i < table::kCount; ++i) {
        SCOPED_TRACE(table::kRows[i].name);
        EXPECT_EQ(plugin->parameterName(i), table::kRows[i].name);
        EXPECT_EQ(plugin->parameterLabel(i), table::kRows[i].label);
        EXPECT_EQ(plugin->parameterDisplay(i), table::kRows[i].defaultDisplay);
        EXPECT_NEAR(plugin->getParameter(i), table::normalised(i, table::kRows[i].def), 1e-6f);
    }
    EXPECT_NEAR(plugin->getParameter(param::kCutoff), std::log(20.0) / std::log(160.0), 1e-6);
    EXPECT_NEAR(plugin->getParameter(param::kQ), 0.090909f, 1e-6f);
    EXPECT_NEAR(plugin->getParameter(param::tapPan(3)), 0.6666667f, 1e-6f);
}

TEST_F(ParameterTest, NamesFillExactlySixteenBytes) {
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    plugin->dispatch(effGetParamName, param::kMasterFeedback, 0, buffer);
    EXPECT_STREQ(buffer, "Master feedback");
    for (int i = 15; i < 16; ++i) EXPECT_EQ(buffer[i], 0);
    for (size_t i = 16; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 'x') << i;
}

TEST_F(ParameterTest, HostValuesMapToNativeValuesByUnit) {
    struct Row {
        int index;
        float x;
        const char* display;
    };
    const Row rows[] = {
        {param::tapTime(1), 0.1f, "200.0"},
        {param::tapTime(1), 0.5f, "1000"},
        {param::kCutoff, 0.0f, "50.00"},
        {param::kCutoff, 1.0f, "8000"},
        {param::kCutoff, 0.5f, "632.5"},   // 50·√160
        {param::kCutoff, 0.25f, "177.8"},  // 177.82794
        {param::kType, 0.5f, "Band"},
        {param::kType, 0.6f, "2.400"},     // not quantised: a generic unit
        {param::tapPan(1), 0.0f, "-1.000"},
        {param::tapPan(1), 0.5f, "0.000"},
        {param::kMasterFeedback, 0.5f, "100.0"},
        {param::kSaturation, 1.0f, "11.00"},
        {param::tapFeedback(4), 0.4f, "40.00"},
        {param::kQ, 1.0f, "1.000"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.index) + " at " + std::to_string(row.x));
        plugin->setParameter(row.index, row.x);
        EXPECT_EQ(plugin->parameterDisplay(row.index), row.display);
        EXPECT_NEAR(plugin->getParameter(row.index), row.x, 2e-7f);
    }
}

TEST_F(ParameterTest, HostValuesAreClampedAndNotANumberIsIgnored) {
    plugin->setParameter(param::tapTime(1), 1.5f);
    EXPECT_EQ(plugin->parameterDisplay(param::tapTime(1)), "2000");
    EXPECT_FLOAT_EQ(plugin->getParameter(param::tapTime(1)), 1.0f);
    plugin->setParameter(param::kQ, -0.5f);
    EXPECT_EQ(plugin->parameterDisplay(param::kQ), "0.010");
    plugin->setParameter(param::kSaturation, -3.0f);
    EXPECT_EQ(plugin->parameterDisplay(param::kSaturation), "0.000");
    plugin->setParameter(param::kCutoff, INFINITY);
    EXPECT_EQ(plugin->parameterDisplay(param::kCutoff), "8000");
    plugin->setParameter(param::tapTime(2), 0.25f);
    plugin->setParameter(param::tapTime(2), NAN);
    EXPECT_EQ(plugin->parameterDisplay(param::tapTime(2)), "500.0");
    EXPECT_FLOAT_EQ(plugin->getParameter(param::tapTime(2)), 0.25f);
}

TEST_F(ParameterTest, IndicesOutsideTheTableTouchNothing) {
    for (int32_t index : {23, 24, 1000, -1, INT32_MIN, INT32_MAX}) {
        SCOPED_TRACE(index);
        plugin->setParameter(index, 0.7f);
        EXPECT_EQ(plugin->getParameter(index), 0.0f);
        for (int32_t opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
            char buffer[32];
            std::memset(buffer, 'x', sizeof buffer);
            plugin->dispatch(opcode, index, 0, buffer);
            EXPECT_EQ(buffer[0], 0);
            EXPECT_EQ(buffer[1], 'x');
        }
    }
    for (int i = 0; i < table::kCount; ++i)
        EXPECT_NEAR(plugin->getParameter(i), table::normalised(i, table::kRows[i].def), 1e-6f);
}

// The display text of a native value, as a host's panel shows it.
std::string displayOf(float v) {
    char text[32];
    std::snprintf(text, sizeof text, v < 10 ? "%.3f" : v < 100 ? "%.2f" : v < 1000 ? "%.1f" : "%.0f",
                  static_cast<double>(v));
    return text;
}

// What hosts without chunks do on every reload, and Audacity whenever it opens
// the panel: read a parameter and write it straight back.
TEST_F(ParameterTest, AValueReadBackAndWrittenAgainStaysAsItWas) {
    // The defaults first: the cutoff's 1000 Hz and the pans' -1/3 and 1/3 are
    // values no normalised value maps onto exactly.
    std::vector<float> hostValues = {-1.0f, 0.0f, 0.1f, 0.25f, 1.0f / 3.0f, 0.5f, 0.590271831f,
                                     0.7f,  0.9f, 1.0f};
    for (float x : hostValues)
        for (int i = 0; i < table::kCount; ++i) {
            SCOPED_TRACE(std::string(table::kRows[i].name) +
                         (x < 0 ? " at its default" : " set to " + std::to_string(x)));
            if (x >= 0) plugin->setParameter(i, x);
            const float read = plugin->getParameter(i);
            const std::string shown = plugin->parameterDisplay(i);
            plugin->setParameter(i, read);
            EXPECT_EQ(plugin->getParameter(i), read);
            EXPECT_EQ(plugin->parameterDisplay(i), shown);
        }
}

TEST_F(ParameterTest, WritingBackWhatWasReadLeavesTheSoundAsItWas) {
    auto reopened = newInstance();
    for (PluginInstance* instance : {plugin.get(), reopened.get()})
        instance->setParameter(param::kType, 0.25f);  // low-pass: the cutoff is heard
    for (int i = 0; i < table::kCount; ++i) reopened->setParameter(i, reopened->getParameter(i));

    // Long enough for the third tap's first echo, 600 ms on.
    auto renderThrough = [](PluginInstance& instance) {
        const size_t frames = 32768;
        std::vector<float> left(frames), right(frames), outLeft(frames), outRight(frames);
        for (size_t i = 0; i < left.size(); ++i) {
            left[i] = std::sin(0.05f * static_cast<float>(i));
            right[i] = i == 0 ? 1.0f : 0.0f;
        }
        float* in[2] = {left.data(), right.data()};
        float* out[2] = {outLeft.data(), outRight.data()};
        instance.processReplacing(in, out, static_cast<int32_t>(left.size()));
        outLeft.insert(outLeft.end(), outRight.begin(), outRight.end());
        return outLeft;
    };
    const std::vector<float> expected = renderThrough(*plugin);
    const std::vector<float> got = renderThrough(*reopened);
    ASSERT_EQ(got.size(), expected.size());
    EXPECT_EQ(std::memcmp(got.data(), expected.data(), got.size() * sizeof(float)), 0)
        << "the written-back values changed the sound";
}

TEST_F(ParameterTest, AnyOtherValueIsMappedAsBefore) {
    // The default's read-back, sent while another value is stored, stands
    // for what the mapping makes of it.
    for (int i : {param::kCutoff, param::tapPan(2), param::tapPan(3)}) {
        SCOPED_TRACE(table::kRows[i].name);
        const float readAtDefault = plugin->getParameter(i);
        plugin->setParameter(i, 0.9f);
        plugin->setParameter(i, readAtDefault);
        EXPECT_EQ(plugin->parameterDisplay(i), displayOf(table::native(i, readAtDefault)));
    }
    EXPECT_EQ(plugin->parameterDisplay(param::kCutoff), "1000.0");  // 999.99988 Hz

    // One step of the float beside the read-back is not the read-back.
    for (float toward : {0.0f, 1.0f}) {
        auto fresh = newInstance();
        const float read = fresh->getParameter(param::kCutoff);
        const float beside = std::nextafter(read, toward);
        fresh->setParameter(param::kCutoff, beside);
        EXPECT_EQ(fresh->getParameter(param::kCutoff), beside);
        EXPECT_EQ(fresh->parameterDisplay(param::kCutoff),
                  displayOf(table::native(param::kCutoff, beside)));
    }
}

TEST_F(ParameterTest, FilterTypeNamesAroundTheirWindows) {
    struct Row {
        float type;
        const char* display;
    };
    const Row rows[] = {{0.0f, "Thru"},  {1.0f, "Low"},    {2.0f, "Band"},   {3.0f, "High"},
                        {4.0f, "Thru"},  {1.004f, "Low"},  {1.006f, "1.006"}, {3.996f, "Thru"},
                        {2.5f, "2.500"}, {0.004f, "Thru"}, {2.994f, "2.994"}, {0.006f, "0.006"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.type);
        plugin->setParameter(param::kType, row.type / 4.0f);
        EXPECT_EQ(plugin->parameterDisplay(param::kType), row.display);
    }
}

TEST_F(ParameterTest, ProgramSwitchesChangeWhatIsReadBack) {
    plugin->setProgram(4);
    plugin->setParameter(param::kType, 0.75f);
    plugin->setParameter(param::kCutoff, 0.25f);
    plugin->setProgram(0);
    EXPECT_EQ(plugin->parameterDisplay(param::kType), "Thru");
    EXPECT_EQ(plugin->parameterDisplay(param::kCutoff), "1000");
    plugin->setProgram(4);
    EXPECT_EQ(plugin->parameterDisplay(param::kType), "High");
    EXPECT_EQ(plugin->parameterDisplay(param::kCutoff), "177.8");
    EXPECT_FLOAT_EQ(plugin->getParameter(param::kType), 0.75f);
}

TEST_F(ParameterTest, NoTextOverrunsItsLimitWhateverTheValue) {
    const float values[] = {0.0f, 1.0f, -1.0f, 2.0f, 1e30f, -1e30f, NAN, INFINITY, 0.5f, 1e-30f};
    for (int i = 0; i < table::kCount; ++i)
        for (float x : values) {
            plugin->setParameter(i, x);
            for (int32_t opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
                char buffer[64];
                std::memset(buffer, 'x', sizeof buffer);
                plugin->dispatch(opcode, i, 0, buffer);
                const size_t limit = opcode == effGetParamName ? 16 : opcode == effGetParamLabel ? 8 : 24;
                EXPECT_LT(strnlen(buffer, sizeof buffer), limit) << i << " " << x;
                for (size_t b = limit; b < sizeof buffer; ++b) ASSERT_EQ(buffer[b], 'x') << i;
            }
        }
}

}  // namespace
