// The manual page the build makes from the tool's own declarations: every
// command and every option of each is in it, man reads it without a
// warning, and --version says the project's version.
#include <gtest/gtest.h>

#include "host/tool/command_line/command_table.h"
#include "tests/tool/tool_runner.h"

namespace {

// How the page spells a word: each dash that starts it a minus sign.
std::string roffWord(const std::string& word) {
    std::string out;
    for (size_t i = 0; i < word.size(); ++i) {
        const bool leading = word[i] == '-' && (i == 0 || word[i - 1] == '-');
        out += leading ? "\\-" : std::string(1, word[i]);
    }
    return out;
}

TEST(ManualPage, IsMadeFromTheDeclarationsAndHoldsEveryCommandAndOption) {
    const std::string page = readText(VST2HOST_MANUAL_PATH);
    ASSERT_EQ(page.rfind(".TH VST2HOST 1 ", 0), 0u) << page.substr(0, 80);
    EXPECT_NE(page.find("\"vst2host " PROJECT_VERSION "\""), std::string::npos);
    EXPECT_NE(page.find(".SH NAME\nvst2host \\- "), std::string::npos);
    size_t options = 0;
    for (const Command& command : commandTable()) {
        const size_t at = page.find(".SS \"" + std::string(command.name) + " ");
        EXPECT_NE(at, std::string::npos) << command.name;
        const size_t next = page.find(".SS ", at + 1);
        const std::string section = page.substr(at, next == std::string::npos ? std::string::npos : next - at);
        for (const OptionLine& line : command.options()) {
            if (line.heading) continue;
            ++options;
            EXPECT_NE(section.find(".TP\n\\fB" + roffWord(line.name) + "\\fR"), std::string::npos)
                << command.name << " " << line.name;
        }
    }
    EXPECT_GT(options, 60u) << "every command's options, the shared ones under each";

    // man formats it without a word of complaint.
    if (runProgram({"man", "--version"}).status != 0) GTEST_SKIP() << "man-db is not installed";
    const ToolResult man = runProgram({"env", "MANWIDTH=80", "man", "--warnings", "-E", "UTF-8", "-l",
                                       VST2HOST_MANUAL_PATH});
    EXPECT_EQ(man.status, 0);
    EXPECT_EQ(man.err, "");
    EXPECT_NE(man.out.find("render PLUGIN IN OUT"), std::string::npos);
}

TEST(ManualPage, VersionIsTheProjects) {
    const ToolResult result = runTool({"--version"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "vst2host " PROJECT_VERSION "\n");
    EXPECT_EQ(result.err, "");
}

}  // namespace
