// Ardour's VST3 scanner, as Ardour runs it on a new bundle: in a process of
// its own, with a private home for the index it writes. The index must name
// the plug-in with its maker, class id, version and a stereo pair each way.
#include <gtest/gtest.h>

#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr const char* kScanner = "/usr/lib/ardour7/ardour-vst3-scanner";

std::string readAll(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The one index file the scanner wrote below `folder`.
std::string indexBelow(const std::string& folder) {
    std::string found;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".v3i") == 0)
                found = folder + "/" + name;
        }
        closedir(dir);
    }
    return found;
}

TEST(ArdourScanner, IndexesTheBundleWithTwoInputsAndTwoOutputs) {
    if (access(kScanner, X_OK) != 0)
        GTEST_SKIP() << "Ardour's VST3 scanner is not installed (Debian package: ardour)";
    if (sizeof(void*) != 8)
        GTEST_SKIP() << "Debian's Ardour and its scanner are 64-bit: a 32-bit bundle is not theirs";
#if defined(VARNOLET_SANITIZED_BUILD)
    // A sanitizer build's plug-in loads only with the sanitizer's runtime
    // preloaded, and with it the scanner hangs on its way out, whatever
    // plug-in it scanned.
    GTEST_SKIP() << "a sanitizer build's bundle cannot be scanned: the optimized build runs this";
#endif
    char home[] = "/tmp/varnolet-ardour-XXXXXX";
    ASSERT_NE(mkdtemp(home), nullptr);
    const std::string command = std::string("HOME=") + home +
                                " LD_LIBRARY_PATH=/usr/lib/ardour7 timeout 120 " + kScanner +
                                " -v -f '" + VARNOLET_VST3_BUNDLE + "' > " + home + "/scan.log 2>&1";
    const int status = std::system(command.c_str());
    const std::string log = readAll(std::string(home) + "/scan.log");
    EXPECT_EQ(status, 0) << log;
    const std::string index = indexBelow(std::string(home) + "/.cache/ardour7/vst");
    ASSERT_FALSE(index.empty()) << "no index written; the scanner said:\n" << log;
    const std::string text = readAll(index);
    for (const char* expected :
         {"name=\"Varnolet Delay\"", "vendor=\"Tolmark\"", "category=\"Fx|Delay\"",
          "uid=\"0E3F77E1A09F950DEE20D3B223BC87B8\"", "n_inputs=\"2\"", "n_outputs=\"2\"",
          "n_aux_inputs=\"0\"", "n_midi_inputs=\"0\""})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " not in\n" << text;
    EXPECT_NE(text.find("version=\"" VARNOLET_PROJECT_VERSION "\""), std::string::npos) << text;
    std::system((std::string("rm -rf '") + home + "'").c_str());
}

}  // namespace
