// Nothing is lost without a word: a full disk fails the command whatever the
// encoder, with the system's reason, and keeps the old file; a file this user
// may not write is refused as cp refuses it; a report that cannot be written
// to standard output fails the command.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include <dirent.h>
#include <sys/mount.h>
#include <sys/sysmacros.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

// Every encoder the tool writes with; the input runs at 48 kHz, which each
// of them holds.
const char* const kFormats[] = {"wav", "au", "flac", "ogg", "opus", "mp3"};

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A file system of 64 KiB of its own, mounted where the machine lets this
// process mount one (as root, with the right to), gone with the object.
class SmallDisk {
public:
    explicit SmallDisk(std::string where) : path(std::move(where)) {
        if (mkdir(path.c_str(), 0755) != 0) reason = std::strerror(errno);
        else if (mount("tmpfs", path.c_str(), "tmpfs", 0, "size=64k") == 0) mounted = true;
        else reason = std::string("mounting a tmpfs: ") + std::strerror(errno);
    }
    ~SmallDisk() {
        if (mounted) umount2(path.c_str(), MNT_DETACH);
        rmdir(path.c_str());
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    std::vector<std::string> names() const {
        std::vector<std::string> found;
        if (DIR* folder = opendir(path.c_str())) {
            while (const dirent* entry = readdir(folder))
                if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                    found.push_back(entry->d_name);
            closedir(folder);
        }
        return found;
    }

    std::string path, reason;
    bool mounted = false;
};

class OutputErrors : public ::testing::Test {
protected:
    void SetUp() override {
        // Noise does not compress: 20 s of it fill 64 KiB in any encoding.
        ASSERT_TRUE(writeSound(input, noiseSound(48000, 2, 20 * 48000, 0.5f, 5)));
    }

    ToolResult render(const std::string& out, const char* format) {
        return runTool({"render", VARNOLET_MODULE_PATH, input, out, "--tail", "0", "--format", format});
    }

