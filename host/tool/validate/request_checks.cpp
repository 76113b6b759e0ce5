#include "host/tool/validate/request_checks.h"

#include <algorithm>
#include <cstring>

namespace {
struct TextOpcode {
    int32_t opcode;
    const char* name;
};

TextOpcode textOpcode(TextRequest request) {
    switch (request) {
        case TextRequest::ParameterName: return {effGetParamName, "parameter name"};
        case TextRequest::ParameterLabel: return {effGetParamLabel, "parameter label"};
        case TextRequest::ParameterDisplay: return {effGetParamDisplay, "parameter display"};
        case TextRequest::ProgramName: return {effGetProgramName, "program name"};
        case TextRequest::ProgramNameIndexed: return {effGetProgramNameIndexed, "indexed program name"};
        case TextRequest::EffectName: return {effGetEffectName, "effect name"};
        case TextRequest::VendorString: return {effGetVendorString, "vendor name"};
        case TextRequest::ProductString: return {effGetProductString, "product name"};
    }
    return {effGetParamName, "text"};
}

// A list of no events, as a host without MIDI sends.
struct EmptyEventList {
    int32_t numEvents;
    intptr_t reserved;
    void* events[2];
};
}  // namespace

RequestChecks::RequestChecks()
    : textBuffer("the text buffer"),
      recordBuffer("the record buffer"),
      firstCell("the first address cell"),
      secondCell("the second address cell"),
      inputArrangement("the input speaker arrangement"),
      outputArrangement("the output speaker arrangement") {}

void RequestChecks::checkWrites(PlayerContext& context, const GuardedBuffer& buffer, size_t bytes,
                                const std::string& what) {
    const size_t reach = buffer.reach();
    if (reach > bytes)
        context.findings.failure(FindingKind::OutsideBuffer, what,
                                 "wrote " + std::to_string(reach) + " bytes into " + what + " of " +
                                     std::to_string(bytes));
    if (buffer.damagedBefore())
        context.findings.failure(FindingKind::OutsideBuffer, "front:" + what, "wrote in front of " + what);
}

char* RequestChecks::placeText(GuardedBuffer& buffer, const std::string& text) {
    char* at = reinterpret_cast<char*>(buffer.place(text.size() + 1, 1, text.size() + 1));
    std::memcpy(at, text.c_str(), text.size() + 1);
    return at;
}

void RequestChecks::text(PlayerContext& context, const ops::Text& op) {
    const TextOpcode request = textOpcode(op.request);
    const intptr_t value = op.request == TextRequest::ProgramNameIndexed ? -1 : 0;
    if (op.nullPointer) {
        context.plugin->dispatch(request.opcode, static_cast<int32_t>(op.index), value, nullptr);
        return;
    }
    const size_t size = static_cast<size_t>(op.bufferSize);
    const size_t nominal = static_cast<size_t>(nominalTextSize(op.request));
    char* buffer = reinterpret_cast<char*>(textBuffer.place(size, 1, std::min(nominal, size)));
    context.plugin->dispatch(request.opcode, static_cast<int32_t>(op.index), value, buffer);
    const size_t reach = textBuffer.reach();
    const std::string what = request.name;
    if (reach > size) {
        context.findings.failure(FindingKind::OutsideBuffer, "text:" + what,
                                 "wrote " + std::to_string(reach) + " bytes of the " + what +
                                     " into a buffer of " + std::to_string(size));
    } else if (reach > nominal) {
        context.findings.warning(
            FindingKind::OutsideBuffer, "text-nominal:" + what,
            "wrote " + std::to_string(reach) + " bytes of the " + what + " where the interface allows " +
                std::to_string(nominal) + " (the host's buffer of " + std::to_string(size) +
                " held them)");
    }
    if (textBuffer.damagedBefore())
        context.findings.failure(FindingKind::OutsideBuffer, "front:" + what,
                                 "wrote in front of the buffer for the " + what);
}

