#include "tests/clap/clap_driver.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

void* loadModule(const char* path) {
#if defined(_WIN32)
    HMODULE module = LoadLibraryA(path);
    return module ? reinterpret_cast<void*>(GetProcAddress(module, VCLAP_ENTRY_SYMBOL)) : nullptr;
#else
    // A name without a slash would be looked for in the library path.
    const std::string named = std::strchr(path, '/') ? path : std::string("./") + path;
    void* handle = dlopen(named.c_str(), RTLD_NOW | RTLD_LOCAL);
    return handle ? dlsym(handle, VCLAP_ENTRY_SYMBOL) : nullptr;
#endif
}

uint32_t VCLAP_ABI listSize(const vclap_input_events_t* list) {
    return static_cast<uint32_t>(
        static_cast<const std::vector<vclap_event_param_value_t>*>(list->ctx)->size());
}

const vclap_event_header_t* VCLAP_ABI listGet(const vclap_input_events_t* list, uint32_t i) {
    const auto& stored = *static_cast<const std::vector<vclap_event_param_value_t>*>(list->ctx);
    return i < stored.size() ? &stored[i].header : nullptr;
}

struct ByteStream {
    std::vector<uint8_t>* bytes;
    size_t position;
    size_t step;
};

int64_t VCLAP_ABI streamRead(const vclap_istream_t* stream, void* buffer, uint64_t size) {
    auto* s = static_cast<ByteStream*>(stream->ctx);
    const size_t n = std::min<uint64_t>({size, s->step, s->bytes->size() - s->position});
    if (n) std::memcpy(buffer, s->bytes->data() + s->position, n);
    s->position += n;
    return static_cast<int64_t>(n);
}

int64_t VCLAP_ABI streamWrite(const vclap_ostream_t* stream, const void* buffer, uint64_t size) {
    auto* s = static_cast<ByteStream*>(stream->ctx);
    const size_t n = std::min<uint64_t>(size, s->step);
    const auto* from = static_cast<const uint8_t*>(buffer);
    s->bytes->insert(s->bytes->end(), from, from + n);
    return static_cast<int64_t>(n);
}

ClapPlugin::Host& hostOf(const vclap_host_t* table) {
    return *static_cast<ClapPlugin::Host*>(table->host_data);
}
const void* VCLAP_ABI hostExtension(const vclap_host_t* host, const char* id) {
    if (std::strcmp(id, VCLAP_EXT_PARAMS) == 0) return &hostOf(host).params;
    return std::strcmp(id, VCLAP_EXT_TAIL) == 0 ? &hostOf(host).tail : nullptr;
}
void VCLAP_ABI rescan(const vclap_host_t* host, uint32_t flags) {
    if (flags & VCLAP_PARAM_RESCAN_VALUES) ++hostOf(host).valueRescans;
}
void VCLAP_ABI clearParameter(const vclap_host_t*, vclap_id, uint32_t) {}
void VCLAP_ABI hostRequest(const vclap_host_t*) {}
void VCLAP_ABI tailChanged(const vclap_host_t* host) { ++hostOf(host).tailChanges; }

std::string& modulePath() {
#if defined(VARNOLET_CLAP_PATH)
    static std::string path = VARNOLET_CLAP_PATH;
#else
    static std::string path;
#endif
    return path;
}

}  // namespace

void useClapModule(const std::string& path) { modulePath() = path; }

const vclap_plugin_entry_t* clapEntry() {
    static const vclap_plugin_entry_t* entry = [] {
        auto* e = static_cast<const vclap_plugin_entry_t*>(loadModule(modulePath().c_str()));
        if (e && !e->init(modulePath().c_str())) e = nullptr;
        return e;
    }();
    return entry;
}

const vclap_plugin_factory_t* clapFactory() {
    const vclap_plugin_entry_t* entry = clapEntry();
    return entry ? static_cast<const vclap_plugin_factory_t*>(
                       entry->get_factory(VCLAP_PLUGIN_FACTORY_ID))
                 : nullptr;
}

EventList::EventList(const std::vector<ParamChange>& changes) {
    for (const ParamChange& c : changes) {
        vclap_event_param_value_t e{};
        e.header = {sizeof e, c.frame, VCLAP_CORE_EVENT_SPACE_ID, VCLAP_EVENT_PARAM_VALUE, 0};
        e.param_id = c.id;
        e.note_id = e.port_index = e.channel = e.key = -1;
        e.value = c.value;
        stored.push_back(e);
    }
}

