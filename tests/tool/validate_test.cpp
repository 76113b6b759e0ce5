// vst2host validate as a plug-in developer runs it: on a fixture plug-in
// built clean and once for each deliberate fault, each fault found at the
// strictness where hosts make the calls that expose it; on Varnolet Delay;
// written reproducers played again; the report for people and for scripts.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cctype>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/tool/json_value.h"
#include "tests/tool/tool_runner.h"

namespace {

struct Validation {
    ToolResult result;
    JsonValue json;

    std::set<std::string> kinds(const std::string& severity) const {
        std::set<std::string> found;
        for (const JsonValue& finding : json["findings"].items)
            if (finding["severity"].text == severity) found.insert(finding["kind"].text);
        return found;
    }
    const JsonValue& finding(const std::string& kind) const {
        for (const JsonValue& item : json["findings"].items)
            if (item["kind"].text == kind) return item;
        static const JsonValue none;
        return none;
    }
};

using Kinds = std::set<std::string>;

bool holds(const std::string& text, const std::string& words) { return text.find(words) != std::string::npos; }

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The addresses of a crash (0x and eight or more hex digits) differ from run
// to run; a module's offsets and everything else come again with the seed.
// Scanned by hand: std::regex draws GCC 12's -Wmaybe-uninitialized from inside
// libstdc++ in the sanitizers' builds.
std::string withoutAddresses(const std::string& text) {
    const auto hexDigit = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, 2, "0x") == 0) {
            std::size_t end = i + 2;
            while (end < text.size() && hexDigit(text[end])) ++end;
            if (end - i - 2 >= 8) {
                out += "0x?";
                i = end;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

JsonValue replayed(const std::string& reproducer) {
    const ToolResult played = runTool({"validate", "--replay", reproducer, "--json"});
    JsonValue json;
    EXPECT_TRUE(parseJson(played.out, json)) << played.out << played.err;
    return json;
}

// A short run with a fixed seed: the same findings every time.
Validation validate(const std::string& plugin, const std::string& strictness,
                    const ScratchDirectory& out, const std::vector<std::string>& extra = {}) {
    std::vector<std::string> arguments = {"validate",   plugin,  "--strictness", strictness,
                                          "--seed",     "7",     "--sequences",  "40",
                                          "--time",     "20",    "--json",       "--out",
                                          out.path};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    Validation validation;
    validation.result = runTool(arguments);
    EXPECT_TRUE(parseJson(validation.result.out, validation.json)) << validation.result.out
                                                                   << validation.result.err;
    return validation;
}

TEST(Validate, CleanFixturePassesBothStrictnesses) {
    ScratchDirectory out;
    for (const char* strictness : {"polite", "hostile"}) {
        const Validation run = validate(FIXTURE_CLEAN, strictness, out);
        EXPECT_EQ(run.result.status, 0) << strictness << "\n" << run.result.out;
        EXPECT_TRUE(run.json["findings"].items.empty()) << strictness << "\n" << run.result.out;
        EXPECT_EQ(run.json["sequences"].number, 40);
        EXPECT_EQ(run.json["plugin"]["name"].text, "Fixture");
    }
    EXPECT_TRUE(out.names().empty());  // nothing found, nothing written
}

// What hosts should not do but some do: null pointers, a block size of 0,
// NaN input, indices past the end. A polite host never sends them.
TEST(Validate, HostileFaultsAreFoundOnlyWhenHostile) {
    struct Case {
        const char* plugin;
        std::string kind;
        std::vector<std::string> reasonHolds;
        std::vector<std::string> options;
    };
    const std::vector<Case> cases = {
        {FIXTURE_NULL_POINTER, "crash", {"SIGSEGV", "a write to 0x0", "dispatch", "fixture_null_pointer.so", "null pointer"}, {}},
        // Every hanging sequence costs the timeout, and the run is cut short.
        {FIXTURE_HANG_AT_BLOCK_SIZE_0, "hang", {"processReplacing"}, {"--timeout", "0.5", "--time", "3"}},
        {FIXTURE_NAN_LATCH, "never-recovers", {"after a reset to the defaults"}, {}},
        // Where the module has symbols the place is its function.
        {FIXTURE_TABLE_READ, "crash",
         {"SIGSEGV", "a read of", "in (anonymous namespace)::valueAt(", "(fixture_table_read.so+0x"}, {}},
        {FIXTURE_THROWS_ON_BAD_PROGRAM, "exception",
         {"an exception (no program ", "came out of the plug-in, during effSetProgram"}, {}},
    };
    for (const Case& fault : cases) {
        ScratchDirectory out;
        const Validation polite = validate(fault.plugin, "polite", out, fault.options);
        EXPECT_EQ(polite.result.status, 0) << fault.plugin << "\n" << polite.result.out;
        EXPECT_TRUE(polite.json["findings"].items.empty()) << fault.plugin << "\n" << polite.result.out;

        const Validation hostile = validate(fault.plugin, "hostile", out, fault.options);
        EXPECT_EQ(hostile.result.status, 1) << fault.plugin;
        EXPECT_EQ(hostile.kinds("failure"), Kinds{fault.kind}) << fault.plugin << "\n" << hostile.result.out;
        EXPECT_TRUE(hostile.kinds("warning").empty()) << hostile.result.out;
        // One fault, one finding, whatever index or text it met.
        EXPECT_EQ(hostile.json["findings"].items.size(), 1u) << hostile.result.out;
        const JsonValue& finding = hostile.finding(fault.kind);
        for (const std::string& words : fault.reasonHolds)
            EXPECT_NE(finding["reason"].text.find(words), std::string::npos)
                << words << " in " << finding["reason"].text;
        EXPECT_GE(finding["count"].number, 1);
        EXPECT_LE(finding["operations"].number, finding["originalOperations"].number);
        EXPECT_TRUE(fileExists(finding["replay"].text));
    }
}

// Blocks of odd length and of a length the guard pages meet, a full-scale
// square: what every host sends.
TEST(Validate, PoliteFaultsAreFoundAtPolite) {
    ScratchDirectory out;
    // One sample too many: on the guard page after a block of 1024 frames,
    // in the canary after a block of 2415; past outputs and, in place, inputs.
    const Validation past = validate(FIXTURE_WRITES_PAST_OUTPUT, "polite", out);
    EXPECT_EQ(past.result.status, 1);
    EXPECT_EQ(past.kinds("failure"), Kinds{"outside-buffer"}) << past.result.out;
    std::set<std::string> keys;
    for (const JsonValue& finding : past.json["findings"].items) keys.insert(finding["key"].text);
    EXPECT_EQ(keys.count("outside-buffer:output:past"), 1u) << past.result.out;
    EXPECT_EQ(keys.count("outside-buffer:input:past"), 1u) << past.result.out;
    bool guarded = false;
    for (const JsonValue& finding : past.json["findings"].items)
        guarded |= finding["reason"].text.find("SIGSEGV (a write to") != std::string::npos &&
                    finding["reason"].text.find("past the end of output 0) in") != std::string::npos &&
                    finding["reason"].text.find("processReplacing") != std::string::npos;
    EXPECT_TRUE(guarded) << past.result.out;

    const Validation unwritten = validate(FIXTURE_UNWRITTEN_ODD_FRAMES, "polite", out);
    EXPECT_EQ(unwritten.result.status, 1);
    EXPECT_EQ(unwritten.kinds("failure"), Kinds{"unwritten-output"}) << unwritten.result.out;
    EXPECT_NE(unwritten.finding("unwritten-output")["reason"].text.find("left 1 samples unwritten"),
              std::string::npos);

    // Saved with getParameter and restored with setParameter, as hosts do.
    const Validation truncated = validate(FIXTURE_TRUNCATED_STEPS, "polite", out);
    EXPECT_EQ(truncated.result.status, 1);
    EXPECT_EQ(truncated.kinds("failure"), Kinds{"round-trip"}) << truncated.result.out;
    EXPECT_NE(truncated.finding("round-trip")["reason"].text.find(
                  "parameter 0 (Gain) read 0.53 (\"1.06\") and came back as 0.52 (\"1.04\")"),
              std::string::npos)
        << truncated.result.out;

    // Too loud is a warning: the run passes.
    const Validation loud = validate(FIXTURE_UNDAMPED_FEEDBACK, "polite", out);
    EXPECT_EQ(loud.result.status, 0);
    EXPECT_TRUE(loud.kinds("failure").empty()) << loud.result.out;
    EXPECT_EQ(loud.kinds("warning"), Kinds{"too-loud"});
    EXPECT_NE(loud.finding("too-loud")["reason"].text.find("from input no louder than 0 dBFS"),
              std::string::npos);
    const Validation allowed = validate(FIXTURE_UNDAMPED_FEEDBACK, "polite", out, {"--max-level", "80"});
    EXPECT_TRUE(allowed.json["findings"].items.empty()) << allowed.result.out;
}

// State a saved session loses, a second thread that sets parameters while
// the audio thread processes, NaN from clean input and parameters: each is
// a failure of its own kind at polite, and its reproducer gives it again.
TEST(Validate, LostStateThreadsAndNonFiniteOutputAreFoundAtPolite) {
    struct Case {
        const char* plugin;
        std::string kind;
        std::vector<std::string> reasonHolds;
    };
    const std::vector<Case> cases = {
        // A value changed since its program was chosen, through a bank chunk.
        {FIXTURE_BANK_CHUNK_DROPS_EDITS, "round-trip", {"came back as", "through the bank chunk on a fresh instance"}},
        {FIXTURE_SHORT_PROGRAM_NAMES, "round-trip", {"program 1 was called 'Bright hall' and came back as 'Bright '"}},
        // It traps on the second thread's first change, in its own function.
        {FIXTURE_ONE_THREAD_PARAMETERS, "crash",
         {"SIGILL in (anonymous namespace)::setParameter(AEffect*, int, float)",
          "(fixture_one_thread_parameters.so+0x", "out-of-place thread "}},
        {FIXTURE_RECIPROCAL_SMOOTHING, "non-finite-output", {"non-finite output from finite input and parameters"}},
    };
    for (const Case& fault : cases) {
        ScratchDirectory out;
        const Validation run = validate(fault.plugin, "polite", out);
        EXPECT_EQ(run.result.status, 1) << fault.plugin;
        EXPECT_EQ(run.kinds("failure"), Kinds{fault.kind}) << fault.plugin << "\n" << run.result.out;
        EXPECT_TRUE(run.kinds("warning").empty()) << run.result.out;
        const JsonValue& finding = run.finding(fault.kind);
        for (const std::string& words : fault.reasonHolds)
            EXPECT_TRUE(holds(finding["reason"].text, words)) << words << " in " << finding["reason"].text;
        const JsonValue again = replayed(finding["replay"].text);
        EXPECT_TRUE(again["reproduced"].boolean) << fault.plugin << "\n" << readText(finding["replay"].text);
    }
}

// A display longer than the interface's 8 bytes is a warning while the
// host's buffer of 64 holds it, as every traced host's does, and a failure
// when the host passes the interface's own size.
TEST(Validate, TextsLongerThanTheInterfaceAllowsWarnPoliteAndFailHostile) {
    ScratchDirectory out;
    const Validation polite = validate(FIXTURE_LONG_DISPLAYS, "polite", out);
    EXPECT_EQ(polite.result.status, 0) << polite.result.out;
    ASSERT_EQ(polite.json["findings"].items.size(), 1u) << polite.result.out;
    const JsonValue& warning = polite.json["findings"][0];
    EXPECT_EQ(warning["severity"].text, "warning");
    EXPECT_EQ(warning["key"].text, "outside-buffer:text-nominal:parameter display");
    EXPECT_TRUE(holds(warning["reason"].text, "bytes of the parameter display where the interface allows 8 "
                                              "(the host's buffer of 64 held them)"))
        << warning["reason"].text;

    const Validation hostile = validate(FIXTURE_LONG_DISPLAYS, "hostile", out);
    EXPECT_EQ(hostile.result.status, 1);
    EXPECT_EQ(hostile.kinds("failure"), Kinds{"outside-buffer"}) << hostile.result.out;
    const std::string reason = hostile.finding("outside-buffer")["reason"].text;
    // At the guard page right after the buffer, or in the canaries before it.
    EXPECT_TRUE(holds(reason, "past the end of the text buffer") || holds(reason, "into a buffer of 8")) << reason;
    EXPECT_TRUE(holds(reason, "during effGetParamDisplay")) << reason;
    EXPECT_TRUE(holds(reason, "(text param-display ")) << reason;
}

// Silence after loud input that costs many times what the loud input did:
// a tail of denormal numbers on a processor that traps on them. The timing
// is kept only when a second run shows it too, and replays.
TEST(Validate, SilenceCostingMoreThanLoudInputIsADenormalSlowdown) {
    ScratchDirectory out;
    // The second sequence of every run times three seconds of noise and thirty of silence.
    const Validation slow = validate(FIXTURE_SLOW_SILENT_TAIL, "polite", out, {"--sequences", "2"});
    EXPECT_EQ(slow.result.status, 1);
    EXPECT_EQ(slow.kinds("failure"), Kinds{"denormal-slowdown"}) << slow.result.out;
    const JsonValue& finding = slow.finding("denormal-slowdown");
    EXPECT_TRUE(holds(finding["reason"].text, "silence after loud input costs")) << slow.result.out;
    EXPECT_EQ(finding["sequence"].number, 1);
    EXPECT_TRUE(replayed(finding["replay"].text)["reproduced"].boolean);
}

// What a person reads and what a script reads are one run: every finding
// in the same order with the same reason, count, seed, sequence and
// reproducer, the file holding that reproducer, and its replay naming the
// same finding, seed and sequence.
TEST(Validate, HumanReportJsonReportAndReplayAgree) {
    ScratchDirectory jsonOut, humanOut;
    const Validation run = validate(FIXTURE_LONG_DISPLAYS, "hostile", jsonOut);
    const ToolResult human = runTool({"validate", FIXTURE_LONG_DISPLAYS, "--strictness", "hostile", "--seed", "7",
                                      "--sequences", "40", "--time", "20", "--out", humanOut.path});
    EXPECT_EQ(human.status, run.result.status);
    const std::string text = withoutAddresses(human.out);
    const JsonValue& json = run.json;
    ASSERT_EQ(json["findings"].items.size(), 2u) << run.result.out;
    EXPECT_EQ(json["findings"][0]["severity"].text, "failure");  // failures first
    EXPECT_EQ(json["findings"][1]["severity"].text, "warning");
    const auto whole = [](const JsonValue& number) { return std::to_string(static_cast<long long>(number.number)); };
    const auto many = [&](const JsonValue& count, const std::string& what) {
        return whole(count) + " " + what + (count.number == 1 ? "" : "s");
    };
    EXPECT_TRUE(holds(text, "40 sequences in ")) << text;
    EXPECT_TRUE(holds(text, " s: " + many(json["failures"], "failure") + ", " + many(json["warnings"], "warning") + "\n"))
        << text;
    size_t from = 0;
    for (const JsonValue& finding : json["findings"].items) {
        const std::string replay = finding["replay"].text;
        const std::string file = replay.substr(replay.rfind('/') + 1);
        std::ostringstream block;
        block << (finding["severity"].text == "failure" ? "FAIL " : "warn ") << finding["kind"].text << ": "
              << withoutAddresses(finding["reason"].text) << "\n     seen in " << many(finding["count"], "sequence")
              << ", first in sequence " << whole(finding["sequence"]) << " of seed " << whole(finding["seed"])
              << "; reproducer of " << many(finding["operations"], "operation") << " (shortened from "
              << whole(finding["originalOperations"]) << "):\n     vst2host validate --replay " << humanOut.file(file)
              << "\n";
        const size_t at = text.find(block.str(), from);
        EXPECT_NE(at, std::string::npos) << block.str() << "\nin\n" << text;
        if (at != std::string::npos) from = at;
        EXPECT_EQ(finding["seed"].number, 7);

        // The file holds the list the report shows, after its header.
        std::istringstream lines(readText(replay));
        std::vector<std::string> operations;
        bool listed = false;
        for (std::string line; std::getline(lines, line);) {
            if (listed) operations.push_back(line);
            listed |= line.rfind("operations ", 0) == 0;
        }
        ASSERT_EQ(operations.size(), finding["reproducer"].items.size()) << readText(replay);
        for (size_t i = 0; i < operations.size(); ++i) EXPECT_EQ(operations[i], finding["reproducer"][i].text);
        EXPECT_EQ(withoutAddresses(readText(humanOut.file(file))), withoutAddresses(readText(replay)));

        const JsonValue again = replayed(replay);
        EXPECT_TRUE(again["reproduced"].boolean) << finding["key"].text;
        EXPECT_EQ(again["expected"].text, finding["key"].text);
        EXPECT_EQ(again["plugin"]["path"].text, FIXTURE_LONG_DISPLAYS);
        EXPECT_EQ(again["strictness"].text, "hostile");
        EXPECT_EQ(again["seed"].number, 7);
        bool same = false;
        for (const JsonValue& found : again["findings"].items)
            same |= found["key"].text == finding["key"].text && found["seed"].number == 7 &&
                    found["sequence"].number == finding["sequence"].number;
        EXPECT_TRUE(same) << finding["key"].text;
    }
}

TEST(Validate, ReplayOfAWrittenFindingReproducesIt) {
    ScratchDirectory out;
    const Validation first = validate(FIXTURE_NAN_LATCH, "hostile", out);
    const JsonValue& finding = first.finding("never-recovers");
    const std::string replay = finding["replay"].text;
    ASSERT_TRUE(fileExists(replay)) << first.result.out;
    // The same seed gives the same finding and the same shortened list.
    ScratchDirectory again;
    const Validation second = validate(FIXTURE_NAN_LATCH, "hostile", again);
    EXPECT_EQ(second.finding("never-recovers")["reproducer"].items.size(),
              finding["reproducer"].items.size());
    EXPECT_EQ(readText(second.finding("never-recovers")["replay"].text), readText(replay));

    const ToolResult played = runTool({"validate", "--replay", replay, "--json"});
    EXPECT_EQ(played.status, 1);
    JsonValue json;
    ASSERT_TRUE(parseJson(played.out, json)) << played.out;
    EXPECT_TRUE(json["reproduced"].boolean);
    EXPECT_EQ(json["expected"].text, finding["key"].text);
    EXPECT_EQ(json["findings"][0]["kind"].text, "never-recovers");

    // On the plug-in without the fault the same list finds nothing.
    const ToolResult fixed = runTool({"validate", "--replay", replay, FIXTURE_CLEAN});
    EXPECT_EQ(fixed.status, 0) << fixed.out;
    EXPECT_NE(fixed.out.find("not reproduced"), std::string::npos) << fixed.out;
}

// Its warnings, each explained in the README: parameter names of 16 bytes
// where the interface says 8 (every host traced passes 64 or more), and a
// filter that rings up past +40 dBFS with its resonance near undamped.
TEST(Validate, VarnoletDelayPassesBothStrictnesses) {
    const std::set<std::string> explained = {"outside-buffer:text-nominal:parameter name", "too-loud"};
    ScratchDirectory out;
    for (const char* strictness : {"polite", "hostile"}) {
        const Validation run = validate(VARNOLET_MODULE_PATH, strictness, out, {"--sequences", "60"});
        EXPECT_EQ(run.result.status, 0) << strictness << "\n" << run.result.out;
        EXPECT_TRUE(run.kinds("failure").empty()) << run.result.out;
        for (const JsonValue& warning : run.json["findings"].items)
            EXPECT_EQ(explained.count(warning["key"].text), 1u) << run.result.out;
    }
}

TEST(Validate, CommandLineAndPluginErrors) {
    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"validate"},
          {"validate", FIXTURE_CLEAN, "--strictness", "rude"},
          {"validate", FIXTURE_CLEAN, "--time", "0"},
          {"validate", FIXTURE_CLEAN, "--seed", "x"},
          {"validate", FIXTURE_CLEAN, "--sequences", "0"},
          {"validate", FIXTURE_CLEAN, "extra"}})
        EXPECT_EQ(runTool(wrong).status, 2) << wrong.back();
    const ToolResult notPlugin = runTool({"validate", NULL_ENTRY_MODULE_PATH, "--time", "1"});
    EXPECT_EQ(notPlugin.status, 1);
    EXPECT_NE(notPlugin.err.find("not a VST 2.4 plug-in"), std::string::npos) << notPlugin.err;
    ScratchDirectory scratch;
    const std::string bogus = scratch.file("bogus.replay");
    runProgram({"sh", "-c", "echo 'process 1 2 noise' > " + bogus});
    const ToolResult badReplay = runTool({"validate", "--replay", bogus});
    EXPECT_EQ(badReplay.status, 1);
    EXPECT_NE(badReplay.err.find("reproducer"), std::string::npos) << badReplay.err;
}

