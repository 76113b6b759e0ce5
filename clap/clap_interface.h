/* The binary interface between a CLAP host and a plug-in module: the entry a
 * module exports, its plug-in factory, the plug-in and host tables, the
 * process call with its buffers and events, the streams, and the extensions
 * this project uses on either side. Plain C, so that any C or C++ compiler
 * lays the structures out as every other CLAP host and plug-in does; the
 * names carry the prefix vclap_ / VCLAP_ so that they never meet another
 * declaration of the same interface in one program. The plug-in and the
 * host tools include this header and nothing else of each other.
 *
 * Every call across the boundary uses the C calling convention; on 32-bit
 * Windows that is __cdecl, written out so that a project compiled with
 * another default still agrees. Strings are UTF-8 and end with a zero. */
#ifndef VARNOLET_CLAP_INTERFACE_H
#define VARNOLET_CLAP_INTERFACE_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define VCLAP_ABI __cdecl
#else
#define VCLAP_ABI
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Versions ----------------------------------------------------------- */

typedef struct vclap_version {
    uint32_t major;
    uint32_t minor;
    uint32_t revision;
} vclap_version_t;

/* The interface version both sides of this project are written to. */
#define VCLAP_VERSION_MAJOR 1u
#define VCLAP_VERSION_MINOR 2u
#define VCLAP_VERSION_REVISION 0u
#define VCLAP_VERSION_INIT {VCLAP_VERSION_MAJOR, VCLAP_VERSION_MINOR, VCLAP_VERSION_REVISION}

/* Versions before 1.0 were drafts whose tables differ; from 1.0 on, every
 * later version keeps the tables of the earlier ones. */
static inline bool vclap_version_is_compatible(vclap_version_t v) { return v.major >= 1; }

/* ---- Common types ------------------------------------------------------- */

typedef uint32_t vclap_id;
#define VCLAP_INVALID_ID UINT32_MAX

/* Fixed text fields: names and module paths. */
#define VCLAP_NAME_SIZE 256
#define VCLAP_PATH_SIZE 1024

/* Positions in the transport: beats and seconds as fixed-point numbers with
 * 31 fractional bits. */
typedef int64_t vclap_beattime;
typedef int64_t vclap_sectime;
#define VCLAP_BEATTIME_FACTOR (INT64_C(1) << 31)
#define VCLAP_SECTIME_FACTOR (INT64_C(1) << 31)

/* ---- Streams (state) ---------------------------------------------------- */

/* Either side may move fewer bytes than asked: a reader or writer loops. */
typedef struct vclap_istream {
    void* ctx;
    /* Bytes read, 0 at the end, below 0 on an error. */
    int64_t(VCLAP_ABI* read)(const struct vclap_istream* stream, void* buffer, uint64_t size);
} vclap_istream_t;

typedef struct vclap_ostream {
    void* ctx;
    /* Bytes written, below 0 on an error. */
    int64_t(VCLAP_ABI* write)(const struct vclap_ostream* stream, const void* buffer,
                              uint64_t size);
} vclap_ostream_t;

/* ---- Events ------------------------------------------------------------- */

typedef struct vclap_event_header {
    uint32_t size;     /* of the whole event, this header included */
    uint32_t time;     /* frame within the block */
    uint16_t space_id; /* VCLAP_CORE_EVENT_SPACE_ID for the events below */
    uint16_t type;
    uint32_t flags;
} vclap_event_header_t;

#define VCLAP_CORE_EVENT_SPACE_ID 0u

/* Event flags. */
#define VCLAP_EVENT_IS_LIVE (1u << 0)
#define VCLAP_EVENT_DONT_RECORD (1u << 1)

/* Event types of the core space. */
#define VCLAP_EVENT_NOTE_ON 0u
#define VCLAP_EVENT_NOTE_OFF 1u
#define VCLAP_EVENT_NOTE_CHOKE 2u
#define VCLAP_EVENT_NOTE_END 3u
#define VCLAP_EVENT_NOTE_EXPRESSION 4u
#define VCLAP_EVENT_PARAM_VALUE 5u
#define VCLAP_EVENT_PARAM_MOD 6u
#define VCLAP_EVENT_PARAM_GESTURE_BEGIN 7u
#define VCLAP_EVENT_PARAM_GESTURE_END 8u
#define VCLAP_EVENT_TRANSPORT 9u
#define VCLAP_EVENT_MIDI 10u
#define VCLAP_EVENT_MIDI_SYSEX 11u
#define VCLAP_EVENT_MIDI2 12u

/* Note on, off, choke and end. -1 in note_id, port_index, channel or key
 * matches any (not allowed in a note on). */
typedef struct vclap_event_note {
    vclap_event_header_t header;
    int32_t note_id;
    int16_t port_index;
    int16_t channel; /* 0..15 */
    int16_t key;     /* 0..127 */
    double velocity; /* 0..1 */
} vclap_event_note_t;

