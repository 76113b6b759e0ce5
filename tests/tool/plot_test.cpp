// The plot command's PNG: made by gnuplot, with one panel per output and
// one for the first echo when there is one; nothing left behind on failure.
#include <gtest/gtest.h>

#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

struct PngSize {
    uint32_t width = 0, height = 0;
};

// The width and height from the PNG header; zero when it is no PNG.
PngSize pngSize(const std::string& path) {
    const std::string bytes = readText(path);
    const std::string signature = "\x89PNG\r\n\x1a\n";
    PngSize size;
    if (bytes.size() < 24 || bytes.compare(0, 8, signature) != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return size;
    const auto word = [&](size_t at) {
        uint32_t v = 0;
        for (size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
        return v;
    };
    size.width = word(16);
    size.height = word(20);
    return size;
}

TEST(Plot, VarnoletImpulseResponseAndFirstEcho) {
    ScratchDirectory dir;
    const std::string png = dir.file("ir.png");
    const ToolResult result = runTool({"plot", VARNOLET_MODULE_PATH, png});
    ASSERT_EQ(result.status, 0) << result.err;
    const PngSize size = pngSize(png);
    EXPECT_EQ(size.width, 1200u);
    EXPECT_EQ(size.height, 3u * 260u + 60u);  // left, right, first echo
    EXPECT_NE(result.err.find("Varnolet Delay"), std::string::npos);
    EXPECT_NE(result.err.find("magnitude response of the first echo"), std::string::npos);
    // The first tap's echo starts 200 ms in, where diff sees it start.
    EXPECT_NE(result.err.find("the first echo (frames 8820 to "), std::string::npos) << result.err;
}

TEST(Plot, TheFirstEchoStartsWhereDiffSeesItsFirstSound) {
    // A low-passed echo rises from nothing one frame after its tap's time:
    // the plot and diff name the same first frame of it.
    ScratchDirectory dir;
    const std::vector<std::string> low = {"--set", "Filter Type=@Low"};
    std::vector<std::string> plot = {"plot", VARNOLET_MODULE_PATH, dir.file("ir.png")};
    plot.insert(plot.end(), low.begin(), low.end());
    const ToolResult drawn = runTool(plot);
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    const size_t at = drawn.err.find("the first echo (frames ");
    ASSERT_NE(at, std::string::npos) << drawn.err;
    const std::string start = drawn.err.substr(at + 23, drawn.err.find(' ', at + 23) - at - 23);

    ASSERT_TRUE(writeSound(dir.file("click.wav"), clickSound(44100, 2, 22050, 0.2f)));
    ASSERT_TRUE(writeSound(dir.file("silence.wav"), clickSound(44100, 2, 22050, 0.0f)));
    std::vector<std::string> render = {"render", VARNOLET_MODULE_PATH, dir.file("click.wav"),
                                       dir.file("out.wav"), "--tail", "0"};
    render.insert(render.end(), low.begin(), low.end());
    ASSERT_EQ(runTool(render).status, 0);
    const ToolResult diff = runTool({"diff", dir.file("silence.wav"), dir.file("out.wav")});
    EXPECT_NE(diff.out.find("first differing frame: " + start + "\n"), std::string::npos)
        << "the plot says " << start << "; diff:\n" << diff.out;
}

TEST(Plot, LevelsInDecibelsAndAnOverviewOfManyOutputs) {
    ScratchDirectory dir;
    const std::string png = dir.file("ir.png"), linear = dir.file("linear.png");
    ToolResult result = runTool({"plot", VARNOLET_MODULE_PATH, png, "--scale", "db"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(pngSize(png).height, 3u * 260u + 60u);
    // gnuplot draws the same picture alike to the byte; the levels are another.
    ASSERT_EQ(runTool({"plot", VARNOLET_MODULE_PATH, linear}).status, 0);
    EXPECT_NE(readText(png), readText(linear));
    result = runTool({"plot", MANY_CHANNEL_PLUGIN_PATH, png});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(pngSize(png).height, 900u) << "one picture for 64 outputs, not 64 panels";
    EXPECT_NE(result.err.find("an overview of 64 outputs"), std::string::npos) << result.err;
    EXPECT_EQ(runTool({"plot", VARNOLET_MODULE_PATH, png, "--scale", "loud"}).status, 2);
}

TEST(Plot, ThirdPartyPluginWithoutEchoes) {
    DEBIAN_PLUGIN_OR_SKIP(equaliser, "3BandEQ-vst.so");
    DEBIAN_PLUGIN_OR_SKIP(reverb, "MaFreeverb-vst.so");
    ScratchDirectory dir;
    const std::string png = dir.file("eq.png");
    // The equaliser gives the impulse back at once: no echo, so the whole
    // response's magnitude response is drawn.
    const ToolResult eq = runTool({"plot", equaliser, png});
    ASSERT_EQ(eq.status, 0) << eq.err;
    EXPECT_EQ(pngSize(png).height, 3u * 260u + 60u);
    EXPECT_NE(eq.err.find("magnitude response of the whole response"), std::string::npos) << eq.err;
    const std::string mono = dir.file("verb.png");
    const ToolResult verb = runTool({"plot", reverb, mono,
                                     "--seconds", "1"});
    ASSERT_EQ(verb.status, 0) << verb.err;
    EXPECT_EQ(pngSize(mono).width, 1200u);
}

TEST(Plot, FailuresLeaveNoPicture) {
    ScratchDirectory dir;
    const std::string png = dir.file("ir.png");
    ToolResult result = runTool({"plot", BAD_MAGIC_MODULE_PATH, png});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("not a VST 2.4 plug-in"), std::string::npos) << result.err;
    result = runProgram({"env", "PATH=/nonexistent", VST2HOST_PATH, "plot", VARNOLET_MODULE_PATH, png});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("cannot run gnuplot"), std::string::npos) << result.err;
    EXPECT_TRUE(dir.names().empty());
}

}  // namespace
