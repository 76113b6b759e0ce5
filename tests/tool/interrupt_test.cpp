// An interrupted render leaves nothing behind: started on an input that
// arrives through a FIFO, so that it is surely mid-render, and stopped with
// SIGINT or SIGTERM.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/tool/tool_runner.h"

namespace {

// An AU header for 32-bit float stereo at 44.1 kHz of unknown length, as a
// stream carries it, and a second of silence after it.
std::string streamStart() {
    std::string bytes;
    for (uint32_t word : {0x2E736E64u, 24u, 0xFFFFFFFFu, 6u, 44100u, 2u})
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<char>(word >> shift));
    bytes.append(44100 * 2 * 4, '\0');
    return bytes;
}

// Opens the FIFO for writing once the program has opened it for reading.
int openWhenRead(const std::string& fifo, RunningProgram& program) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline && program.running()) {
        const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            return fd;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -1;
}

bool waitForPartialFile(const ScratchDirectory& dir) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        for (const std::string& name : dir.names())
            if (name.find(".partial-") != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

TEST(Interrupt, ASignalMidRenderRemovesTheStagedOutput) {
    for (int signal : {SIGINT, SIGTERM}) {
        ScratchDirectory dir;
        const std::string fifo = dir.file("in.au");
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        RunningProgram tool(toolCommand({"render", VARNOLET_MODULE_PATH, fifo, dir.file("out.wav")}));
        const int writer = openWhenRead(fifo, tool);
        ASSERT_GE(writer, 0) << "the tool never read its input";
        const std::string start = streamStart();
        ASSERT_EQ(write(writer, start.data(), start.size()), static_cast<ssize_t>(start.size()));
        ASSERT_TRUE(waitForPartialFile(dir)) << "no output was staged";
        // The tool now waits for more input, with its output half written.
        kill(tool.pid(), signal);
        const ToolResult result = tool.wait();
        close(writer);
        EXPECT_EQ(result.signal, signal) << "it ends as the signal ends it";
        EXPECT_EQ(dir.names(), std::vector<std::string>{"in.au"});
    }
}

}  // namespace