#define VCLAP_NOTE_EXPRESSION_VOLUME 0
#define VCLAP_NOTE_EXPRESSION_PAN 1
#define VCLAP_NOTE_EXPRESSION_TUNING 2
#define VCLAP_NOTE_EXPRESSION_VIBRATO 3
#define VCLAP_NOTE_EXPRESSION_EXPRESSION 4
#define VCLAP_NOTE_EXPRESSION_BRIGHTNESS 5
#define VCLAP_NOTE_EXPRESSION_PRESSURE 6

typedef struct vclap_event_note_expression {
    vclap_event_header_t header;
    int32_t expression_id;
    int32_t note_id;
    int16_t port_index;
    int16_t channel;
    int16_t key;
    double value;
} vclap_event_note_expression_t;

/* A parameter's new plain value (in its own range, not normalised), from
 * the event's frame on. cookie is the one the plug-in gave in its
 * parameter's description, or null. */
typedef struct vclap_event_param_value {
    vclap_event_header_t header;
    vclap_id param_id;
    void* cookie;
    int32_t note_id;
    int16_t port_index;
    int16_t channel;
    int16_t key;
    double value;
} vclap_event_param_value_t;

/* An offset added to the parameter's value, until the next one. */
typedef struct vclap_event_param_mod {
    vclap_event_header_t header;
    vclap_id param_id;
    void* cookie;
    int32_t note_id;
    int16_t port_index;
    int16_t channel;
    int16_t key;
    double amount;
} vclap_event_param_mod_t;

typedef struct vclap_event_param_gesture {
    vclap_event_header_t header;
    vclap_id param_id;
} vclap_event_param_gesture_t;

/* Transport flags. */
#define VCLAP_TRANSPORT_HAS_TEMPO (1u << 0)
#define VCLAP_TRANSPORT_HAS_BEATS_TIMELINE (1u << 1)
#define VCLAP_TRANSPORT_HAS_SECONDS_TIMELINE (1u << 2)
#define VCLAP_TRANSPORT_HAS_TIME_SIGNATURE (1u << 3)
#define VCLAP_TRANSPORT_IS_PLAYING (1u << 4)
#define VCLAP_TRANSPORT_IS_RECORDING (1u << 5)
#define VCLAP_TRANSPORT_IS_LOOP_ACTIVE (1u << 6)
#define VCLAP_TRANSPORT_IS_WITHIN_PRE_ROLL (1u << 7)

typedef struct vclap_event_transport {
    vclap_event_header_t header;
    uint32_t flags;
    vclap_beattime song_pos_beats;
    vclap_sectime song_pos_seconds;
    double tempo;     /* beats per minute */
    double tempo_inc; /* per frame, until the next transport event */
    vclap_beattime loop_start_beats;
    vclap_beattime loop_end_beats;
    vclap_sectime loop_start_seconds;
    vclap_sectime loop_end_seconds;
    vclap_beattime bar_start;
    int32_t bar_number; /* the bar at position 0 is bar 0 */
    uint16_t tsig_num;
    uint16_t tsig_denom;
} vclap_event_transport_t;

typedef struct vclap_event_midi {
    vclap_event_header_t header;
    uint16_t port_index;
    uint8_t data[3];
} vclap_event_midi_t;

typedef struct vclap_event_midi_sysex {
    vclap_event_header_t header;
    uint16_t port_index;
    const uint8_t* buffer; /* valid for the call that carries it */
    uint32_t size;
} vclap_event_midi_sysex_t;

typedef struct vclap_event_midi2 {
    vclap_event_header_t header;
    uint16_t port_index;
    uint32_t data[4];
} vclap_event_midi2_t;

/* The events of one block, in order of time, that the host hands in. */
typedef struct vclap_input_events {
    void* ctx;
    uint32_t(VCLAP_ABI* size)(const struct vclap_input_events* list);
    /* Owned by the list; valid for the call that hands the list in. */
    const vclap_event_header_t*(VCLAP_ABI* get)(const struct vclap_input_events* list,
                                                 uint32_t index);
} vclap_input_events_t;

/* Where the plug-in puts its own events; the host copies each one. */
typedef struct vclap_output_events {
    void* ctx;
    bool(VCLAP_ABI* try_push)(const struct vclap_output_events* list,
                              const vclap_event_header_t* event);
} vclap_output_events_t;

/* ---- Audio and the process call ---------------------------------------- */

/* One port's channels, in 32-bit (data32) or 64-bit (data64) samples. A set
 * bit of constant_mask says that channel holds one value throughout. */
typedef struct vclap_audio_buffer {
    float** data32;
    double** data64;
    uint32_t channel_count;
    uint32_t latency;
    uint64_t constant_mask;
} vclap_audio_buffer_t;

typedef int32_t vclap_process_status;
#define VCLAP_PROCESS_ERROR 0
#define VCLAP_PROCESS_CONTINUE 1
#define VCLAP_PROCESS_CONTINUE_IF_NOT_QUIET 2
#define VCLAP_PROCESS_TAIL 3
#define VCLAP_PROCESS_SLEEP 4

