#include "host/library/offline_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "host/library/channel_blocks.h"

namespace {
// Quiet frames of an automatic tail, held back until it is known whether
// sound follows them (then they are written) or not (then they are cut).
class HeldFrames {
public:
    explicit HeldFrames(size_t channelCount) : channels(channelCount), at(channelCount) {}

    size_t frames() const { return channels.empty() ? 0 : channels[0].size(); }
    void hold(ChannelBlocks& block, size_t from, size_t count) {
        for (size_t c = 0; c < channels.size(); ++c)
            channels[c].insert(channels[c].end(), block[c] + from, block[c] + from + count);
    }
    bool flush(AudioSink& sink, std::string& error) {
        if (frames() == 0) return true;
        for (size_t c = 0; c < channels.size(); ++c) at[c] = channels[c].data();
        const bool written = sink.write(at.data(), frames(), error);
        for (auto& channel : channels) channel.clear();
        return written;
    }

private:
    std::vector<std::vector<float>> channels;
    std::vector<const float*> at;
};

// The loudest sample of the last stretch of a tail: of the stretch being
// filled and the one before it.
class TailLevel {
public:
    explicit TailLevel(size_t stretchFrames) : stretch(std::max<size_t>(stretchFrames, 1)) {}

    void add(const ChannelBlocks& block, size_t from, size_t count) {
        for (size_t c = 0; c < block.channelCount(); ++c)
            for (size_t i = from; i < from + count; ++i)
                current = std::max(current, std::fabs(block[c][i]));
        filled += count;
        if (filled >= stretch) {
            previous = current;
            current = 0.0f;
            filled = 0;
        }
    }
    double decibels() const {
        const float peak = std::max(previous, current);
        return peak > 0.0f ? 20.0 * std::log10(peak) : -std::numeric_limits<double>::infinity();
    }

private:
    size_t stretch;
    size_t filled = 0;
    float current = 0.0f, previous = 0.0f;
};

bool loud(const ChannelBlocks& block, size_t frame, float quiet) {
    for (size_t c = 0; c < block.channelCount(); ++c)
        if (!(std::fabs(block[c][frame]) < quiet)) return true;
    return false;
}

bool writeFrames(AudioSink& sink, ChannelBlocks& block, size_t from, size_t count,
                 std::string& error) {
    return count == 0 || sink.write(block.from(from), count, error);
}
}  // namespace

bool OfflineRenderer::run(InputThenSilence& input, AudioStream& last, AudioSink& sink,
                          RenderReport& report, std::string& error) {
    const double rate = input.sampleRate();
    const auto framesOf = [rate](double seconds) {
        return static_cast<size_t>(std::max(seconds, 0.0) * rate);
    };
    // A fixed tail is exactly its length; an automatic one at most its cap.
    const size_t tailFrames = framesOf(tail.automatic ? tail.capSeconds : tail.seconds);
    const size_t quietRun = framesOf(tail.quietSeconds);
    const float quiet = kQuietLevel;
    ChannelBlocks block(last.channelCount(), static_cast<size_t>(schedule.largest()));
    HeldFrames held(last.channelCount());
    TailLevel level(framesOf(0.5));

    size_t done = 0;  // frames pulled from the last stage: the output's own frame count
    while (true) {
        if (input.ended() && done >= input.inputFrames()) {
            if (tail.automatic && held.frames() >= quietRun && last.quietFrames() >= quietRun) break;
            if (done >= input.inputFrames() + tailFrames) {
                // Only sound in the output itself was cut; a stage before it
                // that still rings unheard was not.
                report.tailCut = tail.automatic && held.frames() < quietRun;
                break;
            }
        }
        size_t length = 0;
        const bool known = input.lengthKnown(length);
        // Blocks end where the input ends and where the tail ends, as far as
        // that is known before the block.
        size_t frames = static_cast<size_t>(schedule.next());
        if (known) frames = std::min(frames, (done < length ? length : length + tailFrames) - done);
        last.pull(block.data(), frames);
        std::string reason;
        if (input.failed(reason)) {
            error = reason;
            return false;
        }

        // An input of unknown length may have ended inside this block.
        const size_t inputEnd = input.ended() ? input.inputFrames() : SIZE_MAX;
        if (input.ended()) frames = std::min(frames, inputEnd + tailFrames - done);
        const size_t inputPart = inputEnd > done ? std::min(frames, inputEnd - done) : 0;
        if (!writeFrames(sink, block, 0, inputPart, error)) return false;
        if (!tail.automatic) {
            if (!writeFrames(sink, block, inputPart, frames - inputPart, error)) return false;
        } else {
            size_t end = frames;  // one past the block's last frame that is not quiet
            while (end > inputPart && !loud(block, end - 1, quiet)) --end;
            if (end > inputPart && (!held.flush(sink, error) ||
                                    !writeFrames(sink, block, inputPart, end - inputPart, error)))
                return false;
            held.hold(block, end, frames - end);
            level.add(block, inputPart, frames - inputPart);
        }
        done += frames;
        if (progress) {
            // The end of an automatic tail is not known until it comes.
            size_t total = 0;
            if (input.lengthKnown(length))
                total = !tail.automatic ? length + tailFrames : done < length ? length : 0;
            progress(done, total);
        }
    }
    report.inputFrames = input.inputFrames();
    report.outputFrames = done - held.frames();
    report.tailCapSeconds = tail.capSeconds;
    report.lastTailDecibels = level.decibels();
    return true;
}
