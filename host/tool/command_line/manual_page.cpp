#include "host/tool/command_line/manual_page.h"

#include <cctype>

#include "host/tool/command_line/command_table.h"

namespace {
// Text as roff prints it: a backslash written as one, a line never taken
// for a request, and a dash that starts a word (an option, a negative
// number) a minus sign, as it must be typed; a hyphen within a word stays.
std::string escaped(const std::string& text) {
    std::string out;
    bool wordStart = true;
    bool inDashes = false;
    for (char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-' && (wordStart || inDashes)) {
            out += "\\-";
            inDashes = true;
            wordStart = false;
            continue;
        } else {
            out += c;
        }
        inDashes = false;
        wordStart = c == ' ' || c == '(' || c == '[' || c == '|' || c == '\n' || c == '"';
    }
    return out;
}

// Lines of text that roff fills into a paragraph; none may start with a
// control character.
std::string paragraph(const std::string& text) {
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        if (!line.empty()) out += (line[0] == '.' || line[0] == '\'' ? "\\&" : "") + escaped(line) + "\n";
        start = end + 1;
    }
    return out;
}

std::string options(const std::vector<OptionLine>& lines) {
    std::string out;
    for (const OptionLine& line : lines) {
        if (line.heading) {
            out += ".PP\n.I \"" + escaped(line.name) + "\"\n";
            continue;
        }
        out += ".TP\n\\fB" + escaped(line.name) + "\\fR";
        if (!line.argument.empty()) out += " \\fI" + escaped(line.argument) + "\\fR";
        out += "\n" + paragraph(line.help);
    }
    return out;
}
}  // namespace

std::string manualPage() {
    const std::string version = versionText();
    std::string page = ".TH VST2HOST 1 \"\" \"" + version + "\" \"User Commands\"\n";
    page += ".SH NAME\nvst2host \\- command-line host for VST 2.4 and CLAP plug-ins\n";
    page += ".SH SYNOPSIS\n";
    for (const Command& command : commandTable())
        page += ".B vst2host\n" + std::string(".RB [ \\-\\-log ]\n") + ".B " + command.name + "\n" +
                paragraph(command.synopsis) + ".br\n";
    page += ".B vst2host\n.RB [ \\-\\-help | \\-\\-version ]\n";
    page += ".SH DESCRIPTION\n" + paragraph(kToolDescription);
    page += ".PP\nEach command takes its options anywhere after its name, before a \\fB\\-\\-\\fR;\n"
            "an option's value follows it as the next word or after an \\fB=\\fR.\n";
    page += ".SH OPTIONS\n" + options(toolOptions());
    page += ".SH COMMANDS\n";
    for (const Command& command : commandTable()) {
        page += ".SS \"" + escaped(std::string(command.name) + " " + command.synopsis) + "\"\n";
        page += paragraph(command.description) + options(command.options());
    }
    page += ".SH \"EXIT STATUS\"\n" + paragraph(kExitStatusText);
    page += ".SH \"SEE ALSO\"\n.BR gnuplot (1),\n.BR sox (1)\n";
    return page;
}
