#include "host/library/hosted_plugin.h"

bool HostedPlugin::loadPreset(const std::vector<uint8_t>&, const std::string& name,
                              std::string& error) {
    error = name + " is a " + formatName() + " plug-in; preset files (.fxp, .fxb) are VST 2.4's";
    return false;
}

bool HostedPlugin::savePreset(bool, std::vector<uint8_t>&, std::string& error) {
    error = path() + " is a " + formatName() + " plug-in; preset files (.fxp, .fxb) are VST 2.4's";
    return false;
}

void HostedPlugin::addChannelsLatencyAndTail(PluginReport& report) {
    const int32_t in = inputCount(), out = outputCount(), delay = latency();
    report.facts.push_back(PluginFact{"Inputs/outputs", std::to_string(in) + " / " + std::to_string(out),
                                      {{"inputs", ReportValue::of(int64_t{in})},
                                       {"outputs", ReportValue::of(int64_t{out})}}});
    report.facts.push_back(PluginFact{"Latency", std::to_string(delay) + " frames",
                                      {{"latency", ReportValue::of(int64_t{delay})}}});
    const TailReport t = tail();
    const bool frames = t.kind == TailReport::Kind::Frames;
    const std::string said = t.kind == TailReport::Kind::Infinite ? "infinite" : "not reported";
    report.facts.push_back(PluginFact{
        "Tail", frames ? std::to_string(t.frames) + " frames" : said,
        {{"tail", frames ? ReportValue::of(static_cast<int64_t>(t.frames)) : ReportValue::of(said)}}});
}
