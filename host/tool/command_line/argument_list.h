// The words of one command line: options are taken out by name, what is
// left are the positional arguments.
#pragma once

#include <string>
#include <vector>

class ArgumentList {
public:
    explicit ArgumentList(std::vector<std::string> all) : words(std::move(all)) {}

    // Takes every "--name"; true if there was one.
    bool flag(const std::string& name);
    // Takes every "--name VALUE" and "--name=VALUE"; the last value wins.
    bool value(const std::string& name, std::string& out);
    // Takes every "--name VALUE" and "--name=VALUE", in order.
    std::vector<std::string> values(const std::string& name);

    // Takes every word from the first separator on: the words between one
    // separator and the next become a list of their own ("--then").
    std::vector<ArgumentList> takeGroups(const std::string& separator);
    // Takes the first word when it is no option.
    bool takeFirst(std::string& word);
    // Moves the words left in other, and a value it missed, to this list.
    void append(ArgumentList& other);

    // What is left, which must be between least and most words and hold no
    // option; false with the reason otherwise, or after a missing value.
    bool positionals(size_t least, size_t most, std::vector<std::string>& out, std::string& error);

private:
    std::vector<std::string> words;
    std::string problem;
};
