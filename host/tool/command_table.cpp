#include "host/tool/command_table.h"

int runInfo(ArgumentList&, const ToolOptions&);
int runRender(ArgumentList&, const ToolOptions&);
int runPlot(ArgumentList&, const ToolOptions&);
int runDiff(ArgumentList&, const ToolOptions&);
int runBench(ArgumentList&, const ToolOptions&);
int runSavePreset(ArgumentList&, const ToolOptions&);
int runGenerate(ArgumentList&, const ToolOptions&);
int runValidate(ArgumentList&, const ToolOptions&);

namespace {
#define PLUGIN_SETTINGS_HELP                                                          \
    "  --set NAME=VALUE      parameter by name or index; VALUE normalised 0..1 over\n"   \
    "                        its range (a CLAP parameter's minimum to maximum too)\n"    \
    "  --set NAME=@VALUE     VALUE as the plug-in's display shows it\n"                  \
    "  --program N           choose program N (VST 2.4)\n"                               \
    "  --preset FILE         load a .fxp program or .fxb bank first (VST 2.4)\n"         \
    "  --plugin-id ID|N      of a CLAP module holding several plug-ins, the one with\n"  \
    "                        that id, or the Nth from 0 (default: the first)\n"

const std::vector<Command> kCommands = {
    {"info", "PLUGIN [--json] [settings]",
     "What a host sees: identity, layout, flags, parameters, programs.\n"
     "  --json                the same as JSON\n" PLUGIN_SETTINGS_HELP,
     runInfo},
    {"render", "PLUGIN IN OUT [options] [--then PLUGIN2 [options] ...]",
     "Renders an audio or MIDI file through a plug-in or a chain of them.\n"
     "IN is any file libsndfile reads, rendered at its own sample rate, or a\n"
     "Standard MIDI File (.mid, types 0 and 1) that plays the first plug-in for its\n"
     "length. Each --then adds a plug-in, fed the one before it, with options of its\n"
     "own (the settings, --automate, --sidechain, --midi, --outputs); the options of\n"
     "the whole render may stand anywhere. A mono stream feeds both inputs\n"
     "of a pair, fewer channels than inputs leave the rest silent (and it says so),\n"
     "several channels into a mono plug-in run one instance per channel. OUT's\n"
     "extension says its format (32-bit float for WAV, AIFF, AU, CAF, W64, RF64;\n"
     "24-bit FLAC; Ogg Vorbis; Opus; MP3), WAV without one. The delay each plug-in\n"
     "reports is taken out: OUT starts where IN does. Clipped samples and samples\n"
     "that are not numbers are counted on standard error.\n" PLUGIN_SETTINGS_HELP
     "  --automate NAME=T:V,T:V,...\n"
     "                        move a parameter in straight lines through values V\n"
     "                        (as for --set, @ too) at times T in seconds\n"
     "  --sidechain FILE      feeds the last half of the plug-in's inputs\n"
     "  --midi FILE           MIDI events for the plug-in (an effect that takes them)\n"
     "  --outputs LIST        the outputs passed on or written, from 1: 1,2 or 3-6\n"
     "options of the whole render:\n"
     "  --block N | random    block size (default 512); random: 0 to 4096 each block\n"
     "  --seed N              seed of the random block sizes (default 1)\n"
     "  --tail SECONDS | auto silence after the input (default auto: as long as the\n"
     "                        plug-ins say they ring, where every one says (CLAP's tail);\n"
     "                        else until the output and the whole chain have stayed\n"
     "                        below -90 dBFS for 2.5 s, at most 60 s, the quiet end cut)\n"
     "  --automation-block N  frames between automation values (default 64)\n"
     "  --tempo BPM           the transport's tempo (default 120, or a MIDI file's)\n"
     "  --time-signature N/D  the transport's metre (default 4/4, or a MIDI file's)\n"
     "  --rate HZ             sample rate of a MIDI file's render (default 44100)\n"
     "  --out-dir DIR         render every IN (PLUGIN IN... --out-dir DIR) into DIR\n"
     "                        under its own name (a MIDI file's as .wav); goes on past\n"
     "                        a failed one and exits 1 when any failed\n"
     "  --format TYPE[:ENC]   OUT's format whatever its name: wav, w64, rf64, aiff,\n"
     "                        au, caf, flac, ogg, opus, mp3; ENC one of pcm16,\n"
     "                        pcm24, pcm32, float, double, ulaw, alaw (wav:pcm16)\n"
     "  --same-format         write OUT in the format of IN\n"
     "  --no-latency-compensation\n"
     "                        keep the delays the plug-ins report in the output\n",
     runRender},
    {"plot", "PLUGIN OUT.png [options] [--then PLUGIN2 [options] ...]",
     "Draws the impulse response and its magnitude response.\n"
     "Renders a one-frame impulse on every input of a plug-in or a chain and draws,\n"
     "with gnuplot, each output's impulse response and the magnitude response of the\n"
     "first echo (of a delay) or of the whole response (of anything else); more than\n"
     "8 outputs are drawn as an overview, one row per output.\n" PLUGIN_SETTINGS_HELP
     "  (and after each --then, as for render)\n"
     "  --rate HZ             sample rate (default 44100)\n"
     "  --amplitude A         height of the impulse (default 0.2)\n"
     "  --seconds S | auto    length after the impulse (default auto, at most 30 s)\n"
     "  --scale linear|db     the response's amplitude, or its level in dBFS\n"
     "  --tempo BPM, --time-signature N/D   the transport, as for render\n"
     "  --no-latency-compensation\n"
     "                        keep the delays the plug-ins report in the response\n",
     runPlot},
    {"diff", "A B [--tolerance DB] [--ignore-length] [--json]",
     "Compares two audio files.\n"
     "Reports the peak and RMS difference in dB full scale and the first differing\n"
     "frame. Exits 1 when the peak difference is above DB (default: any difference)\n"
     "or when the lengths differ; frames past the end of the shorter count as silence.\n"
     "  --tolerance DB        the peak difference allowed\n"
     "  --ignore-length       compare the part both have; the lengths may differ\n"
     "  --json                the same as JSON\n",
     runDiff},
    {"bench", "PLUGIN [PLUGIN2] [options] | PLUGIN [options] --then PLUGIN2 ...",
     "Times the plug-in's processing.\n"
     "Nanoseconds per frame and real-time factor, for noise and for the silence\n"
     "after it, after a warm-up; two plug-ins take turns, each with the settings; a\n"
     "chain is timed plug-in by plug-in and whole. A progress bar shows on a terminal.\n"
     PLUGIN_SETTINGS_HELP
     "  --rate HZ             sample rate (default 44100)\n"
     "  --block N[,N...]      block sizes (default 64,512,4096)\n"
     "  --seconds S           audio per plug-in, round and phase (default 1)\n"
     "  --rounds N            rounds; the median counts (default 5)\n"
     "  --warm-up S           untimed noise first (default 1)\n"
     "  --tempo BPM, --time-signature N/D   the transport, as for render\n"
     "  --json                the figures as JSON\n",
     runBench},
    {"save-preset", "PLUGIN OUT.fxp|OUT.fxb [--bank] [settings]",
     "Writes the current program or the bank of a VST 2.4 plug-in.\n"
     "Writes the current program as .fxp, or with --bank or an .fxb name all\n"
     "programs as a bank, after the settings.\n"
     "  --bank                every program, as a bank\n" PLUGIN_SETTINGS_HELP,
     runSavePreset},
    {"generate", "OUT [options]",
     "Writes a test signal (demo, click, noise).\n"
     "Writes a test signal in the format OUT's extension says (as for render).\n"
     "  --signal demo|click|noise   clicks and a chord (default), one click, or noise\n"
     "  --rate HZ                   sample rate (default 44100)\n"
     "  --seconds S                 length (default 4)\n"
     "  --channels N                click and noise only (default 2)\n"
     "  --amplitude A               click and noise only (default 0.5)\n"
     "  --format TYPE[:ENC]         the format whatever OUT's name (as for render)\n",
     runGenerate},
    {"validate", "PLUGIN [options] | --replay FILE [PLUGIN]",
     "Finds the faults of a VST 2.4 plug-in: crashes, hangs, overruns, NaN, lost state.\n"
     "Plays seeded sequences of host operations, each in a child process with a\n"
     "timeout, and reports every distinct finding once, with a shortened reproducer\n"
     "written to a file. Exits 1 when anything failed (warnings alone exit 0).\n"
     "  --strictness polite|hostile  what hosts do (default), or also what they should not\n"
     "  --seed N              the run's seed (default 1)\n"
     "  --time SECONDS        how long to go on (default 60)\n"
     "  --sequences N         stop after N sequences\n"
     "  --timeout SECONDS     a call that takes longer hangs (default 5)\n"
     "  --max-level DB        loudest output from input within 0 dBFS (default 40)\n"
     "  --out DIR             where reproducers go (default: a new temporary directory)\n"
     "  --json                the report as JSON\n"
     "  --replay FILE         play a reproducer again, on its plug-in or PLUGIN\n",
     runValidate},
};
#undef PLUGIN_SETTINGS_HELP

std::string firstLine(const char* text) {
    const std::string all = text;
    return all.substr(0, all.find('\n'));
}
}  // namespace

const std::vector<Command>& commandTable() { return kCommands; }

const Command* findCommand(const std::string& name) {
    for (const Command& command : kCommands)
        if (name == command.name) return &command;
    return nullptr;
}

std::string overview() {
    std::string text =
        "usage: vst2host [--log] COMMAND ...\n"
        "\n"
        "Loads a plug-in by path and talks to it as a host does: a VST 2.4 module (.so,\n"
        ".dll) or a CLAP module (.clap, by its name). validate, save-preset and --preset\n"
        "with .fxp/.fxb files are VST 2.4's.\n"
        "\n"
        "commands:\n";
    for (const Command& command : kCommands) {
        text += std::string("  ") + command.name + " " + command.synopsis + "\n      " +
                firstLine(command.help) + "\n";
    }
    text +=
        "\n"
        "--log prints every request sent to the plug-in (->) and every call it makes to the\n"
        "host (<-) on standard error, one line each. 'vst2host COMMAND --help' tells more.\n"
        "Exit status: 0 done, 1 failed (or diff beyond tolerance), 2 bad command line.\n";
    return text;
}

std::string commandHelp(const Command& command) {
    return std::string("usage: vst2host ") + command.name + " " + command.synopsis + "\n" +
           command.help;
}
