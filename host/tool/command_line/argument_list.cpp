#include "host/tool/command_line/argument_list.h"

#include <algorithm>

bool looksLikeOption(const std::string& word) { return word.size() > 1 && word[0] == '-'; }

ArgumentList::ArgumentList(std::vector<std::string> all) : words(std::move(all)) {
    const auto marker = std::find(words.begin(), words.end(), "--");
    endOfOptions = static_cast<size_t>(marker - words.begin());
    if (marker != words.end()) words.erase(marker);
}

void ArgumentList::erase(size_t first, size_t count) {
    count = std::min(count, words.size() - first);
    words.erase(words.begin() + static_cast<std::ptrdiff_t>(first),
                words.begin() + static_cast<std::ptrdiff_t>(first + count));
    if (first < endOfOptions) endOfOptions -= std::min(count, endOfOptions - first);
}

std::vector<ArgumentList> ArgumentList::takeGroups(const std::string& separator) {
    std::vector<ArgumentList> groups;
    const auto optionsEnd = words.begin() + static_cast<std::ptrdiff_t>(endOfOptions);
    const auto at = std::find(words.begin(), optionsEnd, separator);
    for (auto it = at; it != optionsEnd;) {
        const auto next = std::find(it + 1, optionsEnd, separator);
        ArgumentList group({});
        group.words.assign(it + 1, next);
        group.endOfOptions = group.words.size();
        groups.push_back(std::move(group));
        it = next;
    }
    endOfOptions -= static_cast<size_t>(optionsEnd - at);
    words.erase(at, optionsEnd);
    return groups;
}

bool ArgumentList::takeFirst(std::string& word) {
    if (words.empty() || (endOfOptions > 0 && looksLikeOption(words[0]))) return false;
    word = words[0];
    erase(0, 1);
    return true;
}

void ArgumentList::append(ArgumentList& other) {
    words.insert(words.begin() + static_cast<std::ptrdiff_t>(endOfOptions), other.words.begin(),
                 other.words.end());
    endOfOptions += other.words.size();
    other.words.clear();
    other.endOfOptions = 0;
}

bool ArgumentList::positionals(size_t least, size_t most, std::vector<std::string>& out,
                               std::string& error) const {
    for (size_t i = 0; i < endOfOptions; ++i) {
        if (looksLikeOption(words[i])) {
            error = "unknown option " + words[i].substr(0, words[i].find('='));
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