typedef struct vclap_process {
    /* A frame counter that only rises, or -1 when the host keeps none. */
    int64_t steady_time;
    uint32_t frames_count;
    /* Null when the host has no transport (offline, free running). */
    const vclap_event_transport_t* transport;
    /* One buffer per port, in the order the audio-ports extension lists. */
    const vclap_audio_buffer_t* audio_inputs;
    vclap_audio_buffer_t* audio_outputs;
    uint32_t audio_inputs_count;
    uint32_t audio_outputs_count;
    const vclap_input_events_t* in_events;
    const vclap_output_events_t* out_events;
} vclap_process_t;

/* ---- Host and plug-in --------------------------------------------------- */

typedef struct vclap_host {
    vclap_version_t clap_version;
    void* host_data; /* the host's own */
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    /* The host's table for an extension id, or null. [thread-safe] */
    const void*(VCLAP_ABI* get_extension)(const struct vclap_host* host, const char* extension_id);
    /* Asks to be deactivated and activated again. [thread-safe] */
    void(VCLAP_ABI* request_restart)(const struct vclap_host* host);
    /* Asks to be activated and processed. [thread-safe] */
    void(VCLAP_ABI* request_process)(const struct vclap_host* host);
    /* Asks for on_main_thread. [thread-safe] */
    void(VCLAP_ABI* request_callback)(const struct vclap_host* host);
} vclap_host_t;

typedef struct vclap_plugin_descriptor {
    vclap_version_t clap_version;
    const char* id; /* reverse-domain, never changes: "com.example.delay" */
    const char* name;
    const char* vendor;
    const char* url;
    const char* manual_url;
    const char* support_url;
    const char* version;
    const char* description;
    const char* const* features; /* null-terminated list */
} vclap_plugin_descriptor_t;

/* The order of a plug-in's life: init once; then any number of
 * activate ... deactivate, each with start_processing ... stop_processing
 * inside; destroy. All but process, start_processing, stop_processing and
 * reset come from the main thread; those four from the audio thread. */
typedef struct vclap_plugin {
    const vclap_plugin_descriptor_t* desc;
    void* plugin_data; /* the plug-in's own */
    bool(VCLAP_ABI* init)(const struct vclap_plugin* plugin);
    void(VCLAP_ABI* destroy)(const struct vclap_plugin* plugin);
    /* Blocks will hold from min_frames_count to max_frames_count frames. */
    bool(VCLAP_ABI* activate)(const struct vclap_plugin* plugin, double sample_rate,
                              uint32_t min_frames_count, uint32_t max_frames_count);
    void(VCLAP_ABI* deactivate)(const struct vclap_plugin* plugin);
    bool(VCLAP_ABI* start_processing)(const struct vclap_plugin* plugin);
    void(VCLAP_ABI* stop_processing)(const struct vclap_plugin* plugin);
    void(VCLAP_ABI* reset)(const struct vclap_plugin* plugin);
    vclap_process_status(VCLAP_ABI* process)(const struct vclap_plugin* plugin,
                                             const vclap_process_t* process);
    const void*(VCLAP_ABI* get_extension)(const struct vclap_plugin* plugin, const char* id);
    void(VCLAP_ABI* on_main_thread)(const struct vclap_plugin* plugin);
} vclap_plugin_t;

/* ---- Entry and factories ----------------------------------------------- */

/* What a module exports under the name VCLAP_ENTRY_SYMBOL. init is called
 * once, with the module's path, before anything else; deinit once at the
 * end. */
typedef struct vclap_plugin_entry {
    vclap_version_t clap_version;
    bool(VCLAP_ABI* init)(const char* plugin_path);
    void(VCLAP_ABI* deinit)(void);
    const void*(VCLAP_ABI* get_factory)(const char* factory_id);
} vclap_plugin_entry_t;

#define VCLAP_ENTRY_SYMBOL "clap_entry"

#define VCLAP_PLUGIN_FACTORY_ID "clap.plugin-factory"

typedef struct vclap_plugin_factory {
    uint32_t(VCLAP_ABI* get_plugin_count)(const struct vclap_plugin_factory* factory);
    const vclap_plugin_descriptor_t*(VCLAP_ABI* get_plugin_descriptor)(
        const struct vclap_plugin_factory* factory, uint32_t index);
    /* Null when the id is unknown or the plug-in cannot be made; init
     * follows before any other call. */
    const vclap_plugin_t*(VCLAP_ABI* create_plugin)(const struct vclap_plugin_factory* factory,
                                                    const vclap_host_t* host,
                                                    const char* plugin_id);
} vclap_plugin_factory_t;

/* Factory ids of preset discovery, for hosts that index factory presets;
 * the second is what hosts of the 1.1 releases ask for. */
#define VCLAP_PRESET_DISCOVERY_FACTORY_ID "clap.preset-discovery-factory/2"
#define VCLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT "clap.preset-discovery-factory/draft-2"

