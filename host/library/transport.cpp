#include "host/library/transport.h"

#include <cmath>

Transport::Transport(double beatsPerMinute, int32_t numerator, int32_t denominator)
    : tempi{{0.0, 0.0, beatsPerMinute}}, metres{{0.0, numerator, denominator}} {}

void Transport::changeTempo(double quarterNote, double beatsPerMinute) {
    const TempoPoint& last = tempi.back();
    if (quarterNote <= last.quarterNote) {
        tempi.back().beatsPerMinute = beatsPerMinute;
        return;
    }
    tempi.push_back({quarterNote, secondsAt(quarterNote), beatsPerMinute});
}

void Transport::changeMetre(double quarterNote, int32_t numerator, int32_t denominator) {
    if (quarterNote <= metres.back().quarterNote) metres.back() = {metres.back().quarterNote,
                                                                   numerator, denominator};
    else metres.push_back({quarterNote, numerator, denominator});
}

double Transport::secondsAt(double quarterNote) const {
    size_t i = tempi.size() - 1;
    while (i > 0 && tempi[i].quarterNote > quarterNote) --i;
    const TempoPoint& p = tempi[i];
    return p.seconds + (quarterNote - p.quarterNote) * 60.0 / p.beatsPerMinute;
}

double Transport::quarterNoteAt(double seconds) const {
    size_t i = tempi.size() - 1;
    while (i > 0 && tempi[i].seconds > seconds) --i;
    const TempoPoint& p = tempi[i];
    return p.quarterNote + (seconds - p.seconds) * p.beatsPerMinute / 60.0;
}

void Transport::describe(int64_t frame, double sampleRate, bool changed, VstTimeInfo& info) const {
    const double seconds = static_cast<double>(frame) / sampleRate;
    const double position = quarterNoteAt(seconds);
    size_t t = tempi.size() - 1;
    while (t > 0 && tempi[t].seconds > seconds) --t;
    size_t m = metres.size() - 1;
    while (m > 0 && metres[m].quarterNote > position) --m;
    const MetrePoint& metre = metres[m];
    // Bars run from the metre's change on, each numerator notes of
    // 1/denominator, 4/denominator quarter notes long; the small allowance
    // keeps a bar line that rounding puts a hair late on its own bar.
    const double barLength = metre.numerator * 4.0 / metre.denominator;
    const double bars = std::floor((position - metre.quarterNote) / barLength + 1e-9);

    info = VstTimeInfo{};
    info.samplePos = static_cast<double>(frame);
    info.sampleRate = sampleRate;
    info.ppqPos = position;
    info.tempo = tempi[t].beatsPerMinute;
    info.barStartPos = metre.quarterNote + bars * barLength;
    info.timeSigNumerator = metre.numerator;
    info.timeSigDenominator = metre.denominator;
    info.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstBarsValid |
                 kVstTimeSigValid | (changed ? kVstTransportChanged : 0);
}