// A reproducer keeps what its finding showed: a replay that shows the same
// kind and key with other values (another value lost on its way back) says
// what it showed instead, and is no reproduction.
TEST(Validate, AReplayMustShowTheFindingItselfNotOnlyItsKey) {
    ScratchDirectory out;
    const Validation run = validate(FIXTURE_TRUNCATED_STEPS, "polite", out);
    const JsonValue& finding = run.finding("round-trip");
    const std::string reproducer = finding["replay"].text;
    ASSERT_TRUE(fileExists(reproducer)) << run.result.out;
    EXPECT_TRUE(replayed(reproducer)["reproduced"].boolean) << readText(reproducer);

    // Another value set just before the round trip (kept as 0.58), which comes back a step lower too.
    std::string edited;
    for (std::string line : linesOf(readText(reproducer))) {
        if (line.rfind("operations ", 0) == 0) line = "operations " + std::to_string(std::stoi(line.substr(11)) + 1);
        if (line.rfind("round-trip ", 0) == 0) edited += "param 0 0.581\n";
        edited += line + "\n";
    }
    const std::string other = out.file("other-value.replay");
    writeText(other, edited);
    const ToolResult human = runTool({"validate", "--replay", other});
    EXPECT_EQ(human.status, 1);  // the value lost is a failure all the same
    const std::string shown = "parameter 0 (Gain) read 0.58 (\"1.16\") and came back as 0.57 (\"1.14\")";
    EXPECT_TRUE(holds(human.out, "not reproduced")) << human.out;
    EXPECT_TRUE(holds(human.out, "with other values")) << human.out;
    EXPECT_TRUE(holds(human.out, shown)) << human.out;
    EXPECT_TRUE(holds(human.out, "the reproducer recorded: " + finding["seen"].text)) << human.out;
    const JsonValue json = replayed(other);
    EXPECT_FALSE(json["reproduced"].boolean);
    EXPECT_EQ(json["reproducedIn"].number, 0);
    EXPECT_EQ(json["otherValuesIn"].number, json["replays"].number);
    EXPECT_TRUE(holds(json["instead"].text, shown)) << json["instead"].text;
}