/* Features a descriptor may list. */
#define VCLAP_PLUGIN_FEATURE_INSTRUMENT "instrument"
#define VCLAP_PLUGIN_FEATURE_AUDIO_EFFECT "audio-effect"
#define VCLAP_PLUGIN_FEATURE_NOTE_EFFECT "note-effect"
#define VCLAP_PLUGIN_FEATURE_ANALYZER "analyzer"
#define VCLAP_PLUGIN_FEATURE_DELAY "delay"
#define VCLAP_PLUGIN_FEATURE_FILTER "filter"
#define VCLAP_PLUGIN_FEATURE_DISTORTION "distortion"
#define VCLAP_PLUGIN_FEATURE_MONO "mono"
#define VCLAP_PLUGIN_FEATURE_STEREO "stereo"
#define VCLAP_PLUGIN_FEATURE_SURROUND "surround"

/* ---- Extension: audio ports --------------------------------------------- */

#define VCLAP_EXT_AUDIO_PORTS "clap.audio-ports"
#define VCLAP_PORT_MONO "mono"
#define VCLAP_PORT_STEREO "stereo"

#define VCLAP_AUDIO_PORT_IS_MAIN (1u << 0)
#define VCLAP_AUDIO_PORT_SUPPORTS_64BITS (1u << 1)
#define VCLAP_AUDIO_PORT_PREFERS_64BITS (1u << 2)
#define VCLAP_AUDIO_PORT_REQUIRES_COMMON_SAMPLE_SIZE (1u << 3)

typedef struct vclap_audio_port_info {
    vclap_id id;
    char name[VCLAP_NAME_SIZE];
    uint32_t flags;
    uint32_t channel_count;
    const char* port_type; /* VCLAP_PORT_MONO, VCLAP_PORT_STEREO, another, or null */
    /* The output port that may share this input's buffers, or
     * VCLAP_INVALID_ID. */
    vclap_id in_place_pair;
} vclap_audio_port_info_t;

typedef struct vclap_plugin_audio_ports {
    uint32_t(VCLAP_ABI* count)(const vclap_plugin_t* plugin, bool is_input);
    bool(VCLAP_ABI* get)(const vclap_plugin_t* plugin, uint32_t index, bool is_input,
                         vclap_audio_port_info_t* info);
} vclap_plugin_audio_ports_t;

#define VCLAP_AUDIO_PORTS_RESCAN_NAMES (1u << 0)
#define VCLAP_AUDIO_PORTS_RESCAN_FLAGS (1u << 1)
#define VCLAP_AUDIO_PORTS_RESCAN_CHANNEL_COUNT (1u << 2)
#define VCLAP_AUDIO_PORTS_RESCAN_PORT_TYPE (1u << 3)
#define VCLAP_AUDIO_PORTS_RESCAN_IN_PLACE_PAIR (1u << 4)
#define VCLAP_AUDIO_PORTS_RESCAN_LIST (1u << 5)

typedef struct vclap_host_audio_ports {
    bool(VCLAP_ABI* is_rescan_flag_supported)(const vclap_host_t* host, uint32_t flag);
    void(VCLAP_ABI* rescan)(const vclap_host_t* host, uint32_t flags);
} vclap_host_audio_ports_t;

/* ---- Extension: note ports ---------------------------------------------- */

#define VCLAP_EXT_NOTE_PORTS "clap.note-ports"

#define VCLAP_NOTE_DIALECT_CLAP (1u << 0)
#define VCLAP_NOTE_DIALECT_MIDI (1u << 1)
#define VCLAP_NOTE_DIALECT_MIDI_MPE (1u << 2)
#define VCLAP_NOTE_DIALECT_MIDI2 (1u << 3)

typedef struct vclap_note_port_info {
    vclap_id id;
    uint32_t supported_dialects;
    uint32_t preferred_dialect;
    char name[VCLAP_NAME_SIZE];
} vclap_note_port_info_t;

typedef struct vclap_plugin_note_ports {
    uint32_t(VCLAP_ABI* count)(const vclap_plugin_t* plugin, bool is_input);
    bool(VCLAP_ABI* get)(const vclap_plugin_t* plugin, uint32_t index, bool is_input,
                         vclap_note_port_info_t* info);
} vclap_plugin_note_ports_t;

/* ---- Extension: parameters ---------------------------------------------- */

#define VCLAP_EXT_PARAMS "clap.params"

#define VCLAP_PARAM_IS_STEPPED (1u << 0)
#define VCLAP_PARAM_IS_PERIODIC (1u << 1)
#define VCLAP_PARAM_IS_HIDDEN (1u << 2)
#define VCLAP_PARAM_IS_READONLY (1u << 3)
#define VCLAP_PARAM_IS_BYPASS (1u << 4)
#define VCLAP_PARAM_IS_AUTOMATABLE (1u << 5)
#define VCLAP_PARAM_IS_AUTOMATABLE_PER_NOTE_ID (1u << 6)
#define VCLAP_PARAM_IS_AUTOMATABLE_PER_KEY (1u << 7)
#define VCLAP_PARAM_IS_AUTOMATABLE_PER_CHANNEL (1u << 8)
#define VCLAP_PARAM_IS_AUTOMATABLE_PER_PORT (1u << 9)
#define VCLAP_PARAM_IS_MODULATABLE (1u << 10)
#define VCLAP_PARAM_IS_MODULATABLE_PER_NOTE_ID (1u << 11)
#define VCLAP_PARAM_IS_MODULATABLE_PER_KEY (1u << 12)
#define VCLAP_PARAM_IS_MODULATABLE_PER_CHANNEL (1u << 13)
#define VCLAP_PARAM_IS_MODULATABLE_PER_PORT (1u << 14)
#define VCLAP_PARAM_REQUIRES_PROCESS (1u << 15)
#define VCLAP_PARAM_IS_ENUM (1u << 16)

