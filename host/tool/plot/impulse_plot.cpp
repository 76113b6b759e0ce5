#include "host/tool/plot/impulse_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include <unistd.h>

#include "host/tool/plot/first_echo.h"
#include "host/tool/plot/gnuplot_runner.h"
#include "host/tool/plot/magnitude_response.h"
#include "host/tool/interrupt_cleanup.h"
#include "host/tool/output_file.h"

namespace {
constexpr size_t kColumns = 2000;  // time buckets across the picture
constexpr size_t kMaxEchoFrames = 32768;
constexpr size_t kMinTransformSize = 8192;
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

// Per time bucket the largest and smallest sample of each channel, so that a
// one-frame echo still shows at any zoom.
bool writeEnvelope(const std::string& path, const AudioBuffer& response) {
    std::ofstream out(path);
    const size_t frames = response.frames();
    const size_t buckets = std::max<size_t>(1, std::min(frames, kColumns));
    for (size_t b = 0; b < buckets; ++b) {
        const size_t from = b * frames / buckets, to = std::max(from + 1, (b + 1) * frames / buckets);
        out << static_cast<double>(from) / response.sampleRate;
        for (const auto& channel : response.channels) {
            float high = 0.0f, low = 0.0f;
            for (size_t i = from; i < to && i < frames; ++i) {
                high = std::max(high, channel[i]);
                low = std::min(low, channel[i]);
            }
            out << ' ' << high << ' ' << low;
        }
        out << '\n';
    }
    return static_cast<bool>(out);
}

// The magnitude response of each channel's part of the first echo, with the
// highest level seen, for the axis.
bool writeEchoSpectrum(const std::string& path, const ImpulsePlotRequest& request,
                       const EchoStretch& echo, double& highest, std::vector<bool>& silent) {
    size_t size = kMinTransformSize;
    while (size < echo.length) size <<= 1;
    std::vector<std::vector<double>> spectra;
    for (const auto& channel : request.response.channels) {
        const float* start = channel.data() + echo.start;
        silent.push_back(std::all_of(start, start + echo.length, [](float x) { return x == 0.0f; }));
        spectra.push_back(magnitudeResponseDecibels(start, echo.length, size, request.impulseHeight));
    }
    std::ofstream out(path);
    highest = -120.0;
    const double rate = request.response.sampleRate;
    for (size_t k = 1; k < spectra[0].size(); ++k) {
        out << static_cast<double>(k) * rate / static_cast<double>(size);
        for (const auto& spectrum : spectra) {
            out << ' ' << spectrum[k];
            highest = std::max(highest, spectrum[k]);
        }
        out << '\n';
    }
    return static_cast<bool>(out);
}
}  // namespace

bool writeImpulsePlot(const std::string& pngPath, const ImpulsePlotRequest& request,
                      std::string& error) {
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
    const std::string envelopePath = scratch.file("response.dat");
    const std::string spectrumPath = scratch.file("echo.dat");
    const std::string scriptPath = scratch.file("plot.gp");
    if (!writeEnvelope(envelopePath, response)) {
        error = "cannot write gnuplot's data";
        return false;
    }
    const EchoStretch echo = findFirstEcho(response, static_cast<size_t>(0.002 * rate),
                                           static_cast<size_t>(0.010 * rate), kMaxEchoFrames);
    double highest = 0.0;
    std::vector<bool> silent;
    if (echo.found && !writeEchoSpectrum(spectrumPath, request, echo, highest, silent)) {
        error = "cannot write gnuplot's data";
        return false;
    }

    OutputFile picture;
    if (!picture.open(pngPath, error)) return false;
    std::ofstream script(scriptPath);
    const size_t rows = channels + (echo.found ? 1 : 0);
    // A little room before 0 s keeps the direct sound off the axis.
    const double duration = static_cast<double>(response.frames()) / rate;
    script << "set terminal pngcairo size 1200," << 260 * rows + 60 << " font 'sans,10'\n"
           << "set output " << gnuplotQuoted(picture.writePath()) << "\n"
           << "set multiplot layout " << rows << ",1 title " << gnuplotQuoted(request.title)
           << "\nset grid\nset key off\n"
           << "set xlabel 'time (s)'\nset ylabel 'amplitude'\n"
           << "set xrange [" << -duration / 100.0 << ":" << duration << "]\n";
    for (size_t c = 0; c < channels; ++c) {
        const size_t high = 2 + 2 * c, low = 3 + 2 * c;
        const char* colour = kColours[c % 4];
        script << "set title " << gnuplotQuoted(channelName(c, channels) + ": impulse response")
               << "\nplot " << gnuplotQuoted(envelopePath) << " using 1:" << high
               << " with impulses lc rgb '" << colour << "', '' using 1:" << low
               << " with impulses lc rgb '" << colour << "'\n";
    }
    if (echo.found) {
        char heading[160];
        std::snprintf(heading, sizeof heading,
                      "First echo: magnitude response (%.1f ms, frames %zu to %zu)",
                      1000.0 * static_cast<double>(echo.start) / rate, echo.start,
                      echo.start + echo.length - 1);
        const double top = std::ceil(highest / 6.0) * 6.0 + 6.0;
        script << "set title " << gnuplotQuoted(heading) << "\nset key on bottom left\nset logscale x\n"
               << "set xrange [20:" << rate / 2.0 << "]\nset yrange [" << top - 84.0 << ":" << top
               << "]\nset xlabel 'frequency (Hz)'\nset ylabel 'level re impulse (dB)'\nplot ";
        for (size_t c = 0; c < channels; ++c) {
            script << (c ? ", " : "") << gnuplotQuoted(spectrumPath) << " using 1:" << 2 + c
                   << " with lines lw 2 lc rgb '" << kColours[c % 4] << "' title "
                   << gnuplotQuoted(channelName(c, channels) + (silent[c] ? " (silent)" : ""));
        }
        script << "\n";
    }
    script << "unset multiplot\nset output\n";
    script.close();
    if (!script) {
        error = "cannot write gnuplot's script";
        return false;
    }
    if (!runGnuplot(scriptPath, error)) return false;
    return picture.commit(error);
}
