// The host as a CLAP plug-in sees it: the host table with the extensions
// this host offers (parameters, latency, tail, state, audio ports, log,
// thread check), and what the plug-in asked of it, kept until the host
// serves it between blocks. The host runs on one thread: a call is from
// its audio thread while the host is inside process, start_processing,
// stop_processing or an active flush, and from its main thread otherwise.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "clap/clap_interface.h"

class ClapHostSide {
public:
    ClapHostSide();
    ClapHostSide(const ClapHostSide&) = delete;
    ClapHostSide& operator=(const ClapHostSide&) = delete;

    const vclap_host_t* table() const { return &host; }

    // Told a line for each call the plug-in makes, when set.
    std::function<void(const std::string&)> log;

    // Each true once after the plug-in asked for it.
    bool takeRestart() { return restart.exchange(false); }
    bool takeCallback() { return callback.exchange(false); }
    bool takeLatencyChange() { return latencyChanged.exchange(false); }

    // Marks the calls the host makes meanwhile as its audio thread's.
    class AudioThreadCall {
    public:
        explicit AudioThreadCall(ClapHostSide& side) : host(side) { host.inAudioCall = true; }
        ~AudioThreadCall() { host.inAudioCall = false; }
        AudioThreadCall(const AudioThreadCall&) = delete;
        AudioThreadCall& operator=(const AudioThreadCall&) = delete;

    private:
        ClapHostSide& host;
    };

private:
    static ClapHostSide* of(const vclap_host_t* host);
    static const void* VCLAP_ABI extension(const vclap_host_t* host, const char* id);
    static void VCLAP_ABI requestRestart(const vclap_host_t* host);
    static void VCLAP_ABI requestProcess(const vclap_host_t* host);
    static void VCLAP_ABI requestCallback(const vclap_host_t* host);
    static void VCLAP_ABI latencyChangedCall(const vclap_host_t* host);
    static void VCLAP_ABI tailChangedCall(const vclap_host_t* host);
    static void VCLAP_ABI paramsRescan(const vclap_host_t* host, uint32_t flags);
    static void VCLAP_ABI paramsClear(const vclap_host_t* host, vclap_id id, uint32_t flags);
    static void VCLAP_ABI paramsRequestFlush(const vclap_host_t* host);
    static void VCLAP_ABI markDirty(const vclap_host_t* host);
    static bool VCLAP_ABI portsRescanFlagSupported(const vclap_host_t* host, uint32_t flag);
    static void VCLAP_ABI portsRescan(const vclap_host_t* host, uint32_t flags);
    static void VCLAP_ABI logMessage(const vclap_host_t* host, int32_t severity, const char* message);
    static bool VCLAP_ABI isMainThread(const vclap_host_t* host);
    static bool VCLAP_ABI isAudioThread(const vclap_host_t* host);

    void note(const std::string& line) const;

    vclap_host_t host;
    const std::thread::id mainThread;
    std::atomic<bool> inAudioCall{false};
    std::atomic<bool> restart{false};
    std::atomic<bool> callback{false};
    std::atomic<bool> latencyChanged{false};
};