typedef struct vclap_param_info {
    vclap_id id; /* never changes, whatever the parameter's place in the list */
    uint32_t flags;
    void* cookie; /* handed back in events about this parameter */
    char name[VCLAP_NAME_SIZE];
    char module[VCLAP_PATH_SIZE]; /* "Group/Subgroup", or empty */
    double min_value;             /* plain values, finite */
    double max_value;
    double default_value;
} vclap_param_info_t;

typedef struct vclap_plugin_params {
    uint32_t(VCLAP_ABI* count)(const vclap_plugin_t* plugin);
    bool(VCLAP_ABI* get_info)(const vclap_plugin_t* plugin, uint32_t param_index,
                              vclap_param_info_t* param_info);
    bool(VCLAP_ABI* get_value)(const vclap_plugin_t* plugin, vclap_id param_id, double* out_value);
    bool(VCLAP_ABI* value_to_text)(const vclap_plugin_t* plugin, vclap_id param_id, double value,
                                   char* out_buffer, uint32_t out_buffer_capacity);
    bool(VCLAP_ABI* text_to_value)(const vclap_plugin_t* plugin, vclap_id param_id,
                                   const char* param_value_text, double* out_value);
    /* Takes parameter events while the plug-in is not processing: from the
     * main thread when inactive, else from the audio thread. */
    void(VCLAP_ABI* flush)(const vclap_plugin_t* plugin, const vclap_input_events_t* in,
                           const vclap_output_events_t* out);
} vclap_plugin_params_t;

#define VCLAP_PARAM_RESCAN_VALUES (1u << 0)
#define VCLAP_PARAM_RESCAN_TEXT (1u << 1)
#define VCLAP_PARAM_RESCAN_INFO (1u << 2)
#define VCLAP_PARAM_RESCAN_ALL (1u << 3)

#define VCLAP_PARAM_CLEAR_ALL (1u << 0)
#define VCLAP_PARAM_CLEAR_AUTOMATIONS (1u << 1)
#define VCLAP_PARAM_CLEAR_MODULATIONS (1u << 2)

typedef struct vclap_host_params {
    void(VCLAP_ABI* rescan)(const vclap_host_t* host, uint32_t flags);
    void(VCLAP_ABI* clear)(const vclap_host_t* host, vclap_id param_id, uint32_t flags);
    /* Asks for a process or a flush call soon. [thread-safe, not audio] */
    void(VCLAP_ABI* request_flush)(const vclap_host_t* host);
} vclap_host_params_t;

/* ---- Extension: state --------------------------------------------------- */

#define VCLAP_EXT_STATE "clap.state"

typedef struct vclap_plugin_state {
    bool(VCLAP_ABI* save)(const vclap_plugin_t* plugin, const vclap_ostream_t* stream);
    bool(VCLAP_ABI* load)(const vclap_plugin_t* plugin, const vclap_istream_t* stream);
} vclap_plugin_state_t;

typedef struct vclap_host_state {
    void(VCLAP_ABI* mark_dirty)(const vclap_host_t* host);
} vclap_host_state_t;

/* ---- Extension: latency ------------------------------------------------- */

#define VCLAP_EXT_LATENCY "clap.latency"

typedef struct vclap_plugin_latency {
    /* Frames; asked while active or being activated. */
    uint32_t(VCLAP_ABI* get)(const vclap_plugin_t* plugin);
} vclap_plugin_latency_t;

/* A plug-in whose delay changes while active asks for a restart first, and
 * calls changed while being activated again. */
typedef struct vclap_host_latency {
    void(VCLAP_ABI* changed)(const vclap_host_t* host);
} vclap_host_latency_t;

/* ---- Extension: tail ---------------------------------------------------- */

#define VCLAP_EXT_TAIL "clap.tail"

/* At or above this, the tail never ends. */
#define VCLAP_TAIL_INFINITE ((uint32_t)INT32_MAX)

typedef struct vclap_plugin_tail {
    uint32_t(VCLAP_ABI* get)(const vclap_plugin_t* plugin);
} vclap_plugin_tail_t;

typedef struct vclap_host_tail {
    void(VCLAP_ABI* changed)(const vclap_host_t* host);
} vclap_host_tail_t;

/* ---- Extension: render mode --------------------------------------------- */

#define VCLAP_EXT_RENDER "clap.render"
#define VCLAP_RENDER_REALTIME 0
#define VCLAP_RENDER_OFFLINE 1

