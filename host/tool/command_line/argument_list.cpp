#include "host/tool/command_line/argument_list.h"

#include <algorithm>

bool ArgumentList::flag(const std::string& name) {
    bool found = false;
    for (auto it = words.begin(); it != words.end();) {
        if (*it == name) {
            found = true;
            it = words.erase(it);
        } else {
            ++it;
        }
    }
    return found;
}

std::vector<std::string> ArgumentList::values(const std::string& name) {
    std::vector<std::string> found;
    const std::string joined = name + "=";
    for (size_t i = 0; i < words.size();) {
        if (words[i] == name) {
            if (i + 1 >= words.size()) {
                problem = name + " needs a value";
                words.erase(words.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            }
            found.push_back(words[i + 1]);
            words.erase(words.begin() + static_cast<std::ptrdiff_t>(i),
                        words.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        } else if (words[i].compare(0, joined.size(), joined) == 0) {
            found.push_back(words[i].substr(joined.size()));
            words.erase(words.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    return found;
}

std::vector<ArgumentList> ArgumentList::takeGroups(const std::string& separator) {
    std::vector<ArgumentList> groups;
    auto at = std::find(words.begin(), words.end(), separator);
    for (auto it = at; it != words.end();) {
        const auto next = std::find(it + 1, words.end(), separator);
        groups.emplace_back(std::vector<std::string>(it + 1, next));
        it = next;
    }
    words.erase(at, words.end());
    return groups;
}

bool ArgumentList::takeFirst(std::string& word) {
    if (words.empty() || (words[0].size() > 1 && words[0][0] == '-')) return false;
    word = words[0];
    words.erase(words.begin());
    return true;
}

void ArgumentList::append(ArgumentList& other) {
    words.insert(words.end(), other.words.begin(), other.words.end());
    other.words.clear();
    if (problem.empty()) problem = other.problem;
}

bool ArgumentList::value(const std::string& name, std::string& out) {
    const std::vector<std::string> found = values(name);
    if (found.empty()) return false;
    out = found.back();
    return true;
}

bool ArgumentList::positionals(size_t least, size_t most, std::vector<std::string>& out,
                               std::string& error) {
    if (!problem.empty()) {
        error = problem;
        return false;
    }
    for (const std::string& word : words) {
        if (word.size() > 1 && word[0] == '-' && word != "-") {
            error = "unknown option " + word;
            return false;
        }
    }
    if (words.size() < least) {
        error = "too few arguments";
        return false;
    }
    if (words.size() > most) {
        error = "too many arguments: " + words[most];
        return false;
    }
    out = words;
    return true;
}
