// The words of one command line after the command's name. Options may stand
// anywhere before a "--"; every word after it is a positional argument, even
// one that starts with '-'. A command takes its options out by declaration
// (option_set.h); what is left are the positional arguments.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class ArgumentList {
public:
    explicit ArgumentList(std::vector<std::string> all);

    // The words where options may stand: those before the "--".
    size_t optionWords() const { return endOfOptions; }
    const std::string& word(size_t index) const { return words[index]; }
    void erase(size_t first, size_t count);

    // Takes every word from the first separator on, up to the "--": the
    // words between one separator and the next become a list of their own
    // ("--then").
    std::vector<ArgumentList> takeGroups(const std::string& separator);
    // Takes the first word when it is no option.
    bool takeFirst(std::string& word);
    // Moves the words left in other to this list's options.
    void append(ArgumentList& other);

    // What is left, which must be between least and most words and hold no
    // option; false with the reason otherwise.
    bool positionals(size_t least, size_t most, std::vector<std::string>& out, std::string& error) const;

private:
    std::vector<std::string> words;  // the "--" itself is not kept
    size_t endOfOptions = 0;
};

// Whether the word is written as an option: a dash and more ("-" alone
// names standard input or output).
bool looksLikeOption(const std::string& word);
