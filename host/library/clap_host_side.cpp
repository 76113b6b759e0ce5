#include "host/library/clap_host_side.h"

#include <cstring>

namespace {
const char* severityName(int32_t severity) {
    static const char* const names[] = {"debug", "info", "warning", "error", "fatal",
                                        "host misbehaving", "plug-in misbehaving"};
    return severity >= 0 && severity < 7 ? names[severity] : "?";
}
}  // namespace

ClapHostSide::ClapHostSide() : host(), mainThread(std::this_thread::get_id()) {
    host.clap_version = VCLAP_VERSION_INIT;
    host.host_data = this;
    host.name = "vst2host";
    host.vendor = "Tolmark";
    host.url = "";
    host.version = "1";
    host.get_extension = extension;
    host.request_restart = requestRestart;
    host.request_process = requestProcess;
    host.request_callback = requestCallback;
}

ClapHostSide* ClapHostSide::of(const vclap_host_t* table) {
    // A plug-in that passes anything but the table it was given is ignored.
    return table ? static_cast<ClapHostSide*>(table->host_data) : nullptr;
}

void ClapHostSide::note(const std::string& line) const {
    if (log) log("<- " + line);
}

const void* ClapHostSide::extension(const vclap_host_t* table, const char* id) {
    static const vclap_host_params_t params = {paramsRescan, paramsClear, paramsRequestFlush};
    static const vclap_host_latency_t latency = {latencyChangedCall};
    static const vclap_host_tail_t tail = {tailChangedCall};
    static const vclap_host_state_t state = {markDirty};
    static const vclap_host_audio_ports_t ports = {portsRescanFlagSupported, portsRescan};
    static const vclap_host_log_t logTable = {logMessage};
    static const vclap_host_thread_check_t threads = {isMainThread, isAudioThread};
    const ClapHostSide* side = of(table);
    if (!side || !id) return nullptr;
    side->note(std::string("get_extension ") + id);
    if (std::strcmp(id, VCLAP_EXT_PARAMS) == 0) return &params;
    if (std::strcmp(id, VCLAP_EXT_LATENCY) == 0) return &latency;
    if (std::strcmp(id, VCLAP_EXT_TAIL) == 0) return &tail;
    if (std::strcmp(id, VCLAP_EXT_STATE) == 0) return &state;
    if (std::strcmp(id, VCLAP_EXT_AUDIO_PORTS) == 0) return &ports;
    if (std::strcmp(id, VCLAP_EXT_LOG) == 0) return &logTable;
    if (std::strcmp(id, VCLAP_EXT_THREAD_CHECK) == 0) return &threads;
    return nullptr;
}

void ClapHostSide::requestRestart(const vclap_host_t* table) {
    if (ClapHostSide* side = of(table)) {
        side->note("request_restart");
        side->restart = true;
    }
}

void ClapHostSide::requestProcess(const vclap_host_t* table) {
    // An offline render processes anyway.
    if (ClapHostSide* side = of(table)) side->note("request_process");
}

void ClapHostSide::requestCallback(const vclap_host_t* table) {
    if (ClapHostSide* side = of(table)) {
        side->note("request_callback");
        side->callback = true;
    }
}

void ClapHostSide::latencyChangedCall(const vclap_host_t* table) {
    if (ClapHostSide* side = of(table)) {
        side->note("latency.changed");
        side->latencyChanged = true;
    }
}

void ClapHostSide::tailChangedCall(const vclap_host_t* table) {
    // The tail is asked for when the render needs it, after each change.
    if (ClapHostSide* side = of(table)) side->note("tail.changed");
}

void ClapHostSide::paramsRescan(const vclap_host_t* table, uint32_t flags) {
    // Values and texts are asked afresh each time; the list is read once.
    if (ClapHostSide* side = of(table)) side->note("params.rescan flags=" + std::to_string(flags));
}

void ClapHostSide::paramsClear(const vclap_host_t* table, vclap_id id, uint32_t flags) {
    if (ClapHostSide* side = of(table))
        side->note("params.clear id=" + std::to_string(id) + " flags=" + std::to_string(flags));
}

void ClapHostSide::paramsRequestFlush(const vclap_host_t* table) {
    // Values are flushed as they are set, or travel with the next block.
    if (ClapHostSide* side = of(table)) side->note("params.request_flush");
}

void ClapHostSide::markDirty(const vclap_host_t* table) {
    if (ClapHostSide* side = of(table)) side->note("state.mark_dirty");
}

bool ClapHostSide::portsRescanFlagSupported(const vclap_host_t* table, uint32_t flag) {
    if (ClapHostSide* side = of(table))
        side->note("audio_ports.is_rescan_flag_supported flag=" + std::to_string(flag));
    return false;
}

void ClapHostSide::portsRescan(const vclap_host_t* table, uint32_t flags) {
    if (ClapHostSide* side = of(table)) side->note("audio_ports.rescan flags=" + std::to_string(flags));
}

void ClapHostSide::logMessage(const vclap_host_t* table, int32_t severity, const char* message) {
    if (ClapHostSide* side = of(table))
        side->note(std::string("log (") + severityName(severity) + ") " + (message ? message : ""));
}

bool ClapHostSide::isMainThread(const vclap_host_t* table) {
    const ClapHostSide* side = of(table);
    return side && std::this_thread::get_id() == side->mainThread && !side->inAudioCall;
}

bool ClapHostSide::isAudioThread(const vclap_host_t* table) {
    const ClapHostSide* side = of(table);
    return side && std::this_thread::get_id() == side->mainThread && side->inAudioCall;
}
