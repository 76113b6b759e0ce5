// Where render writes: through a link to its target, into every hard link
// of a file, straight into a device or a FIFO; a regular file is replaced
// only when the render succeeds, and keeps its permissions.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

class OutputFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        input = dir.file("in.wav");
        ASSERT_TRUE(writeSound(input, clickSound(44100, 2, 4410, 0.2f)));
    }

    ToolResult render(const std::string& out, const std::vector<std::string>& extra = {}) {
        std::vector<std::string> arguments = {"render", VARNOLET_MODULE_PATH, input, out, "--tail", "0"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return runTool(arguments);
    }

    static struct stat statOf(const std::string& path) {
        struct stat info {};
        EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
        return info;
    }

    ScratchDirectory dir;
    std::string input;
};

TEST_F(OutputFileTest, ALinkIsWrittenThroughAndStaysALink) {
    const std::string target = dir.file("target.wav"), link = dir.file("link.wav");
    ASSERT_TRUE(writeSound(target, clickSound(44100, 2, 10, 0.5f)));
    ASSERT_EQ(symlink("target.wav", link.c_str()), 0);
    ASSERT_EQ(render(link).status, 0);
    EXPECT_TRUE(S_ISLNK(statOf(link).st_mode));
    EXPECT_EQ(readSound(target).frames(), 4410u);

    // A link to a file that does not exist yet creates that file.
    const std::string dangling = dir.file("dangling.wav");
    ASSERT_EQ(symlink("made.wav", dangling.c_str()), 0);
    ASSERT_EQ(render(dangling).status, 0);
    EXPECT_TRUE(S_ISLNK(statOf(dangling).st_mode));
    EXPECT_EQ(readSound(dir.file("made.wav")).frames(), 4410u);
}

TEST_F(OutputFileTest, EveryHardLinkSeesTheResult) {
    const std::string a = dir.file("a.wav"), b = dir.file("b.wav");
    ASSERT_TRUE(writeSound(a, clickSound(44100, 2, 10, 0.5f)));
    ASSERT_EQ(link(a.c_str(), b.c_str()), 0);
    ASSERT_EQ(render(a).status, 0);
    EXPECT_EQ(statOf(a).st_ino, statOf(b).st_ino);
    EXPECT_EQ(statOf(a).st_nlink, 2u);
    EXPECT_EQ(readSound(b).frames(), 4410u);
}

TEST_F(OutputFileTest, AReplacedFileKeepsItsModeAndAFailedRenderKeepsTheFile) {
    const std::string out = dir.file("out.wav");
    ASSERT_TRUE(writeSound(out, clickSound(44100, 2, 10, 0.5f)));
    ASSERT_EQ(chmod(out.c_str(), 0640), 0);
    ASSERT_EQ(render(out).status, 0);
    EXPECT_EQ(statOf(out).st_mode & 07777, 0640u);
    const std::string before = readText(out);
    EXPECT_EQ(render(out, {"--set", "Tap 9 time=0.5"}).status, 1);
    EXPECT_EQ(readText(out), before);
    EXPECT_EQ(dir.names().size(), 2u);  // in.wav and out.wav, nothing partial
}

TEST_F(OutputFileTest, DevicesAreWrittenToAndStayDevices) {
    // Device nodes of the test's own, so that no mistake can touch /dev.
    const std::string null = dir.file("null"), full = dir.file("full");
    if (mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
        mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        GTEST_SKIP() << "making device nodes needs root";
    EXPECT_EQ(render(null).status, 0);
    const ToolResult result = render(full);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("No space left on device"), std::string::npos) << result.err;
    EXPECT_TRUE(S_ISCHR(statOf(null).st_mode));
    EXPECT_TRUE(S_ISCHR(statOf(full).st_mode));
}

TEST_F(OutputFileTest, AFifoIsWrittenToOrRefusedButStaysAFifo) {
    // WAV goes back to its header at the end, which a pipe cannot take; AU
    // streams.
    for (const char* name : {"out.wav", "out.au"}) {
        const std::string fifo = dir.file(name);
        ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
        // A reader that takes whatever arrives until the tool is done.
        std::atomic<bool> toolDone{false};
        std::string received;
        std::thread reader([&] {
            const int fd = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
            char buffer[4096];
            while (fd >= 0) {
                const ssize_t got = read(fd, buffer, sizeof buffer);
                if (got > 0) received.append(buffer, static_cast<size_t>(got));
                else if (toolDone) break;
                else usleep(1000);
            }
            if (fd >= 0) close(fd);
        });
        const ToolResult result = render(fifo);
        toolDone = true;
        reader.join();
        EXPECT_TRUE(S_ISFIFO(statOf(fifo).st_mode));
        if (std::string(name) == "out.wav") {
            EXPECT_EQ(result.status, 1);
            EXPECT_NE(result.err.find("pipe"), std::string::npos) << result.err;
        } else {
            EXPECT_EQ(result.status, 0) << result.err;
            const std::string copy = dir.file("received.au");
            std::ofstream(copy, std::ios::binary) << received;
            const Sound sound = readSound(copy);
            EXPECT_EQ(sound.frames(), 4410u);
            EXPECT_EQ(sound.format, SF_FORMAT_AU | SF_FORMAT_FLOAT);
            std::remove(copy.c_str());
        }
        std::remove(fifo.c_str());
        EXPECT_EQ(dir.names().size(), 1u);  // in.wav alone: nothing was staged
    }
}

}  // namespace
