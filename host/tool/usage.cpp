#include <cstdio>
#include <string>

#include "host/tool/commands.h"

namespace {
const char* const kOverview =
    "usage: vst2host [--log] COMMAND ...\n"
    "\n"
    "Loads a VST 2.4 plug-in module (.so) by path and talks to it as a host does.\n"
    "\n"
    "commands:\n"
    "  info PLUGIN [--json]                       what a host sees: identity, layout, flags,\n"
    "                                             parameters, programs\n"
    "  render PLUGIN IN OUT                       renders an audio file through the plug-in\n"
    "  plot PLUGIN OUT.png                        impulse response and first echo's magnitude\n"
    "  diff A B [--tolerance DB]                  compares two audio files\n"
    "  bench PLUGIN [PLUGIN2]                     times processReplacing\n"
    "  save-preset PLUGIN OUT.fxp|OUT.fxb         writes the current program or the bank\n"
    "  generate OUT                               writes a test signal (demo, click, noise)\n"
    "\n"
    "--log prints every request sent to the plug-in (->) and every call it makes to the\n"
    "host (<-) on standard error, one line each. 'vst2host COMMAND --help' tells more.\n"
    "Exit status: 0 done, 1 failed (or diff beyond tolerance), 2 bad command line.\n";

const char* const kSettings =
    "  --set NAME=VALUE      parameter by name or index; VALUE normalised 0..1\n"
    "  --set NAME=@VALUE     VALUE as the plug-in's display shows it\n"
    "  --program N           choose program N\n"
    "  --preset FILE         load a .fxp program or .fxb bank first\n";

}  // namespace

void printUsage(const std::string& command) {
    if (command == "info") {
        std::printf("usage: vst2host info PLUGIN [--json] [settings]\n%s", kSettings);
    } else if (command == "render") {
        std::printf(
            "usage: vst2host render PLUGIN IN OUT [options]\n"
            "Renders IN (any file libsndfile reads) at its own sample rate; a mono file\n"
            "feeds every input. OUT is 32-bit float WAV unless --same-format.\n%s"
            "  --block N | random    block size (default 512); random: 0 to 4096 each block\n"
            "  --seed N              seed of the random block sizes (default 1)\n"
            "  --tail SECONDS | auto silence after the input (default auto: until the output\n"
            "                        has stayed below -90 dBFS for 2.5 s, at most 60 s; the\n"
            "                        quiet end is cut off)\n"
            "  --same-format         write OUT in the format of IN\n",
            kSettings);
    } else if (command == "plot") {
        std::printf(
            "usage: vst2host plot PLUGIN OUT.png [options]\n"
            "Renders a one-frame impulse on every input and draws, with gnuplot, each\n"
            "output's impulse response and the magnitude response of the first echo.\n%s"
            "  --rate HZ             sample rate (default 44100)\n"
            "  --amplitude A         height of the impulse (default 0.2)\n"
            "  --seconds S | auto    length after the impulse (default auto, at most 30 s)\n",
            kSettings);
    } else if (command == "diff") {
        std::printf(
            "usage: vst2host diff A B [--tolerance DB]\n"
            "Reports the peak and RMS difference in dB full scale and the first differing\n"
            "frame. Exits 1 when the peak difference is above DB (default: any difference).\n");
    } else if (command == "bench") {
        std::printf(
            "usage: vst2host bench PLUGIN [PLUGIN2] [options]\n"
            "Nanoseconds per frame and real-time factor of processReplacing, for noise and\n"
            "for the silence after it, after a warm-up; two plug-ins take turns.\n"
            "  --rate HZ             sample rate (default 44100)\n"
            "  --block N[,N...]      block sizes (default 64,512,4096)\n"
            "  --seconds S           audio per plug-in, round and phase (default 1)\n"
            "  --rounds N            rounds; the median counts (default 5)\n"
            "  --warm-up S           untimed noise first (default 1)\n");
    } else if (command == "save-preset") {
        std::printf(
            "usage: vst2host save-preset PLUGIN OUT [--bank] [settings]\n"
            "Writes the current program as .fxp, or with --bank or an .fxb name all\n"
            "programs as a bank.\n%s",
            kSettings);
    } else if (command == "generate") {
        std::printf(
            "usage: vst2host generate OUT [options]\n"
            "Writes a 32-bit float WAV test signal.\n"
            "  --signal demo|click|noise   clicks and a chord (default), one click, or noise\n"
            "  --rate HZ                   sample rate (default 44100)\n"
            "  --seconds S                 length (default 4)\n"
            "  --channels N                click and noise only (default 2)\n"
            "  --amplitude A               click and noise only (default 0.5)\n");
    } else {
        std::printf("%s", kOverview);
    }
}

int failure(const std::string& message) {
    std::fprintf(stderr, "vst2host: %s\n", message.c_str());
    return kFailure;
}

int usageFailure(const std::string& command, const std::string& message) {
    std::fprintf(stderr, "vst2host%s%s: %s\n(see vst2host %s--help)\n", command.empty() ? "" : " ",
                 command.c_str(), message.c_str(), command.empty() ? "" : (command + " ").c_str());
    return kUsage;
}