void RequestChecks::query(PlayerContext& context, const ops::Query& op) {
    PluginInstance& plugin = *context.plugin;
    const int32_t index = static_cast<int32_t>(op.index);
    const auto record = [&](size_t bytes) -> void* {
        return op.nullPointer ? nullptr : recordBuffer.place(bytes, 8, bytes);
    };
    switch (op.request) {
        case QueryRequest::ParameterProperties:
            plugin.dispatch(effGetParameterProperties, index, 0, record(kParameterPropertiesSize));
            if (!op.nullPointer)
                checkWrites(context, recordBuffer, kParameterPropertiesSize, "a parameter properties record");
            break;
        case QueryRequest::InputProperties:
        case QueryRequest::OutputProperties: {
            const bool input = op.request == QueryRequest::InputProperties;
            plugin.dispatch(input ? effGetInputProperties : effGetOutputProperties, index, 0,
                            record(kPinPropertiesSize));
            if (!op.nullPointer)
                checkWrites(context, recordBuffer, kPinPropertiesSize, "a pin properties record");
            break;
        }
        case QueryRequest::SpeakerArrangement: {
            void** first = reinterpret_cast<void**>(firstCell.place(sizeof(void*), alignof(void*), sizeof(void*)));
            void** second = reinterpret_cast<void**>(secondCell.place(sizeof(void*), alignof(void*), sizeof(void*)));
            plugin.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(first), second);
            checkWrites(context, firstCell, sizeof(void*), "the input arrangement's address cell");
            checkWrites(context, secondCell, sizeof(void*), "the output arrangement's address cell");
            break;
        }
        case QueryRequest::SetSpeakerArrangement: {
            if (op.nullPointer) {
                plugin.dispatch(effSetSpeakerArrangement, 0, 0, nullptr);
                break;
            }
            const auto arrangement = [](GuardedBuffer& buffer, int32_t channels) {
                const size_t bytes = 8 + kSpeakerRecordSize * static_cast<size_t>(std::max(channels, 0));
                uint8_t* at = buffer.place(bytes, 8, bytes);
                const int32_t type = channels == 1 ? 0 : channels == 2 ? 1 : -2;
                std::memcpy(at, &type, 4);
                std::memcpy(at + 4, &channels, 4);
                return std::make_pair(at, bytes);
            };
            const auto in = arrangement(inputArrangement, std::min(plugin.numInputs(), 64));
            const auto out = arrangement(outputArrangement, std::min(plugin.numOutputs(), 64));
            plugin.dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(in.first), out.first);
            checkWrites(context, inputArrangement, in.second, "the input speaker arrangement");
            checkWrites(context, outputArrangement, out.second, "the output speaker arrangement");
            break;
        }
        case QueryRequest::ProcessEvents: {
            void* events = record(sizeof(EmptyEventList));
            plugin.dispatch(effProcessEvents, 0, 0, events);
            if (events) checkWrites(context, recordBuffer, sizeof(EmptyEventList), "an empty event list");
            break;
        }
        case QueryRequest::StringToParameter: {
            char* text = op.nullPointer ? nullptr : placeText(textBuffer, "0.5");
            plugin.dispatch(effString2Parameter, index, 0, text);
            if (text) checkWrites(context, textBuffer, 4, "the text \"0.5\" given to set a parameter");
            break;
        }
        case QueryRequest::TailSize: plugin.dispatch(effGetTailSize); break;
        case QueryRequest::VstVersion: plugin.dispatch(effGetVstVersion); break;
        case QueryRequest::Category: plugin.dispatch(effGetPlugCategory); break;
        case QueryRequest::CurrentProgram: plugin.dispatch(effGetProgram); break;
        case QueryRequest::VendorVersion: plugin.dispatch(effGetVendorVersion); break;
        case QueryRequest::CanBeAutomated: plugin.dispatch(effCanBeAutomated, index); break;
        case QueryRequest::Bypass: plugin.dispatch(effSetBypass, 0, op.index); break;
        case QueryRequest::ProcessPrecision: plugin.dispatch(effSetProcessPrecision, 0, 0); break;
    }
}

void RequestChecks::canDo(PlayerContext& context, const ops::CanDo& op) {
    char* text = op.nullPointer ? nullptr : placeText(textBuffer, op.text);
    context.plugin->dispatch(effCanDo, 0, 0, text);
    if (text) checkWrites(context, textBuffer, op.text.size() + 1, "the capability text it was asked about");
}

void RequestChecks::setProgramName(PlayerContext& context, const ops::ProgramName& op) {
    char* text = op.nullPointer ? nullptr : placeText(textBuffer, op.text);
    context.plugin->dispatch(effSetProgramName, 0, 0, text);
    if (text) checkWrites(context, textBuffer, op.text.size() + 1, "the program name it was given");
}