    ScratchDirectory dir;
    const std::string input = dir.file("noise.wav");
};

TEST_F(OutputErrors, AFullDiskFailsEveryEncoderAndKeepsTheOldFile) {
    SmallDisk disk(dir.file("small"));
    if (!disk.mounted) GTEST_SKIP() << "no small disk to fill: " << disk.reason;
    const std::string old = "the old file, which must survive\n";
    for (const char* format : kFormats) {
        const std::string out = disk.path + "/old." + format;
        writeBytes(out, old);
        const ToolResult result = render(out, format);
        EXPECT_EQ(result.status, 1) << format << ": " << result.err;
        EXPECT_EQ(result.err, "vst2host: cannot write " + out + ": No space left on device\n") << format;
        EXPECT_TRUE(readText(out) == old) << format << ": the old file was replaced";
        EXPECT_EQ(disk.names(), std::vector<std::string>{std::string("old.") + format})
            << format << ": nothing partial is left";
        std::remove(out.c_str());
    }
}

TEST_F(OutputErrors, AFullDeviceFailsEveryEncoder) {
    // A device node of the test's own, so that no mistake can touch /dev.
    const std::string full = dir.file("full");
    if (mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) GTEST_SKIP() << "making a device node needs root";
    for (const char* format : kFormats) {
        // libsndfile keeps its Vorbis encoder when it cannot write the
        // header, and the tool ends right there: LeakSanitizer would report
        // the library's leak, the other sanitizers still watch.
        std::vector<std::string> command = toolCommand(
            {"render", VARNOLET_MODULE_PATH, input, full, "--tail", "0", "--format", format});
        if (std::string(format) == "ogg") command.insert(command.begin(), {"env", "ASAN_OPTIONS=detect_leaks=0"});
        const ToolResult result = runProgram(command);
        EXPECT_EQ(result.status, 1) << format;
        EXPECT_EQ(result.err, "vst2host: cannot write " + full + ": No space left on device\n") << format;
    }
}

// Runs the tool as the unprivileged user nobody, who owns nothing here;
// false when no such user can be made here.
bool canRunAsNobody() {
    if (geteuid() != 0) return false;
    return runProgram({"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", VST2HOST_PATH,
                       "--help"})
               .status == 0;
}

ToolResult runAsNobody(const std::vector<std::string>& arguments) {
    std::vector<std::string> command = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    const std::vector<std::string> tool = toolCommand(arguments);
    command.insert(command.end(), tool.begin(), tool.end());
    return runProgram(command);
}

TEST_F(OutputErrors, AFileThisUserMayNotWriteIsRefusedAndKept) {
    if (!canRunAsNobody()) GTEST_SKIP() << "needs root and setpriv (util-linux) to run as nobody";
    // The build may lie where nobody cannot look (a clone in root's home):
    // nobody gets a copy of the module of its own to read.
    ScratchDirectory readable;
    ASSERT_EQ(chmod(readable.path.c_str(), 0755), 0);
    const std::string module = readable.file("varnolet.so");
    {
        std::ifstream from(VARNOLET_MODULE_PATH, std::ios::binary);
        std::ofstream to(module, std::ios::binary);
        to << from.rdbuf();
        ASSERT_TRUE(from && to) << "copying the module";
    }
    ASSERT_EQ(chmod(module.c_str(), 0755), 0);
    // A folder anyone may write into: its permission alone would let a new
    // file take the old one's place.
    ASSERT_EQ(chmod(dir.path.c_str(), 0777), 0);
    ASSERT_EQ(chmod(input.c_str(), 0644), 0);
    const std::string old = "read-only\n";
    const std::string mine = dir.file("mine.wav"), theirs = dir.file("theirs.wav"), open = dir.file("open.wav");
    for (const std::string& path : {mine, theirs, open}) writeBytes(path, old);
    ASSERT_EQ(chown(mine.c_str(), 65534, 65534), 0);
    ASSERT_EQ(chmod(mine.c_str(), 0444), 0);   // nobody's own, read-only
    ASSERT_EQ(chmod(theirs.c_str(), 0444), 0);  // root's, read-only
    ASSERT_EQ(chown(open.c_str(), 65534, 65534), 0);
    ASSERT_EQ(chmod(open.c_str(), 0644), 0);  // nobody's, writable: the render works
    for (const std::string& path : {mine, theirs}) {
        const ToolResult result = runAsNobody({"render", module, input, path, "--tail", "0"});
        EXPECT_EQ(result.status, 1) << path;
        EXPECT_EQ(result.err, "vst2host: cannot write " + path + ": Permission denied\n");
        EXPECT_TRUE(readText(path) == old) << path << " was replaced";
    }
    const ToolResult allowed = runAsNobody({"render", module, input, open, "--tail", "0"});
    EXPECT_EQ(allowed.status, 0) << allowed.err;
    EXPECT_EQ(readSound(open).frames(), 20u * 48000u);
    EXPECT_EQ(dir.names().size(), 4u) << "nothing partial is left";
}

TEST_F(OutputErrors, AReportThatCannotReachStandardOutputFailsTheCommand) {
    const std::string png = dir.file("ir.png");
    // Each command with its report sent into a full device.
    const std::vector<std::pair<std::vector<std::string>, int>> cases = {
        {{"info", "--json", VARNOLET_MODULE_PATH}, 1},
        {{"info", VARNOLET_MODULE_PATH}, 1},
        {{"bench", VARNOLET_MODULE_PATH, "--seconds", "0.01", "--rounds", "1", "--warm-up", "0",
          "--block", "512"},
         1},
        {{"--help"}, 1},
        {{"diff", input, input}, 2},  // trouble, not a difference
        {{"plot", VARNOLET_MODULE_PATH, "-", "--seconds", "0.1"}, 1},
        {{"render", VARNOLET_MODULE_PATH, input, "-", "--tail", "0", "--format", "au"}, 1},
    };
    for (const auto& [arguments, status] : cases) {
        std::vector<std::string> command = {"sh", "-c", "exec \"$@\" > /dev/full", "sh"};
        const std::vector<std::string> tool = toolCommand(arguments);
        command.insert(command.end(), tool.begin(), tool.end());
        const ToolResult result = runProgram(command);
        EXPECT_EQ(result.status, status) << arguments[0] << ": " << result.err;
        EXPECT_NE(result.err.find("No space left on device"), std::string::npos) << arguments[0] << ": "
                                                                                 << result.err;
    }
    // A picture written into the full device by name fails alike.
    const ToolResult plot = runTool({"plot", VARNOLET_MODULE_PATH, "/dev/full", "--seconds", "0.1"});
    EXPECT_EQ(plot.status, 1);
    EXPECT_EQ(plot.err, "vst2host: cannot write /dev/full: No space left on device\n");
}

}  // namespace
