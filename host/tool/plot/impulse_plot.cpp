#include "host/tool/plot/impulse_plot.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include <unistd.h>

#include "host/tool/plot/first_echo.h"
#include "host/tool/plot/gnuplot_runner.h"
#include "host/tool/plot/magnitude_response.h"
#include "host/tool/files/interrupt_cleanup.h"
#include "host/tool/command_line/tool_options.h"
#include "host/tool/files/output_file.h"

namespace {
constexpr size_t kColumns = 2000;         // time buckets across the picture
constexpr size_t kOverviewColumns = 600;  // and across an overview's rows
constexpr size_t kOverviewBands = 300;    // frequency bands across an overview
constexpr size_t kMaxEchoFrames = 32768;
constexpr size_t kMinTransformSize = 8192;
constexpr double kFloorDecibels = -120.0;
const char* const kColours[] = {"#1f5fbf", "#c0392b", "#2e8b57", "#8e44ad"};

// A directory of its own for gnuplot's input, gone when this is.
class ScratchDirectory {
public:
    ScratchDirectory() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/vst2host-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (mkdtemp(name.data())) path = name.data();
        if (!path.empty()) removeOnInterrupt(path);
    }
    ~ScratchDirectory() {
        for (const std::string& file : files) {
            std::remove(file.c_str());
            forgetOnInterrupt(file);
        }
        if (path.empty()) return;
        rmdir(path.c_str());
        forgetOnInterrupt(path);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::string file(const std::string& name) {
        files.push_back(path + "/" + name);
        removeOnInterrupt(files.back());
        return files.back();
    }

    std::string path;

private:
    std::vector<std::string> files;
};

std::string channelName(size_t channel, size_t count) {
    if (count == 2) return channel == 0 ? "Left" : "Right";
    return "Output " + std::to_string(channel + 1);
}

double decibels(double amplitude) {
    return amplitude > 0.0 ? std::max(20.0 * std::log10(amplitude), kFloorDecibels) : kFloorDecibels;
}

// Per time bucket the largest and smallest sample of each channel, so that a
// one-frame echo still shows at any zoom.
struct Envelope {
    std::vector<double> times;                     // each bucket's start, in seconds
    std::vector<std::vector<float>> highs, lows;  // per channel, per bucket
};

Envelope envelopeOf(const AudioBuffer& response, size_t columns, size_t least = 1) {
    Envelope envelope;
    const size_t frames = response.frames();
    const size_t buckets = std::max(least, std::min(frames, columns));
    envelope.highs.assign(response.channelCount(), std::vector<float>(buckets, 0.0f));
    envelope.lows = envelope.highs;
    for (size_t b = 0; b < buckets; ++b) {
        const size_t from = b * frames / buckets, to = std::max(from + 1, (b + 1) * frames / buckets);
        // Evenly spaced, as an image's grid must be.
        envelope.times.push_back(static_cast<double>(b) * static_cast<double>(frames) /
                                 static_cast<double>(buckets) / response.sampleRate);
        for (size_t c = 0; c < response.channelCount(); ++c) {
            for (size_t i = from; i < to && i < frames; ++i) {
                envelope.highs[c][b] = std::max(envelope.highs[c][b], response.channels[c][i]);
                envelope.lows[c][b] = std::min(envelope.lows[c][b], response.channels[c][i]);
            }
        }
    }
    return envelope;
}

float peakOf(const Envelope& envelope, size_t channel, size_t bucket) {
    return std::max(envelope.highs[channel][bucket], -envelope.lows[channel][bucket]);
}

// Each channel's columns: high and low amplitude, or its peak in dB twice.
bool writeEnvelope(const std::string& path, const Envelope& envelope, bool inDecibels) {
    std::ofstream out(path);
    for (size_t b = 0; b < envelope.times.size(); ++b) {
        out << envelope.times[b];
        for (size_t c = 0; c < envelope.highs.size(); ++c) {
            if (inDecibels) {
                const double level = decibels(peakOf(envelope, c, b));
                out << ' ' << level << ' ' << level;
            } else {
                out << ' ' << envelope.highs[c][b] << ' ' << envelope.lows[c][b];
            }
        }
        out << '\n';
    }
    return static_cast<bool>(out);
}

// What the magnitude response is taken of: the first echo of a delay, the
// whole response of anything else.
struct Stretch {
    size_t start = 0, length = 0;
    bool echo = false;
};

struct Spectra {
    double binHertz = 1.0;
    std::vector<std::vector<double>> decibels;  // per channel, bins 1 to size/2
    std::vector<bool> silent;
    double highest = -120.0;
};

Spectra spectraOf(const ImpulsePlotRequest& request, const Stretch& stretch) {
    Spectra spectra;
    size_t size = kMinTransformSize;
    while (size < stretch.length) size <<= 1;
    spectra.binHertz = request.response.sampleRate / static_cast<double>(size);
    for (const auto& channel : request.response.channels) {
        const float* start = channel.data() + stretch.start;
        spectra.silent.push_back(
            std::all_of(start, start + stretch.length, [](float x) { return x == 0.0f; }));
        std::vector<double> levels =
            magnitudeResponseDecibels(start, stretch.length, size, request.impulseHeight);
        levels.erase(levels.begin());  // no DC on a logarithmic axis
        for (double level : levels) spectra.highest = std::max(spectra.highest, level);
        spectra.decibels.push_back(std::move(levels));
    }
    return spectra;
}

bool writeSpectra(const std::string& path, const Spectra& spectra) {
    std::ofstream out(path);
    for (size_t k = 0; k < spectra.decibels[0].size(); ++k) {
        out << static_cast<double>(k + 1) * spectra.binHertz;
        for (const auto& levels : spectra.decibels) out << ' ' << levels[k];
        out << '\n';
    }
    return static_cast<bool>(out);
}

std::string spectrumHeading(const Stretch& stretch, double rate) {
    char heading[160];
    if (stretch.echo)
        std::snprintf(heading, sizeof heading,
                      "First echo: magnitude response (%.1f ms, frames %zu to %zu)",
                      1000.0 * static_cast<double>(stretch.start) / rate, stretch.start,
                      stretch.start + stretch.length - 1);
    else
        std::snprintf(heading, sizeof heading,
                      "Whole impulse response: magnitude response (%zu frame%s)", stretch.length,
                      stretch.length == 1 ? "" : "s");
    return heading;
}

// One panel per output over time and one of their magnitude responses.
void scriptPanels(std::ofstream& script, const ImpulsePlotRequest& request, const Stretch& stretch,
                  const Spectra& spectra, const std::string& envelopePath,
                  const std::string& spectrumPath) {
    const AudioBuffer& response = request.response;
    const size_t channels = response.channelCount();
    const double rate = response.sampleRate;
    // A little room before 0 s keeps the direct sound off the axis.
    const double duration = static_cast<double>(response.frames()) / rate;
    script << "set multiplot layout " << channels + 1 << ",1 title " << gnuplotQuoted(request.title)
           << "\nset grid\nset key off\nset xlabel 'time (s)'\n"
           << (request.decibels ? "set ylabel 'level (dBFS)'\n" : "set ylabel 'amplitude'\n")
           << "set xrange [" << -duration / 100.0 << ":" << duration << "]\n";
    if (request.decibels) script << "set yrange [" << kFloorDecibels << ":6]\n";
    for (size_t c = 0; c < channels; ++c) {
        const size_t high = 2 + 2 * c, low = 3 + 2 * c;
        const char* colour = kColours[c % 4];
        script << "set title " << gnuplotQuoted(channelName(c, channels) + ": impulse response")
               << "\nplot " << gnuplotQuoted(envelopePath) << " using 1:" << high;
        if (request.decibels)
            script << " with lines lc rgb '" << colour << "'\n";
        else
            script << " with impulses lc rgb '" << colour << "', '' using 1:" << low
                   << " with impulses lc rgb '" << colour << "'\n";
    }
    const double top = std::ceil(spectra.highest / 6.0) * 6.0 + 6.0;
    script << "set title " << gnuplotQuoted(spectrumHeading(stretch, rate))
           << "\nset key on bottom left\nset logscale x\n"
           << "set xrange [20:" << rate / 2.0 << "]\nset yrange [" << top - 84.0 << ":" << top
           << "]\nset xlabel 'frequency (Hz)'\nset ylabel 'level re impulse (dB)'\nplot ";
    for (size_t c = 0; c < channels; ++c) {
        script << (c ? ", " : "") << gnuplotQuoted(spectrumPath) << " using 1:" << 2 + c
               << " with lines lw 2 lc rgb '" << kColours[c % 4] << "' title "
               << gnuplotQuoted(channelName(c, channels) + (spectra.silent[c] ? " (silent)" : ""));
    }
    script << "\n";
}

// Many outputs: one row per output, its level coloured, over time and over
// frequency (in bands spaced evenly in pitch).
bool writeOverviewData(const std::string& timePath, const std::string& frequencyPath,
                       const ImpulsePlotRequest& request, const Spectra& spectra,
                       std::vector<double>& bandHertz) {
    const Envelope envelope = envelopeOf(request.response, kOverviewColumns, 2);
    std::ofstream time(timePath);
    for (size_t c = 0; c < envelope.highs.size(); ++c) {
        for (size_t b = 0; b < envelope.times.size(); ++b)
            time << envelope.times[b] << ' ' << c + 1 << ' ' << decibels(peakOf(envelope, c, b)) << '\n';
        time << '\n';
    }
    const double lowest = 20.0, nyquist = request.response.sampleRate / 2.0;
    bandHertz.clear();
    for (size_t k = 0; k <= kOverviewBands; ++k)
        bandHertz.push_back(lowest * std::pow(nyquist / lowest, static_cast<double>(k) / kOverviewBands));
    std::ofstream frequency(frequencyPath);
    for (size_t c = 0; c < spectra.decibels.size(); ++c) {
        const std::vector<double>& levels = spectra.decibels[c];
        for (size_t k = 0; k < kOverviewBands; ++k) {
            // The loudest bin in the band, or the one nearest below it.
            size_t from = static_cast<size_t>(bandHertz[k] / spectra.binHertz);
            size_t to = static_cast<size_t>(bandHertz[k + 1] / spectra.binHertz);
            from = std::min(from > 0 ? from - 1 : 0, levels.size() - 1);
            to = std::min(std::max(to, from + 1), levels.size());
            const double loudest = *std::max_element(levels.begin() + static_cast<std::ptrdiff_t>(from),
                                                     levels.begin() + static_cast<std::ptrdiff_t>(to));
            frequency << k << ' ' << c + 1 << ' ' << loudest << '\n';
        }
        frequency << '\n';
    }
    return static_cast<bool>(time) && static_cast<bool>(frequency);
}

void scriptOverview(std::ofstream& script, const ImpulsePlotRequest& request, const Stretch& stretch,
                    const Spectra& spectra, const std::vector<double>& bandHertz,
                    const std::string& timePath, const std::string& frequencyPath) {
    const size_t channels = request.response.channelCount();
    const double top = std::ceil(spectra.highest / 6.0) * 6.0 + 6.0;
    script << "set multiplot layout 2,1 title " << gnuplotQuoted(request.title) << "\n"
           << "set key off\nset ylabel 'output'\nset yrange [0.5:" << channels + 0.5 << "]\n"
           << "set palette defined (0 '#000010', 1 '#1f5fbf', 2 '#2e8b57', 3 '#f1c40f', 4 '#ffffff')\n"
           << "set title " << gnuplotQuoted("Level of each output over time") << "\n"
           << "set xlabel 'time (s)'\nset cblabel 'dBFS'\nset cbrange [" << kFloorDecibels << ":0]\n"
           << "plot " << gnuplotQuoted(timePath) << " using 1:2:3 with image\n"
           << "set title " << gnuplotQuoted(spectrumHeading(stretch, request.response.sampleRate) +
                                            ", output by output")
           << "\nset xlabel 'frequency (Hz)'\nset cblabel 'dB re impulse'\nset cbrange [" << top - 84.0
           << ":" << top << "]\nset xrange [-0.5:" << kOverviewBands - 0.5 << "]\nset xtics (";
    // Tics at round frequencies, placed on the bands' scale.
    bool any = false;
    for (double hertz : {20.0, 50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0, 20000.0,
                         50000.0, 100000.0}) {
        if (hertz > bandHertz.back()) break;
        const double at = std::log(hertz / bandHertz.front()) /
                          std::log(bandHertz.back() / bandHertz.front()) * kOverviewBands;
        char label[64];
        std::snprintf(label, sizeof label, "%s\"%g\" %g", any ? ", " : "", hertz, at);
        script << label;
        any = true;
    }
    script << ")\nplot " << gnuplotQuoted(frequencyPath) << " using 1:2:3 with image\n";
}
}  // namespace