// A switch or a step restored to the value its setting lands on shows the
// same as before: the user loses nothing, and it is a warning that names
// both values and both texts; a value that shows otherwise stays a failure
// (the truncated gain above).
TEST(Validate, StateShownAlikeAfterARoundTripIsAWarningNamingBothValuesAndTexts) {
    ScratchDirectory out;
    const Validation run = validate(FIXTURE_QUANTISED_MODE, "polite", out);
    EXPECT_EQ(run.result.status, 0) << run.result.out;
    EXPECT_TRUE(run.kinds("failure").empty()) << run.result.out;
    EXPECT_EQ(run.kinds("warning"), Kinds{"round-trip"}) << run.result.out;
    // parameter 2 (Mode) read VALUE ("TEXT") and came back as OTHER ("TEXT")
    const auto number = [](const std::string& text, std::size_t& at) {
        const std::size_t from = at;
        while (at < text.size() && (std::isdigit(static_cast<unsigned char>(text[at])) || text[at] == '.')) ++at;
        return text.substr(from, at - from);
    };
    const auto expect = [](const std::string& text, std::size_t& at, const std::string& words) {
        if (text.compare(at, words.size(), words) != 0) return false;
        at += words.size();
        return true;
    };
    for (const JsonValue& warning : run.json["findings"].items) {
        const std::string reason = warning["reason"].text;
        std::size_t at = reason.find("parameter 2 (Mode) read ");
        ASSERT_NE(at, std::string::npos) << reason;
        at += std::string("parameter 2 (Mode) read ").size();
        const std::string read = number(reason, at);
        ASSERT_TRUE(expect(reason, at, " (\"")) << reason;
        const std::size_t end = reason.find('"', at);
        ASSERT_NE(end, std::string::npos) << reason;
        const std::string shown = reason.substr(at, end - at);
        at = end;
        EXPECT_TRUE(shown == "Low" || shown == "Mid" || shown == "High") << reason;
        ASSERT_TRUE(expect(reason, at, "\") and came back as ")) << reason;
        const std::string back = number(reason, at);
        EXPECT_TRUE(expect(reason, at, " (\"" + shown + "\")")) << reason;
        EXPECT_FALSE(read.empty()) << reason;
        EXPECT_NE(read, back) << reason;
    }
}

