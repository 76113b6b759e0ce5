// Programs as a host saves and restores them: numbers, names and values.
#include <cstring>

#include "tests/module_fixture.h"

namespace {

using ProgramTest = ModuleTest;

TEST_F(ProgramTest, FreshInstanceHasEightDefaultPrograms) {
    EXPECT_EQ(plugin->program(), 0);
    EXPECT_EQ(plugin->programName(), "Defaults");
    for (int p = 0; p < 8; ++p) {
        char buffer[64];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(plugin->dispatch(effGetProgramNameIndexed, p, 0, buffer), 1);
        EXPECT_STREQ(buffer, "Defaults");
    }
    char untouched[16];
    std::memset(untouched, 'x', sizeof untouched);
    EXPECT_EQ(plugin->dispatch(effGetProgramNameIndexed, 8, 0, untouched), 0);
    EXPECT_EQ(plugin->dispatch(effGetProgramNameIndexed, -1, 0, untouched), 0);
    for (char c : untouched) EXPECT_EQ(c, 'x');
}

TEST_F(ProgramTest, SetProgramOutsideTheRangeIsIgnored) {
    plugin->setProgram(5);
    EXPECT_EQ(plugin->program(), 5);
    // Past 32 bits, where there are any, the low half alone would name program 0.
    const intptr_t beyondInt32 =
        sizeof(intptr_t) > 4 ? static_cast<intptr_t>(int64_t{1} << 40) : INTPTR_MIN;
    for (intptr_t bad : {intptr_t{8}, intptr_t{-1}, beyondInt32, intptr_t{-8}}) {
        EXPECT_EQ(plugin->dispatch(effSetProgram, 0, bad), 0);
        EXPECT_EQ(plugin->program(), 5);
    }
}

TEST_F(ProgramTest, ProgramsKeepTheirOwnValues) {
    plugin->setParameter(0, 0.5f);  // Tap 1 time 1000 ms in program 0
    plugin->setProgram(1);
    EXPECT_FLOAT_EQ(plugin->getParameter(0), 0.1f);
    plugin->setParameter(param::kWetDry, 0.25f);
    plugin->setProgram(0);
    EXPECT_FLOAT_EQ(plugin->getParameter(0), 0.5f);
    EXPECT_FLOAT_EQ(plugin->getParameter(param::kWetDry), 1.0f);
    plugin->setProgram(1);
    EXPECT_FLOAT_EQ(plugin->getParameter(param::kWetDry), 0.25f);
}

TEST_F(ProgramTest, RenamingChangesOnlyTheCurrentProgram) {
    plugin->setProgram(3);
    plugin->setProgramName("Slapback");
    EXPECT_EQ(plugin->programName(), "Slapback");
    for (int p = 0; p < 8; ++p)
        EXPECT_EQ(plugin->programNameIndexed(p), p == 3 ? "Slapback" : "Defaults");
}

TEST_F(ProgramTest, NamesHandedToTheHostFitTheInterfaceLimit) {
    const std::string forty = "0123456789abcdefghijklmnopqrstuvwxyzABCD";
    plugin->setProgramName(forty);
    // The stored name keeps 31 characters, but a host's 24-byte buffer must
    // never be overrun: 23 characters and the terminator reach it.
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    plugin->dispatch(effGetProgramName, 0, 0, buffer);
    EXPECT_EQ(std::string(buffer), forty.substr(0, 23));
    for (size_t i = 24; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 'x') << i;
    std::memset(buffer, 'x', sizeof buffer);
    plugin->dispatch(effGetProgramNameIndexed, 0, 0, buffer);
    EXPECT_EQ(std::string(buffer), forty.substr(0, 23));
    for (size_t i = 24; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 'x') << i;
}

TEST_F(ProgramTest, ANullNameIsIgnored) {
    plugin->dispatch(effSetProgramName, 0, 0, nullptr);
    plugin->dispatch(effGetProgramName, 0, 0, nullptr);
    EXPECT_EQ(plugin->programName(), "Defaults");
}

TEST_F(ProgramTest, HostRestoresEveryParameterAfterSwitchingPrograms) {
    // A host without chunks saves with getParameter and restores with
    // setParameter after effSetProgram; the values must survive the trip.
    std::vector<float> saved;
    plugin->setProgram(2);
    for (int i = 0; i < 23; ++i) plugin->setParameter(i, (i * 37 % 23) / 22.0f);
    for (int i = 0; i < 23; ++i) saved.push_back(plugin->getParameter(i));
    auto other = newInstance();
    other->setProgram(2);
    for (int i = 0; i < 23; ++i) other->setParameter(i, saved[i]);
    for (int i = 0; i < 23; ++i) {
        EXPECT_NEAR(other->getParameter(i), saved[i], 1e-6f) << i;
        EXPECT_EQ(other->parameterDisplay(i), plugin->parameterDisplay(i)) << i;
    }
}

}  // namespace