bool writeImpulsePlot(const std::string& pngPath, const ImpulsePlotRequest& request,
                      std::string& drawn, std::string& written, std::string& error) {
    const AudioBuffer& response = request.response;
    const size_t channels = response.channelCount();
    if (channels == 0 || response.frames() == 0) {
        error = "the plug-in gave no output to plot";
        return false;
    }
    ScratchDirectory scratch;
    if (scratch.path.empty()) {
        error = "cannot make a scratch directory for gnuplot";
        return false;
    }
    const double rate = response.sampleRate;
    const EchoStretch echo = findFirstEcho(response, static_cast<size_t>(0.002 * rate),
                                           static_cast<size_t>(0.010 * rate), kMaxEchoFrames);
    Stretch stretch;
    stretch.echo = echo.found;
    stretch.start = echo.found ? echo.start : 0;
    stretch.length = echo.found ? echo.length : response.frames();
    const Spectra spectra = spectraOf(request, stretch);
    const std::string timePath = scratch.file("response.dat");
    const std::string spectrumPath = scratch.file("spectrum.dat");
    const std::string scriptPath = scratch.file("plot.gp");

    const std::string picturePath = scratch.file("picture.png");
    const std::string logPath = scratch.file("gnuplot.log");
    OutputFile picture;
    if (!picture.open(pngPath, error)) return false;
    std::ofstream script(scriptPath);
    const bool overview = channels > kMostOutputPanels;
    script << "set terminal pngcairo size 1200," << (overview ? 900 : 260 * (channels + 1) + 60)
           << " font 'sans,10'\nset output " << gnuplotQuoted(picturePath) << "\n";
    bool dataWritten;
    if (overview) {
        std::vector<double> bands;
        dataWritten = writeOverviewData(timePath, spectrumPath, request, spectra, bands);
        scriptOverview(script, request, stretch, spectra, bands, timePath, spectrumPath);
    } else {
        dataWritten = writeEnvelope(timePath, envelopeOf(response, kColumns), request.decibels) &&
                  writeSpectra(spectrumPath, spectra);
        scriptPanels(script, request, stretch, spectra, timePath, spectrumPath);
    }
    if (!dataWritten) {
        error = "cannot write gnuplot's data";
        return false;
    }
    script << "unset multiplot\nset output\n";
    script.close();
    if (!script) {
        error = "cannot write gnuplot's script";
        return false;
    }
    // gnuplot draws into the scratch folder; the picture is then copied to
    // where it goes, every write checked.
    std::vector<uint8_t> png;
    if (!runGnuplot(scriptPath, logPath, error) || !readWholeFile(picturePath, png, error) ||
        !picture.write(png.data(), png.size(), error) || !picture.commit(error))
        return false;
    // Where the first echo lies, as the picture's heading says it.
    const std::string echoFrames = "the first echo (frames " + std::to_string(stretch.start) + " to " +
                                   std::to_string(stretch.start + stretch.length - 1) + ")";
    drawn = "magnitude response of " + (stretch.echo ? echoFrames : std::string("the whole response")) +
            (overview ? "; an overview of " + std::to_string(channels) + " outputs" : "");
    written = picture.name();
    return true;
}

void warnAboutPictureName(const std::string& path) {
    const size_t slash = path.rfind('/'), dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension.empty() || extension == "png") return;
    warning(path + " holds a PNG picture, which its name (." + extension + ") does not say");
}