// What shows while a second thread sets parameters during the blocks may
// come at another frame, or not at all, as the threads meet: such a finding
// is marked, and a replay plays it ten times and counts how often it came
// as recorded and how often with other values. A gain torn by the second
// thread shows only when the thread meets a block; a trap on any call from
// the second thread shows every time.
TEST(Validate, FindingsOfASecondThreadAreReplayedTenTimesAndCounted) {
    ScratchDirectory out;
    const Validation torn = validate(FIXTURE_TORN_GAIN_UPDATE, "polite", out, {"--sequences", "300"});
    EXPECT_EQ(torn.kinds("failure"), Kinds{"non-finite-output"}) << torn.result.out;
    const JsonValue& finding = torn.finding("non-finite-output");
    EXPECT_TRUE(finding["timingDependent"].boolean) << torn.result.out;
    EXPECT_TRUE(holds(readText(finding["replay"].text), " thread ")) << readText(finding["replay"].text);
    // How often the threads meet differs from replay to replay; the counts
    // must agree with the findings the replays showed.
    const JsonValue json = replayed(finding["replay"].text);
    EXPECT_TRUE(json["timingDependent"].boolean);
    EXPECT_EQ(json["replays"].number, 10);
    const double came = json["reproducedIn"].number;
    double showed = 0;
    for (const JsonValue& found : json["findings"].items) {
        EXPECT_EQ(found["key"].text, "non-finite-output");
        EXPECT_TRUE(found["timingDependent"].boolean);
        showed += found["count"].number;
    }
    EXPECT_EQ(showed, came);  // at another frame it is the same finding
    EXPECT_EQ(json["otherValuesIn"].number, 0);
    EXPECT_EQ(json["reproduced"].boolean, came > 0);
    const ToolResult human = runTool({"validate", "--replay", finding["replay"].text});
    const std::size_t reproduced = human.out.find("reproduced in ");
    ASSERT_NE(reproduced, std::string::npos) << human.out;
    std::size_t digits = reproduced + std::string("reproduced in ").size();
    const std::size_t firstDigit = digits;
    while (digits < human.out.size() && std::isdigit(static_cast<unsigned char>(human.out[digits]))) ++digits;
    EXPECT_GT(digits, firstDigit) << human.out;
    EXPECT_EQ(human.out.compare(digits, 33, " of 10 replays: non-finite-output"), 0) << human.out;
    EXPECT_TRUE(holds(human.out, "a second thread sets parameters while its blocks play")) << human.out;

    const Validation trap = validate(FIXTURE_ONE_THREAD_PARAMETERS, "polite", out);
    const JsonValue again = replayed(trap.finding("crash")["replay"].text);
    EXPECT_EQ(again["replays"].number, 10);
    EXPECT_EQ(again["reproducedIn"].number, 10) << trap.result.out;
}