const vclap_input_events_t* EventList::list() const {
    events = {const_cast<std::vector<vclap_event_param_value_t>*>(&stored), listSize, listGet};
    return &events;
}

ClapPlugin::ClapPlugin() {
    host.table = {VCLAP_VERSION_INIT, &host,       "clap_tests", "Tolmark", "", "1",
                  hostExtension,      hostRequest, hostRequest,  hostRequest};
    host.tail.changed = tailChanged;
    host.params = {rescan, clearParameter, hostRequest};
}

std::unique_ptr<ClapPlugin> ClapPlugin::create() {
    const vclap_plugin_factory_t* factory = clapFactory();
    if (!factory) return nullptr;
    std::unique_ptr<ClapPlugin> p(new ClapPlugin);
    p->instance = factory->create_plugin(factory, &p->host.table, "com.tolmark.varnolet-delay");
    if (!p->instance || !p->instance->init(p->instance)) return nullptr;
    return p;
}

ClapPlugin::~ClapPlugin() {
    if (instance) instance->destroy(instance);
}

const vclap_plugin_params_t* ClapPlugin::params() const {
    return static_cast<const vclap_plugin_params_t*>(instance->get_extension(instance, VCLAP_EXT_PARAMS));
}
const vclap_plugin_state_t* ClapPlugin::state() const {
    return static_cast<const vclap_plugin_state_t*>(instance->get_extension(instance, VCLAP_EXT_STATE));
}
const vclap_plugin_tail_t* ClapPlugin::tailExtension() const {
    return static_cast<const vclap_plugin_tail_t*>(instance->get_extension(instance, VCLAP_EXT_TAIL));
}

bool ClapPlugin::activate(double rate, uint32_t maxFrames) {
    return instance->activate(instance, rate, 1, maxFrames) && instance->start_processing(instance);
}

void ClapPlugin::deactivate() {
    instance->stop_processing(instance);
    instance->deactivate(instance);
}

vclap_process_status ClapPlugin::process(const float* inLeft, const float* inRight, float* outLeft,
                                         float* outRight, uint32_t frames,
                                         const std::vector<ParamChange>& changes) {
    return process(inLeft, inRight, outLeft, outRight, frames, EventList(changes));
}

vclap_process_status ClapPlugin::process(const float* inLeft, const float* inRight, float* outLeft,
                                         float* outRight, uint32_t frames, const EventList& events) {
    float* in[2] = {const_cast<float*>(inLeft), const_cast<float*>(inRight)};
    float* out[2] = {outLeft, outRight};
    vclap_audio_buffer_t input{in, nullptr, 2, 0, 0};
    vclap_audio_buffer_t output{out, nullptr, 2, 0, 0};
    const vclap_process_t block{-1, frames, nullptr, &input, &output, 1, 1, events.list(), nullptr};
    return instance->process(instance, &block);
}

void ClapPlugin::flush(const std::vector<ParamChange>& changes) {
    const EventList events(changes);
    params()->flush(instance, events.list(), nullptr);
}

double ClapPlugin::value(uint32_t id) const {
    double v;
    return params()->get_value(instance, id, &v) ? v : std::nan("");
}

std::string ClapPlugin::text(uint32_t id, double value) const {
    char text[256] = "";
    if (!params()->value_to_text(instance, id, value, text, sizeof text)) return "(refused)";
    return text;
}

uint32_t ClapPlugin::tail() const { return tailExtension()->get(instance); }

std::vector<uint8_t> ClapPlugin::save(size_t step) const {
    std::vector<uint8_t> bytes;
    ByteStream s{&bytes, 0, step};
    const vclap_ostream_t stream{&s, streamWrite};
    if (!state()->save(instance, &stream)) bytes.clear();
    return bytes;
}

bool ClapPlugin::load(const std::vector<uint8_t>& bytes, size_t step) {
    std::vector<uint8_t> copy = bytes;
    ByteStream s{&copy, 0, step};
    const vclap_istream_t stream{&s, streamRead};
    return state()->load(instance, &stream);
}

Stereo noise(size_t frames, uint32_t seed, float amplitude) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> uniform(-amplitude, amplitude);
    Stereo s(frames);
    for (size_t i = 0; i < frames; ++i) {
        s.left[i] = uniform(random);
        s.right[i] = uniform(random);
    }
    return s;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

bool sameBits(const Stereo& a, const Stereo& b) {
    return sameBits(a.left, b.left) && sameBits(a.right, b.right);
}