typedef struct vclap_plugin_render {
    bool(VCLAP_ABI* has_hard_realtime_requirement)(const vclap_plugin_t* plugin);
    bool(VCLAP_ABI* set)(const vclap_plugin_t* plugin, int32_t mode);
} vclap_plugin_render_t;

/* ---- Host extensions: log and thread check ----------------------------- */

#define VCLAP_EXT_LOG "clap.log"

#define VCLAP_LOG_DEBUG 0
#define VCLAP_LOG_INFO 1
#define VCLAP_LOG_WARNING 2
#define VCLAP_LOG_ERROR 3
#define VCLAP_LOG_FATAL 4
#define VCLAP_LOG_HOST_MISBEHAVING 5
#define VCLAP_LOG_PLUGIN_MISBEHAVING 6

typedef struct vclap_host_log {
    void(VCLAP_ABI* log)(const vclap_host_t* host, int32_t severity, const char* message);
} vclap_host_log_t;

#define VCLAP_EXT_THREAD_CHECK "clap.thread-check"

typedef struct vclap_host_thread_check {
    bool(VCLAP_ABI* is_main_thread)(const vclap_host_t* host);
    bool(VCLAP_ABI* is_audio_thread)(const vclap_host_t* host);
} vclap_host_thread_check_t;

/* ---- Preset discovery and loading --------------------------------------
 * A host indexes presets through providers the factory makes; presets a
 * plug-in holds itself lie at a location of the kind PLUGIN, whose path is
 * null, and are told apart by their load keys, which the plug-in's
 * preset-load extension takes. */

#define VCLAP_PRESET_DISCOVERY_LOCATION_FILE 0u
#define VCLAP_PRESET_DISCOVERY_LOCATION_PLUGIN 1u

#define VCLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT (1u << 0)
#define VCLAP_PRESET_DISCOVERY_IS_USER_CONTENT (1u << 1)

typedef uint64_t vclap_timestamp;

/* abi is "clap", "vst3", ...; id the plug-in's id in that format. */
typedef struct vclap_universal_plugin_id {
    const char* abi;
    const char* id;
} vclap_universal_plugin_id_t;

typedef struct vclap_preset_discovery_metadata_receiver {
    void* receiver_data;
    void(VCLAP_ABI* on_error)(const struct vclap_preset_discovery_metadata_receiver* receiver,
                              int32_t os_error, const char* error_message);
    /* Before anything else about a preset; false: tell nothing more. */
    bool(VCLAP_ABI* begin_preset)(const struct vclap_preset_discovery_metadata_receiver* receiver,
                                  const char* name, const char* load_key);
    void(VCLAP_ABI* add_plugin_id)(const struct vclap_preset_discovery_metadata_receiver* receiver,
                                   const vclap_universal_plugin_id_t* plugin_id);
    void(VCLAP_ABI* set_soundpack_id)(
        const struct vclap_preset_discovery_metadata_receiver* receiver, const char* soundpack_id);
    void(VCLAP_ABI* set_flags)(const struct vclap_preset_discovery_metadata_receiver* receiver,
                               uint32_t flags);
    void(VCLAP_ABI* add_creator)(const struct vclap_preset_discovery_metadata_receiver* receiver,
                                 const char* creator);
    void(VCLAP_ABI* set_description)(
        const struct vclap_preset_discovery_metadata_receiver* receiver, const char* description);
    void(VCLAP_ABI* set_timestamps)(const struct vclap_preset_discovery_metadata_receiver* receiver,
                                    vclap_timestamp creation_time,
                                    vclap_timestamp modification_time);
    void(VCLAP_ABI* add_feature)(const struct vclap_preset_discovery_metadata_receiver* receiver,
                                 const char* feature);
    void(VCLAP_ABI* add_extra_info)(const struct vclap_preset_discovery_metadata_receiver* receiver,
                                    const char* key, const char* value);
} vclap_preset_discovery_metadata_receiver_t;

typedef struct vclap_preset_discovery_filetype {
    const char* name;
    const char* description;
    const char* file_extension;
} vclap_preset_discovery_filetype_t;

typedef struct vclap_preset_discovery_location {
    uint32_t flags;
    const char* name;
    uint32_t kind;
    const char* location; /* null for the kind PLUGIN */
} vclap_preset_discovery_location_t;

struct vclap_preset_discovery_soundpack; /* never declared by this plug-in */

typedef struct vclap_preset_discovery_provider_descriptor {
    vclap_version_t clap_version;
    const char* id;
    const char* name;
    const char* vendor;
} vclap_preset_discovery_provider_descriptor_t;

typedef struct vclap_preset_discovery_provider {
    const vclap_preset_discovery_provider_descriptor_t* desc;
    void* provider_data;
    bool(VCLAP_ABI* init)(const struct vclap_preset_discovery_provider* provider);
    void(VCLAP_ABI* destroy)(const struct vclap_preset_discovery_provider* provider);
    bool(VCLAP_ABI* get_metadata)(const struct vclap_preset_discovery_provider* provider,
                                  uint32_t location_kind, const char* location,
                                  const vclap_preset_discovery_metadata_receiver_t* receiver);
    const void*(VCLAP_ABI* get_extension)(const struct vclap_preset_discovery_provider* provider,
                                          const char* extension_id);
} vclap_preset_discovery_provider_t;

