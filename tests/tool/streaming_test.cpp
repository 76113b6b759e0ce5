// Render and diff stream block by block: ten minutes of stereo (211 MB as
// floats, a few kilobytes as FLAC silence) go through in a quarter of a
// gigabyte of address space, which the whole files alone would exceed; and
// what does not fit ends with a message.
#include <gtest/gtest.h>

#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

constexpr size_t kLimitKilobytes = 256 * 1024;

TEST(Streaming, TenMinutesRenderAndCompareInBoundedMemory) {
    if (!addressSpaceCanBeLimited()) GTEST_SKIP() << "sanitizers reserve more address space than any limit";
    ScratchDirectory dir;
    const std::string in = dir.file("long.flac"), out = dir.file("out.flac");
    const size_t frames = 600 * 44100;
    ASSERT_TRUE(writeSilence(in, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 2, frames));
    const ToolResult render = runToolWithin(
        kLimitKilobytes, {"render", VARNOLET_MODULE_PATH, in, out, "--tail", "0", "--same-format"});
    ASSERT_EQ(render.status, 0) << render.err;
    const SoundShape shape = soundShape(out);
    EXPECT_EQ(shape.frames, static_cast<long long>(frames));
    EXPECT_EQ(shape.channels, 2);

    const ToolResult diff = runToolWithin(kLimitKilobytes, {"diff", in, out});
    EXPECT_EQ(diff.status, 0) << diff.out << diff.err;
    EXPECT_NE(diff.out.find("frames:                26460000 and 26460000"), std::string::npos) << diff.out;
}

TEST(Streaming, RunningOutOfMemoryEndsWithAMessage) {
    if (!addressSpaceCanBeLimited()) GTEST_SKIP() << "sanitizers reserve more address space than any limit";
    // A plot keeps the whole response: ten minutes at 768 kHz do not fit.
    ScratchDirectory dir;
    const ToolResult result =
        runToolWithin(2 * kLimitKilobytes, {"plot", VARNOLET_MODULE_PATH, dir.file("ir.png"), "--rate",
                                            "768000", "--seconds", "600"});
    EXPECT_EQ(result.status, 1) << "signal " << result.signal;
    EXPECT_EQ(result.err, "vst2host: out of memory\n");
    EXPECT_TRUE(dir.names().empty());
}

}  // namespace
