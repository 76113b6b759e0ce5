#include "host/tool/reports/render_warnings.h"

#include <cstdio>

#include "host/library/plugin_stage.h"
#include "host/tool/audio_files/audio_format.h"
#include "host/tool/command_line/tool_options.h"

void warnAboutRender(const RenderReport& report, const char* longerTail) {
    if (report.tailCut) {
        char text[200];
        std::snprintf(text, sizeof text,
                      "the automatic tail stopped at its %g s cap with the output still at %.1f dBFS "
                      "(%s renders a longer one)",
                      report.tailCapSeconds, report.lastTailDecibels, longerTail);
        warning(text);
    }
    if (static_cast<size_t>(report.longestReportedLatency) > PluginStage::kLongestCompensation)
        warning("the plug-in reports a delay of " + std::to_string(report.longestReportedLatency) +
                " frames; only " + std::to_string(PluginStage::kLongestCompensation) +
                " of them are taken out");
}

void warnAboutFile(const AudioFileWriter& file, const std::string& path) {
    if (file.nonFiniteSamples() > 0)
        warning("the plug-in wrote " + std::to_string(file.nonFiniteSamples()) +
                " samples that are not numbers (NaN) or are infinite into " + path);
    if (file.clippedSamples() > 0)
        warning(std::to_string(file.clippedSamples()) +
                " samples beyond full scale were clipped to it in " + path + " (" +
                formatName(file.format()) + ")");
}