// --log puts every request of every child on standard error, each list's
// operations named where they start, and leaves the report alone.
TEST(Validate, LogShowsTheRequestsOfARunAndOfAReplay) {
    ScratchDirectory out;
    const ToolResult run = runTool({"--log", "validate", FIXTURE_CLEAN, "--sequences", "2", "--json", "--out", out.path});
    JsonValue json;
    EXPECT_TRUE(parseJson(run.out, json)) << run.out;
    const std::vector<std::string> log = linesOf(run.err);
    ASSERT_FALSE(log.empty());
    for (const std::string& line : log)
        ASSERT_TRUE(line.rfind("-> ", 0) == 0 || line.rfind("<- ", 0) == 0 || line.rfind("# ", 0) == 0) << line;
    for (const char* line : {"# sequence 0", "# sequence 1", "-> entry (", "-> effOpen ",
                             "-> processReplacing frames=1023", "# operation 1: open"})
        EXPECT_FALSE(linesStartingWith(run.err, line).empty()) << line;

    // Each operation of a replay, then the requests it makes.
    const std::string reproducer = out.file("by-hand.replay");
    writeText(reproducer, std::string("plugin ") + FIXTURE_CLEAN +
                              "\nfinding none\noperations 6\nopen\nrate 44100\nblock 512\nresume\n"
                              "process 3 512 noise out-of-place\ntext param-display 1 64\n");
    const ToolResult replay = runTool({"--log", "validate", "--replay", reproducer});
    const std::vector<std::string> lines = linesOf(replay.err);
    std::vector<std::string> marks;
    size_t blocks = 0, afterProcess = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("# operation ", 0) == 0) marks.push_back(lines[i]);
        if (marks.size() == 5 && lines[i].rfind("-> processReplacing frames=512", 0) == 0) ++blocks;
        if (marks.size() == 6 && afterProcess == lines.size()) afterProcess = i + 1;
    }
    const std::vector<std::string> expected = {
        "# operation 1: open",    "# operation 2: rate 44100", "# operation 3: block 512",
        "# operation 4: resume", "# operation 5: process 3 512 noise out-of-place",
        "# operation 6: text param-display 1 64"};
    EXPECT_EQ(marks, expected) << replay.err;
    EXPECT_EQ(blocks, 3u) << replay.err;
    ASSERT_LT(afterProcess, lines.size()) << replay.err;
    EXPECT_EQ(lines[afterProcess].rfind("-> effGetParamDisplay index=1 ", 0), 0u) << lines[afterProcess];
    EXPECT_EQ(linesStartingWith(replay.err, "# replay 1 of 1").size(), 1u) << replay.err;
}