typedef struct vclap_preset_discovery_indexer {
    vclap_version_t clap_version;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    void* indexer_data;
    bool(VCLAP_ABI* declare_filetype)(const struct vclap_preset_discovery_indexer* indexer,
                                      const vclap_preset_discovery_filetype_t* filetype);
    bool(VCLAP_ABI* declare_location)(const struct vclap_preset_discovery_indexer* indexer,
                                      const vclap_preset_discovery_location_t* location);
    bool(VCLAP_ABI* declare_soundpack)(const struct vclap_preset_discovery_indexer* indexer,
                                       const struct vclap_preset_discovery_soundpack* soundpack);
    const void*(VCLAP_ABI* get_extension)(const struct vclap_preset_discovery_indexer* indexer,
                                          const char* extension_id);
} vclap_preset_discovery_indexer_t;

typedef struct vclap_preset_discovery_factory {
    uint32_t(VCLAP_ABI* count)(const struct vclap_preset_discovery_factory* factory);
    const vclap_preset_discovery_provider_descriptor_t*(VCLAP_ABI* get_descriptor)(
        const struct vclap_preset_discovery_factory* factory, uint32_t index);
    /* The provider is destroyed through its own destroy. */
    const vclap_preset_discovery_provider_t*(VCLAP_ABI* create)(
        const struct vclap_preset_discovery_factory* factory,
        const vclap_preset_discovery_indexer_t* indexer, const char* provider_id);
} vclap_preset_discovery_factory_t;

#define VCLAP_EXT_PRESET_LOAD "clap.preset-load/2"
#define VCLAP_EXT_PRESET_LOAD_COMPAT "clap.preset-load.draft/2"

typedef struct vclap_plugin_preset_load {
    /* [main-thread] */
    bool(VCLAP_ABI* from_location)(const vclap_plugin_t* plugin, uint32_t location_kind,
                                   const char* location, const char* load_key);
} vclap_plugin_preset_load_t;

typedef struct vclap_host_preset_load {
    void(VCLAP_ABI* on_error)(const vclap_host_t* host, uint32_t location_kind,
                              const char* location, const char* load_key, int32_t os_error,
                              const char* message);
    void(VCLAP_ABI* loaded)(const vclap_host_t* host, uint32_t location_kind, const char* location,
                            const char* load_key);
} vclap_host_preset_load_t;

/* ---- Layouts -------------------------------------------------------------
 * Pinned for the builds this project makes: 64-bit, 32-bit Windows (where a
 * double or a 64-bit integer in a structure sits on 8 bytes) and 32-bit x86
 * Linux (where it sits on 4). A change to a declaration above that moves a
 * field fails to compile here. */

#ifdef __cplusplus
#define VCLAP_LAYOUT(condition) static_assert(condition, #condition)
#else
#define VCLAP_LAYOUT(condition) _Static_assert(condition, #condition)
#endif

VCLAP_LAYOUT(sizeof(vclap_version_t) == 12);
VCLAP_LAYOUT(sizeof(vclap_event_header_t) == 16);
VCLAP_LAYOUT(offsetof(vclap_event_header_t, space_id) == 8);
VCLAP_LAYOUT(offsetof(vclap_event_header_t, flags) == 12);
VCLAP_LAYOUT(sizeof(vclap_event_midi_t) == 24);
VCLAP_LAYOUT(offsetof(vclap_event_midi_t, data) == 18);
VCLAP_LAYOUT(sizeof(vclap_note_port_info_t) == 12 + VCLAP_NAME_SIZE);

