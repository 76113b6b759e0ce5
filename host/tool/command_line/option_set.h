// A command's options, each declared once: its name, the argument it takes,
// its help, and where its value goes. The command's help text, the manual
// page and the reading of its words all come from these declarations, so
// adding an option is one line in one place.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/tool/command_line/argument_list.h"

// One line of a command's help: an option, or the heading of a group of them.
struct OptionLine {
    bool heading = false;
    std::string name;      // "--block"; a heading's text
    std::string argument;  // "N | random"; empty for a flag
    std::string help;      // lines separated by '\n'
};

// The range a number must lie in, and how a message names it.
struct NumberRange {
    double least, most;
    const char* what;  // "a sample rate", "seconds"
    const char* unit;  // after the range: " Hz", or ""
    bool leastExcluded;  // "above 0" rather than "from 0"
};

class OptionSet {
public:
    // Stores the value, or says why it cannot be taken.
    using Taker = std::function<bool(const std::string& value, std::string& error)>;

    // A heading above the options declared after it.
    OptionSet& heading(const std::string& text);
    // An option without a value; true once given.
    OptionSet& flag(const char* name, const char* help, bool& target);
    // An option with a value, given to take each time it stands (the last
    // one wins where take keeps one; take may keep them all, in order).
    OptionSet& value(const char* name, const char* argument, const char* help, Taker take);
    OptionSet& text(const char* name, const char* argument, const char* help, std::string& target);
    OptionSet& decimal(const char* name, const char* argument, const char* help, double& target,
                       const NumberRange& range);
    OptionSet& whole(const char* name, const char* argument, const char* help, int64_t& target,
                     const NumberRange& range);

    // Takes this set's options ("--name VALUE", "--name=VALUE", "--flag")
    // out of the words and stores them; what the set does not know stays.
    // False, with the reason, for a value that is missing or malformed.
    bool take(ArgumentList& words, std::string& error) const;

    const std::vector<OptionLine>& lines() const { return shown; }

private:
    struct Option {
        std::string name;
        bool* flag = nullptr;  // set for a flag, else take
        Taker take;
    };
    void declare(const char* name, const char* argument, const char* help);

    std::vector<Option> options;
    std::vector<OptionLine> shown;
};

// The message for a number outside its range or not a number:
// "--rate needs a sample rate from 1000 to 768000 Hz, not 'x'".
std::string rangeMessage(const std::string& name, const NumberRange& range, const std::string& text);
// Whether the text is a number within the range.
bool withinRange(const std::string& text, const NumberRange& range, double& number);

// The options as help text: each with its argument, its help beside it,
// under their headings.
std::string optionHelpText(const std::vector<OptionLine>& lines);