// An instrument is played notes in its blocks: a fault only a note reaches
// is found, and the same instrument without it passes.
TEST(Validate, AnInstrumentIsPlayedNotes) {
    ScratchDirectory out;
    const Validation clean = validate(NOTE_PLUGIN_PATH, "polite", out);
    EXPECT_EQ(clean.result.status, 0) << clean.result.out;
    EXPECT_TRUE(clean.json["findings"].items.empty()) << clean.result.out;

    const Validation faulty = validate(NOTE_FULL_VELOCITY_PATH, "polite", out);
    EXPECT_EQ(faulty.result.status, 1) << faulty.result.out;
    EXPECT_EQ(faulty.kinds("failure"), Kinds{"non-finite-output"}) << faulty.result.out;
    const JsonValue& finding = faulty.finding("non-finite-output");
    bool notes = false;
    for (const JsonValue& line : finding["reproducer"].items)
        notes |= line.text.rfind("process ", 0) == 0 && holds(line.text, " notes ");
    EXPECT_TRUE(notes) << faulty.result.out;
    EXPECT_TRUE(replayed(finding["replay"].text)["reproduced"].boolean);
}

// Ctrl-C in the middle of a run: the report of what was found until then,
// naming the reproducers already written, and the tool ends as interrupted.
TEST(Validate, AnInterruptedRunReportsWhatItFoundSoFar) {
    ScratchDirectory out;
    RunningProgram tool(toolCommand({"validate", FIXTURE_TRUNCATED_STEPS, "--seed", "7", "--time", "300",
                                     "--out", out.path}));
    const std::string reproducer = out.file("finding-1.replay");
    for (int wait = 0; wait < 1200 && !fileExists(reproducer) && tool.running(); ++wait) usleep(50 * 1000);
    ASSERT_TRUE(fileExists(reproducer));
    kill(tool.pid(), SIGINT);
    const ToolResult result = tool.wait();
    EXPECT_EQ(result.signal, SIGINT) << result.status << "\n" << result.err;
    EXPECT_TRUE(holds(result.out, "interrupted (SIGINT): what was found until then")) << result.out;
    EXPECT_TRUE(holds(result.out, "FAIL round-trip: ")) << result.out;
    EXPECT_TRUE(holds(result.out, "vst2host validate --replay " + reproducer + "\n")) << result.out;
    EXPECT_TRUE(holds(result.out, "\nFAILED\n")) << result.out;
}

}  // namespace
