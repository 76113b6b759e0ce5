// Varnolet Delay through vst2host as CLAP and as VST 2.4: the same settings,
// rate and blocks give the same bits, automation included (events at their
// frames against the VST 2.4 blocks split there), and the tool reads the
// CLAP plug-in's tail.
#include <gtest/gtest.h>

#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

// Every tap feeds back, the filter sits between band and high with a high Q,
// the saturation drives, and tap 2 reaches back the whole two seconds. The
// values are 0..1 over each range, which both formats map alike: all but the
// cutoff, whose VST 2.4 mapping is logarithmic, and which stays at 1000 Hz.
const std::vector<std::string> kBusy = {
    "--set", "Tap 1 time=0.125",    "--set", "Tap 1 feedback=0.5", "--set", "Tap 2 time=1",
    "--set", "Tap 2 feedback=0.25", "--set", "Tap 3 time=0.375",   "--set", "Tap 3 pan=0.625",
    "--set", "Tap 4 feedback=0.625", "--set", "Tap 4 level=0.75",  "--set", "Wet/Dry mix=0.75",
    "--set", "Filter Q=0.875",      "--set", "Filter Type=0.625",  "--set", "Filter Sweep=0.25",
    "--set", "Saturation=0.5",      "--set", "Master feedback=0.75"};

class VarnoletClapTest : public ::testing::Test {
protected:
    // Renders the input through the plug-in with the options; the samples.
    Sound render(const std::string& plugin, const std::vector<std::string>& options) {
        std::vector<std::string> arguments = {"render", plugin, in, out, "--tail", "0"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const ToolResult result = runTool(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        return readSound(out);
    }

    void expectSameBits(const std::vector<std::string>& options) {
        const Sound viaVst2 = render(VARNOLET_MODULE_PATH, options);
        const Sound viaClap = render(VARNOLET_CLAP_PATH, options);
        ASSERT_EQ(viaClap.channels.size(), 2u);
        EXPECT_EQ(viaClap.channels, viaVst2.channels);
        EXPECT_NE(viaClap.channels, readSound(in).channels) << "the delay must be heard";
    }

    ScratchDirectory dir;
    const std::string in = dir.file("in.wav"), out = dir.file("out.wav");
};

TEST_F(VarnoletClapTest, RendersTheVst24ModulesBitsAtAnyFixedBlockSize) {
    for (int rate : {44100, 96000}) {
        ASSERT_TRUE(writeSound(in, noiseSound(rate, 2, static_cast<size_t>(rate * 1.2), 0.5f, 3)));
        for (const char* block : {"1", "64", "4096", "random"}) {
            SCOPED_TRACE(std::to_string(rate) + " Hz, blocks of " + block);
            expectSameBits({"--block", block});
            std::vector<std::string> busy = kBusy;
            busy.insert(busy.end(), {"--block", block, "--seed", "5"});
            expectSameBits(busy);
        }
    }
}

TEST_F(VarnoletClapTest, AutomatedAsEventsItSoundsAsTheModuleWithItsBlocksSplit) {
    ASSERT_TRUE(writeSound(in, noiseSound(48000, 2, 72000, 0.5f, 4)));
    for (const char* block : {"64", "100", "random"}) {
        SCOPED_TRACE(block);
        expectSameBits({"--automate", "Tap 1 time=0:0.05,1.2:0.2", "--automate",
                        "Filter Type=0:0.25,1:0.75", "--automate", "Tap 4 feedback=0:0.2,1.5:0.9",
                        "--block", block});
    }
}

TEST_F(VarnoletClapTest, InfoShowsItsTexts) {
    const ToolResult result =
        runTool({"info", VARNOLET_CLAP_PATH, "--set", "Filter Type=@Band", "--set", "Tap 1 time=@350 ms"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("Plug-in id:      com.tolmark.varnolet-delay\n"), std::string::npos);
    EXPECT_NE(result.out.find("Tail:            infinite\n"), std::string::npos);
    EXPECT_NE(result.out.find(" Band "), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("350.0 ms"), std::string::npos) << result.out;
}

}  // namespace
