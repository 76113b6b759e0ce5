#include "host/tool/render_warnings.h"

#include "host/library/plugin_stage.h"
#include "host/tool/tool_options.h"

void warnAboutRender(const RenderReport& report) {
    if (static_cast<size_t>(report.longestReportedLatency) > PluginStage::kLongestCompensation)
        warning("the plug-in reports a delay of " + std::to_string(report.longestReportedLatency) +
                " frames; only " + std::to_string(PluginStage::kLongestCompensation) +
                " of them are taken out");
}
