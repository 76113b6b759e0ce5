// The extended host protocol: the requests a VST 2.4 host adds to the basic
// ones, and the calls an instance can make to ask or tell its host something.
#pragma once

#include "vst/audio_effect.h"
#include "vst/speaker_arrangement.h"

class AudioEffectX : public AudioEffect {
public:
    using AudioEffect::AudioEffect;

    intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                        float opt) override;
    void resume() override;

    virtual bool canParameterBeAutomated(int32_t index) { (void)index; return true; }
    virtual bool string2parameter(int32_t index, char* text) { (void)index; (void)text; return false; }
    virtual bool getParameterProperties(int32_t index, void* properties) { (void)index; (void)properties; return false; }
    virtual bool beginEdit(int32_t index);
    virtual bool endEdit(int32_t index);
    virtual bool getProgramNameIndexed(int32_t category, int32_t index, char* text);
    virtual bool beginSetProgram() { return false; }
    virtual bool endSetProgram() { return false; }
    virtual int32_t beginLoadBank(void* bank) { (void)bank; return 0; }
    virtual int32_t beginLoadProgram(void* program) { (void)program; return 0; }
    virtual bool ioChanged();
    virtual double updateSampleRate();
    virtual int32_t updateBlockSize();
    virtual int32_t getInputLatency();
    virtual int32_t getOutputLatency();
    virtual bool getInputProperties(int32_t index, void* properties) { (void)index; (void)properties; return false; }
    virtual bool getOutputProperties(int32_t index, void* properties) { (void)index; (void)properties; return false; }
    virtual bool setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output);
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output);
    virtual bool setBypass(bool onOff) { (void)onOff; return false; }
    virtual bool setPanLaw(int32_t type, float value) { (void)type; (void)value; return false; }
    virtual bool setProcessPrecision(int32_t precision) { (void)precision; return false; }
    virtual int32_t getNumMidiInputChannels() { return 0; }
    virtual int32_t getNumMidiOutputChannels() { return 0; }
    virtual void* getTimeInfo(int32_t filter);
    virtual int32_t getCurrentProcessLevel();
    virtual int32_t getAutomationState();
    virtual int32_t processEvents(void* events) { (void)events; return 0; }
    virtual int32_t startProcess() { return 0; }
    virtual int32_t stopProcess() { return 0; }
    virtual bool processVariableIo(void* varIo) { (void)varIo; return false; }
    virtual int32_t setTotalSampleToProcess(int32_t value) { return value; }
    virtual bool getHostVendorString(char* text);
    virtual bool getHostProductString(char* text);
    virtual int32_t getHostVendorVersion();
    virtual intptr_t hostVendorSpecific(int32_t arg1, intptr_t arg2, void* ptrArg, float floatArg);
    virtual int32_t canHostDo(char* text);
    virtual int32_t getHostLanguage();
    virtual bool isSynth(bool state = true) { setFlag(effFlagsIsSynth, state); return state; }
    virtual void noTail(bool state = true) { setFlag(effFlagsNoSoundInStop, state); }
    virtual int32_t getGetTailSize() { return 0; }
    virtual void* getDirectory();
    virtual bool getEffectName(char* name) { (void)name; return false; }
    virtual bool getVendorString(char* text) { (void)text; return false; }
    virtual bool getProductString(char* text) { (void)text; return false; }
    virtual int32_t getVendorVersion() { return 0; }
    virtual intptr_t vendorSpecific(int32_t index, intptr_t value, void* ptr, float opt);
    virtual int32_t canDo(char* text) { (void)text; return 0; }
    virtual int32_t getVstVersion() { return 2400; }
    virtual VstPlugCategory getPlugCategory();
    virtual int32_t getMidiProgramName(int32_t channel, void* name) { (void)channel; (void)name; return 0; }
    virtual int32_t getCurrentMidiProgram(int32_t channel, void* current) { (void)channel; (void)current; return -1; }
    virtual int32_t getMidiProgramCategory(int32_t channel, void* category) { (void)channel; (void)category; return 0; }
    virtual bool hasMidiProgramsChanged(int32_t channel) { (void)channel; return false; }
    virtual bool getMidiKeyName(int32_t channel, void* keyName) { (void)channel; (void)keyName; return false; }
    virtual bool updateDisplay();
    virtual bool sizeWindow(int32_t width, int32_t height);
    virtual bool openFileSelector(void* selector);
    virtual bool closeFileSelector(void* selector);
    virtual int32_t getNextShellPlugin(char* name) { (void)name; return 0; }
    virtual bool allocateArrangement(VstSpeakerArrangement** arrangement, int32_t nbChannels);
    virtual bool deallocateArrangement(VstSpeakerArrangement** arrangement);
    virtual bool copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from);
    virtual bool matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from);
    virtual bool offlineRead(void* offline, int32_t option, bool readSource = true);
    virtual bool offlineWrite(void* offline, int32_t option);
    virtual bool offlineStart(void* audioFiles, int32_t numAudioFiles, int32_t numNewAudioFiles);
    virtual int32_t offlineGetCurrentPass();
    virtual int32_t offlineGetCurrentMetaPass();
    virtual bool offlineNotify(void* files, int32_t numAudioFiles, bool start) { (void)files; (void)numAudioFiles; (void)start; return false; }
    virtual bool offlinePrepare(void* offline, int32_t count) { (void)offline; (void)count; return false; }
    virtual bool offlineRun(void* offline, int32_t count) { (void)offline; (void)count; return false; }

    // Host calls of the older protocol that no request of this interface reaches.
    virtual void wantEvents(int32_t filter = 1);
    virtual int32_t tempoAt(int32_t pos);
    virtual int32_t getNumAutomatableParameters();
    virtual int32_t getParameterQuantization();
    virtual bool needIdle();
    virtual AEffect* getPreviousPlug(int32_t input);
    virtual AEffect* getNextPlug(int32_t output);
    virtual int32_t willProcessReplacing();
    virtual void setOutputSamplerate(float rate);
    virtual VstSpeakerArrangement* getOutputSpeakerArrangement();
    virtual VstSpeakerArrangement* getInputSpeakerArrangement();
    virtual void* openWindow(void* window);
    virtual bool closeWindow(void* window);
    virtual bool getChunkFile(void* nativePath);
};