#if UINTPTR_MAX > 0xFFFFFFFFu
VCLAP_LAYOUT(sizeof(vclap_plugin_entry_t) == 40);
VCLAP_LAYOUT(sizeof(vclap_preset_discovery_metadata_receiver_t) == 88);
VCLAP_LAYOUT(offsetof(vclap_preset_discovery_location_t, kind) == 16);
VCLAP_LAYOUT(sizeof(vclap_preset_discovery_provider_t) == 48);
VCLAP_LAYOUT(offsetof(vclap_preset_discovery_indexer_t, declare_location) == 64);
VCLAP_LAYOUT(sizeof(vclap_plugin_descriptor_t) == 88);
VCLAP_LAYOUT(offsetof(vclap_plugin_descriptor_t, id) == 16);
VCLAP_LAYOUT(sizeof(vclap_host_t) == 88);
VCLAP_LAYOUT(offsetof(vclap_host_t, get_extension) == 56);
VCLAP_LAYOUT(sizeof(vclap_plugin_t) == 96);
VCLAP_LAYOUT(offsetof(vclap_plugin_t, process) == 72);
VCLAP_LAYOUT(sizeof(vclap_process_t) == 64);
VCLAP_LAYOUT(offsetof(vclap_process_t, transport) == 16);
VCLAP_LAYOUT(offsetof(vclap_process_t, audio_inputs_count) == 40);
VCLAP_LAYOUT(offsetof(vclap_process_t, in_events) == 48);
VCLAP_LAYOUT(sizeof(vclap_audio_buffer_t) == 32);
VCLAP_LAYOUT(offsetof(vclap_audio_buffer_t, channel_count) == 16);
VCLAP_LAYOUT(sizeof(vclap_event_note_t) == 40);
VCLAP_LAYOUT(offsetof(vclap_event_note_t, velocity) == 32);
VCLAP_LAYOUT(sizeof(vclap_event_param_value_t) == 56);
VCLAP_LAYOUT(offsetof(vclap_event_param_value_t, cookie) == 24);
VCLAP_LAYOUT(offsetof(vclap_event_param_value_t, key) == 40);
VCLAP_LAYOUT(offsetof(vclap_event_param_value_t, value) == 48);
VCLAP_LAYOUT(sizeof(vclap_event_param_mod_t) == 56);
VCLAP_LAYOUT(sizeof(vclap_event_transport_t) == 104);
VCLAP_LAYOUT(offsetof(vclap_event_transport_t, song_pos_beats) == 24);
VCLAP_LAYOUT(offsetof(vclap_event_transport_t, bar_start) == 88);
VCLAP_LAYOUT(offsetof(vclap_event_transport_t, tsig_num) == 100);
VCLAP_LAYOUT(sizeof(vclap_param_info_t) == 1320);
VCLAP_LAYOUT(offsetof(vclap_param_info_t, name) == 16);
VCLAP_LAYOUT(offsetof(vclap_param_info_t, min_value) == 1296);
VCLAP_LAYOUT(sizeof(vclap_audio_port_info_t) == 288);
VCLAP_LAYOUT(offsetof(vclap_audio_port_info_t, flags) == 260);
VCLAP_LAYOUT(offsetof(vclap_audio_port_info_t, port_type) == 272);
VCLAP_LAYOUT(offsetof(vclap_audio_port_info_t, in_place_pair) == 280);
#else
VCLAP_LAYOUT(sizeof(vclap_plugin_entry_t) == 24);
VCLAP_LAYOUT(sizeof(vclap_plugin_descriptor_t) == 48);
VCLAP_LAYOUT(offsetof(vclap_plugin_descriptor_t, id) == 12);
VCLAP_LAYOUT(sizeof(vclap_host_t) == 48);
VCLAP_LAYOUT(offsetof(vclap_host_t, get_extension) == 32);
VCLAP_LAYOUT(sizeof(vclap_plugin_t) == 48);
VCLAP_LAYOUT(offsetof(vclap_plugin_t, process) == 36);
VCLAP_LAYOUT(sizeof(vclap_process_t) == 40);
VCLAP_LAYOUT(offsetof(vclap_process_t, transport) == 12);
VCLAP_LAYOUT(offsetof(vclap_process_t, in_events) == 32);
VCLAP_LAYOUT(sizeof(vclap_audio_buffer_t) == 24);
VCLAP_LAYOUT(offsetof(vclap_audio_buffer_t, constant_mask) == 16);
VCLAP_LAYOUT(offsetof(vclap_event_param_value_t, cookie) == 20);
VCLAP_LAYOUT(offsetof(vclap_event_param_value_t, key) == 32);
VCLAP_LAYOUT(offsetof(vclap_param_info_t, name) == 12);
VCLAP_LAYOUT(offsetof(vclap_param_info_t, min_value) % 4 == 0);
VCLAP_LAYOUT(sizeof(vclap_audio_port_info_t) == 276);
VCLAP_LAYOUT(offsetof(vclap_audio_port_info_t, port_type) == 268);
#if defined(_WIN32)
VCLAP_LAYOUT(sizeof(vclap_event_note_t) == 40);
VCLAP_LAYOUT(sizeof(vclap_event_param_value_t) == 48);
VCLAP_LAYOUT(offsetof(vclap_event_param_value_t, value) == 40);
VCLAP_LAYOUT(offsetof(vclap_event_transport_t, song_pos_beats) == 24);
VCLAP_LAYOUT(sizeof(vclap_event_transport_t) == 104);
VCLAP_LAYOUT(offsetof(vclap_param_info_t, min_value) == 1296);
VCLAP_LAYOUT(sizeof(vclap_param_info_t) == 1320);
#else
VCLAP_LAYOUT(sizeof(vclap_event_note_t) == 36);
VCLAP_LAYOUT(sizeof(vclap_event_param_value_t) == 44);
VCLAP_LAYOUT(offsetof(vclap_event_param_value_t, value) == 36);
VCLAP_LAYOUT(offsetof(vclap_event_transport_t, song_pos_beats) == 20);
VCLAP_LAYOUT(sizeof(vclap_event_transport_t) == 100);
VCLAP_LAYOUT(offsetof(vclap_param_info_t, min_value) == 1292);
VCLAP_LAYOUT(sizeof(vclap_param_info_t) == 1316);
#endif
#endif

#undef VCLAP_LAYOUT

#ifdef __cplusplus
}
#endif

#endif /* VARNOLET_CLAP_INTERFACE_H */
