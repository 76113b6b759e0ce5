// The parts of the validator whose faults a run would hide: polite sequences
// that slip in a hostile call (a polite finding that no polite host can
// cause), operation lines that do not read back as written (a reproducer
// that plays something else), a shrinker that loses the failure or leaves
// the strictness, canaries that miss a write.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "host/tool/validate/guarded_memory.h"
#include "host/tool/validate/host_rules.h"
#include "host/tool/validate/replay_file.h"
#include "host/tool/validate/sequence_generator.h"
#include "host/tool/validate/shrinker.h"

namespace {

PluginFacts stereoFacts() {
    PluginFacts facts;
    facts.numParams = 5;
    facts.numPrograms = 3;
    facts.numInputs = 2;
    facts.numOutputs = 2;
    facts.flags = 1 << 5;  // chunks
    facts.takesNotes = true;
    return facts;
}

TEST(ValidateSequences, PoliteStaysPoliteAndHostileDoesNot) {
    const PluginFacts facts = stereoFacts();
    size_t hostileOnly = 0;
    for (uint64_t sequence = 0; sequence < 300; ++sequence) {
        const OperationList polite = generateSequence(facts, Strictness::Polite, 3, sequence);
        EXPECT_TRUE(isPolite(polite, facts)) << "sequence " << sequence;
        const OperationList hostile = generateSequence(facts, Strictness::Hostile, 3, sequence);
        if (!isPolite(hostile, facts)) ++hostileOnly;
        // The same numbers give the same list.
        const OperationList again = generateSequence(facts, Strictness::Hostile, 3, sequence);
        ASSERT_EQ(again.size(), hostile.size());
        for (size_t i = 0; i < again.size(); ++i)
            EXPECT_EQ(formatOperation(again[i]), formatOperation(hostile[i]));
    }
    EXPECT_GT(hostileOnly, 200u);
}

TEST(ValidateSequences, EveryOperationReadsBackAsWrittenThroughAReproducer) {
    const PluginFacts facts = stereoFacts();
    ReplayFile written;
    written.pluginPath = "/some where/plug-in.so";
    written.strictness = Strictness::Hostile;
    written.seed = 11;
    written.sequence = 4;
    written.findingKey = "crash:SIGSEGV:x";
    for (uint64_t sequence = 0; sequence < 100; ++sequence)
        for (const Operation& op : generateSequence(facts, Strictness::Hostile, 5, sequence))
            written.operations.push_back(op);
    ReplayFile read;
    std::string error;
    ASSERT_TRUE(parseReplay(formatReplay(written), read, error)) << error;
    EXPECT_EQ(read.pluginPath, written.pluginPath);
    EXPECT_EQ(read.strictness, Strictness::Hostile);
    EXPECT_EQ(read.sequence, 4u);
    EXPECT_EQ(read.findingKey, written.findingKey);
    ASSERT_EQ(read.operations.size(), written.operations.size());
    for (size_t i = 0; i < read.operations.size(); ++i) {
        const Operation& a = written.operations[i];
        const Operation& b = read.operations[i];
        ASSERT_EQ(formatOperation(a), formatOperation(b));
        // Values, NaN and infinities included, are the same floats.
        if (const auto* set = std::get_if<ops::SetParameter>(&a)) {
            const double c = std::get<ops::SetParameter>(b).value;
            EXPECT_TRUE(set->value == c || (std::isnan(set->value) && std::isnan(c)));
        }
    }
    const std::string cut = formatReplay(written).substr(0, formatReplay(written).size() - 40);
    EXPECT_FALSE(parseReplay(cut, read, error));
}

TEST(ValidateShrinker, KeepsTheFailureAndTheStrictness) {
    // It fails when a block size of 0 comes before a process; a polite list
    // must keep its open.
    OperationList list;
    for (int i = 0; i < 40; ++i) {
        if (i == 0) {
            list.push_back(ops::Open{});
        } else if (i == 17) {
            list.push_back(ops::BlockSize{});
        } else if (i % 3 == 0) {
            ops::Process process;
            process.blocks = 6;
            process.frames = i;
            list.push_back(process);
        } else {
            ops::GetParameter get;
            get.index = i;
            list.push_back(get);
        }
    }
    const auto fails = [](const OperationList& candidate) {
        bool zero = false;
        for (const Operation& op : candidate) {
            if (const auto* block = std::get_if<ops::BlockSize>(&op); block && block->frames == 0) zero = true;
            if (zero && std::holds_alternative<ops::Process>(op)) return true;
        }
        return false;
    };
    const auto keepsOpen = [](const OperationList& candidate) {
        return !candidate.empty() && std::holds_alternative<ops::Open>(candidate[0]);
    };
    const OperationList shortest = shrinkOperations(list, 18, keepsOpen, fails, ShrinkLimits());
    ASSERT_EQ(shortest.size(), 3u);
    EXPECT_EQ(formatOperation(shortest[0]), "open");
    EXPECT_EQ(formatOperation(shortest[1]), "block 0");
    EXPECT_EQ(formatOperation(shortest[2]), "process 1 18 noise out-of-place");
}

TEST(ValidateGuards, CanariesSeeWritesPastTheBufferAndInFrontOfIt) {
    GuardedBuffer buffer("a test buffer");
    // Eight bytes allowed, 64 passed: writing 9 reaches past the first.
    uint8_t* text = buffer.place(64, 1, 8);
    EXPECT_EQ(buffer.reach(), 0u);
    std::memcpy(text, "12345678", 9);
    EXPECT_EQ(buffer.reach(), 9u);
    EXPECT_FALSE(buffer.damagedBefore());
    // Aligned to 16, 61 bytes leave 3 of canary before the guard page.
    text = buffer.place(61, 16, 61);
    text[61] = 0;
    EXPECT_EQ(buffer.reach(), 62u);
    text[-1] = 0;
    EXPECT_TRUE(buffer.damagedBefore());
    // The guard page lies right after an aligned buffer: its address names it.
    float* samples = reinterpret_cast<float*>(buffer.place(256 * sizeof(float), 16, 256 * sizeof(float)));
    ASSERT_NE(guardZoneAt(reinterpret_cast<uintptr_t>(samples + 256)), nullptr);
    EXPECT_STREQ(guardZoneAt(reinterpret_cast<uintptr_t>(samples + 256)), "past the end of a test buffer");
    EXPECT_EQ(guardZoneAt(reinterpret_cast<uintptr_t>(samples + 255)), nullptr);
}

}  // namespace
