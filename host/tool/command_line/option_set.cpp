#include "host/tool/command_line/option_set.h"

#include <cmath>
#include <cstdio>

#include "host/tool/command_line/number_text.h"

namespace {
// Help stands in a column of its own, from here on.
constexpr size_t kHelpColumn = 24;

std::string numberText(double number) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", number);
    return text;
}
}  // namespace

void OptionSet::declare(const char* name, const char* argument, const char* help) {
    OptionLine line;
    line.name = name;
    line.argument = argument ? argument : "";
    line.help = help;
    shown.push_back(line);
}

OptionSet& OptionSet::heading(const std::string& text) {
    OptionLine line;
    line.heading = true;
    line.name = text;
    shown.push_back(line);
    return *this;
}

OptionSet& OptionSet::flag(const char* name, const char* help, bool& target) {
    declare(name, nullptr, help);
    Option option;
    option.name = name;
    option.flag = &target;
    options.push_back(option);
    return *this;
}

OptionSet& OptionSet::value(const char* name, const char* argument, const char* help, Taker take) {
    declare(name, argument, help);
    Option option;
    option.name = name;
    option.take = std::move(take);
    options.push_back(option);
    return *this;
}

OptionSet& OptionSet::text(const char* name, const char* argument, const char* help,
                           std::string& target) {
    const std::string option = name;
    return value(name, argument, help, [option, &target](const std::string& given, std::string& error) {
        if (given.empty()) {
            error = option + " needs a value";
            return false;
        }
        target = given;
        return true;
    });
}

OptionSet& OptionSet::decimal(const char* name, const char* argument, const char* help, double& target,
                              const NumberRange& range) {
    const std::string option = name;
    return value(name, argument, help, [option, range, &target](const std::string& given, std::string& error) {
        if (withinRange(given, range, target)) return true;
        error = rangeMessage(option, range, given);
        return false;
    });
}

OptionSet& OptionSet::whole(const char* name, const char* argument, const char* help, int64_t& target,
                            const NumberRange& range) {
    const std::string option = name;
    return value(name, argument, help, [option, range, &target](const std::string& given, std::string& error) {
        double number = 0.0;
        if (parseWholeNumber(given, target) && withinRange(given, range, number)) return true;
        error = rangeMessage(option, range, given);
        return false;
    });
}

bool OptionSet::take(ArgumentList& words, std::string& error) const {
    for (size_t i = 0; i < words.optionWords();) {
        const std::string& word = words.word(i);
        const Option* found = nullptr;
        bool joined = false;  // "--name=VALUE"
        for (const Option& option : options) {
            joined = word.compare(0, option.name.size() + 1, option.name + "=") == 0;
            if (word == option.name || joined) {
                found = &option;
                break;
            }
        }
        if (!found) {
            ++i;
            continue;
        }
        if (found->flag) {
            if (joined) {
                error = found->name + " takes no value";
                return false;
            }
            *found->flag = true;
            words.erase(i, 1);
            continue;
        }
        std::string given;
        if (joined) {
            given = word.substr(found->name.size() + 1);
            words.erase(i, 1);
        } else {
            if (i + 1 >= words.optionWords()) {
                error = found->name + " needs a value";
                return false;
            }
            given = words.word(i + 1);
            words.erase(i, 2);
        }
        if (!found->take(given, error)) return false;
    }
    return true;
}

bool withinRange(const std::string& text, const NumberRange& range, double& number) {
    double read = 0.0;
    if (!parseDecimal(text, read)) return false;
    const bool aboveLeast = range.leastExcluded ? read > range.least : read >= range.least;
    if (!aboveLeast || read > range.most) return false;
    number = read;
    return true;
}

std::string rangeMessage(const std::string& name, const NumberRange& range, const std::string& text) {
    return name + " needs " + range.what + (range.leastExcluded ? " above " : " from ") +
           numberText(range.least) + (range.leastExcluded ? ", up to " : " to ") +
           numberText(range.most) + range.unit + ", not '" + text + "'";
}

std::string optionHelpText(const std::vector<OptionLine>& lines) {
    std::string text;
    for (const OptionLine& line : lines) {
        if (line.heading) {
            text += line.name + "\n";
            continue;
        }
        std::string head = "  " + line.name + (line.argument.empty() ? "" : " " + line.argument);
        // A long head takes a line of its own, its help below it.
        head += head.size() + 1 > kHelpColumn ? "\n" + std::string(kHelpColumn, ' ')
                                              : std::string(kHelpColumn - head.size(), ' ');
        text += head;
        size_t start = 0;
        for (size_t end; (end = line.help.find('\n', start)) != std::string::npos; start = end + 1)
            text += line.help.substr(start, end - start) + "\n" + std::string(kHelpColumn, ' ');
        text += line.help.substr(start) + "\n";
    }
    return text;
}
