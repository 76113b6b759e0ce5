#include "tests/platforms/digest.h"

#include <cstdio>
#include <fstream>
#include <map>

std::string Fingerprint::hex() const {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

int printOrCompare(const std::vector<Scenario>& scenarios, const char* referencePath, const char* tool) {
    if (!referencePath) {
        for (const Scenario& s : scenarios) std::printf("%s %s\n", s.name.c_str(), s.hash.c_str());
        return 0;
    }
    std::ifstream file(referencePath);
    if (!file) {
        std::fprintf(stderr, "%s: cannot read %s\n", tool, referencePath);
        return 1;
    }
    std::map<std::string, std::string> reference;
    std::string name, hash;
    while (file >> name >> hash) reference[name] = hash;
    int differing = 0;
    for (const Scenario& s : scenarios) {
        auto found = reference.find(s.name);
        const bool same = found != reference.end() && found->second == s.hash;
        std::printf("%-28s %s %s\n", s.name.c_str(), s.hash.c_str(),
                    same ? "same" : found == reference.end() ? "MISSING in reference" : "DIFFERS");
        if (!same) ++differing;
    }
    if (reference.size() != scenarios.size()) {
        std::printf("the reference has %zu scenarios, this build %zu\n", reference.size(),
                    scenarios.size());
        ++differing;
    }
    std::printf("%s\n", differing ? "the module behaves differently on this platform"
                                  : "the module gives the reference's bits");
    return differing ? 1 : 0;
}
