// The base of every plug-in instance: owns the record handed to the host and
// the host's callback, and turns the host's basic requests into virtual
// operations with default answers.
#pragma once

#include <atomic>
#include <cstdint>

#include "vst/aeffect.h"
#include "vst/editor.h"

class AudioEffect {
public:
    AudioEffect(audioMasterCallback host, int32_t programCount, int32_t parameterCount);
    virtual ~AudioEffect();
    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    virtual intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}
    virtual void setSampleRate(float newRate);
    virtual void setBlockSize(int32_t newSize) { blockSize = newSize; }
    virtual void processReplacing(float** inputs, float** outputs, int32_t sampleFrames);
    virtual void processDoubleReplacing(double** inputs, double** outputs, int32_t sampleFrames);
    virtual void setParameter(int32_t index, float value);
    virtual float getParameter(int32_t index);
    virtual void setParameterAutomated(int32_t index, float value);
    virtual int32_t getProgram() { return curProgram.load(std::memory_order_relaxed); }
    virtual void setProgram(int32_t program) { curProgram.store(program, std::memory_order_relaxed); }
    virtual void setProgramName(char* name) { (void)name; }
    virtual void getProgramName(char* name);
    virtual void getParameterLabel(int32_t index, char* label);
    virtual void getParameterDisplay(int32_t index, char* text);
    virtual void getParameterName(int32_t index, char* text);
    virtual int32_t getChunk(void** data, bool isPreset);
    virtual int32_t setChunk(void* data, int32_t byteSize, bool isPreset);
    virtual void setUniqueID(int32_t id) { cEffect.uniqueID = id; }
    virtual void setNumInputs(int32_t inputs) { cEffect.numInputs = inputs; }
    virtual void setNumOutputs(int32_t outputs) { cEffect.numOutputs = outputs; }
    virtual void canProcessReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
    virtual void canDoubleReplacing(bool state) { setFlag(effFlagsCanDoubleReplacing, state); }
    virtual void programsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
    virtual void setInitialDelay(int32_t delay) { cEffect.initialDelay = delay; }
    virtual AEffEditor* getEditor() { return editor; }
    virtual AEffect* getAeffect() { return &cEffect; }
    virtual float getSampleRate() { return sampleRate.load(std::memory_order_relaxed); }
    virtual int32_t getBlockSize() { return blockSize; }
    virtual int32_t getMasterVersion();
    virtual int32_t getCurrentUniqueId();
    virtual int32_t masterIdle();
    virtual bool isInputConnected(int32_t input);
    virtual bool isOutputConnected(int32_t output);
    virtual void dB2string(float value, char* text, int32_t maxLen);
    virtual void Hz2string(float samples, char* text, int32_t maxLen);
    virtual void ms2string(float samples, char* text, int32_t maxLen);
    virtual void float2string(float value, char* text, int32_t maxLen);
    virtual void int2string(int32_t value, char* text, int32_t maxLen);
    virtual void process(float** inputs, float** outputs, int32_t sampleFrames);
    virtual float getVu() { return 0.0f; }
    virtual void hasVu(bool state) { setFlag(effFlagsHasVu, state); }
    virtual void hasClip(bool state) { setFlag(effFlagsHasClip, state); }
    virtual void canMono(bool state) { setFlag(effFlagsCanMono, state); }
    virtual void setRealtimeQualities(int32_t qualities) { cEffect.realQualities = qualities; }
    virtual void setOfflineQualities(int32_t qualities) { cEffect.offQualities = qualities; }

protected:
    // Every call into the host goes through here, so that a missing host
    // callback answers 0 instead of crashing.
    intptr_t callHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f);
    bool hasHost() const { return audioMaster != nullptr; }
    void setFlag(int32_t flag, bool state);

    audioMasterCallback audioMaster;
    AEffEditor* editor = nullptr;
    // Written by host threads and read by the audio thread once per block.
    std::atomic<float> sampleRate{44100.0f};
    int32_t blockSize = 1024;
    int32_t numPrograms;
    int32_t numParams;
    std::atomic<int32_t> curProgram{0};
    AEffect cEffect;
};
