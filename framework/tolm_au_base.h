// The parameter and program framework: describes parameters in native units
// the way an Audio Unit does, presents them to the host as 0..1 values, keeps
// the programs, and answers names, labels and display texts by unit. An effect
// hands it its constant parameter table when it is built.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/audio_unit_types.h"
#include "core/parameter_description.h"
#include "framework/tolm_program.h"
#include "vst/audio_effect_x.h"

class CFType;

// Which program a copy of parameter values was read from, and after how many
// of that program's changes.
struct ParameterSnapshotStamp {
    int32_t program = -1;
    uint32_t changes = 0;
};

// A per-channel processing object of the framework's default block routine.
class TolmKernel {
public:
    virtual ~TolmKernel() = default;
    virtual void reset() {}
    virtual void process(const float* input, float* output, int32_t frames, int32_t channels,
                         bool* silence) = 0;
};

class TolmAuBase : public AudioEffectX {
public:
    TolmAuBase(audioMasterCallback host, const ParameterDescription* table,
               int32_t parameterCount, int32_t programCount);
    ~TolmAuBase() override;

    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;
    void setParameter(int32_t index, float value) override;
    float getParameter(int32_t index) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(int32_t index, char* label) override;
    void getParameterDisplay(int32_t index, char* text) override;
    void getParameterName(int32_t index, char* text) override;
    bool getProgramNameIndexed(int32_t category, int32_t index, char* text) override;
    bool getVendorString(char* text) override;

    virtual OSStatus GetParameterValueStrings(uint32_t scope, uint32_t parameterID,
                                              CFType** outStrings);
    virtual OSStatus GetProperty(uint32_t propertyID, uint32_t scope, uint32_t element,
                                 void* data);
    virtual OSStatus GetPropertyInfo(uint32_t propertyID, uint32_t scope, uint32_t element,
                                     uint32_t* outSize, bool* outWritable);
    virtual OSStatus SetProperty(uint32_t propertyID, uint32_t scope, uint32_t element,
                                 const void* data, uint32_t dataSize);
    virtual OSStatus AddPropertyListener(uint32_t propertyID,
                                         AudioUnitPropertyListenerProc listener, void* userData);
    virtual OSStatus RemovePropertyListener(uint32_t propertyID,
                                            AudioUnitPropertyListenerProc listener);

    // Normalised 0..1 to native and back, by the parameter's unit. Neither
    // clamps; the host's values are clamped where they come in.
    float valueFromLinear(float x, int32_t index) const;
    float valueToLinear(float v, int32_t index) const;

    size_t listenerCount() const { return listeners.size(); }

protected:
    bool isParameterIndex(int32_t index) const { return index >= 0 && index < numParams; }
    TolmProgram& currentProgram() const;
    int32_t currentProgramIndex() const {
        const int32_t p = curProgram.load(std::memory_order_relaxed);
        return p >= 0 && p < numPrograms ? p : 0;
    }
    // The native value of every parameter of the current program, read once.
    void readParameters(float* values) const;
    // The same into a copy kept from block to block, read only when the
    // current program or one of its values has changed since `stamp` was
    // taken; answers whether it read. A block of a single frame cannot afford
    // to read every value.
    bool refreshParameters(float* values, ParameterSnapshotStamp& stamp) const {
        const int32_t p = currentProgramIndex();
        const uint32_t changes = programs[p]->changeCount();
        if (p == stamp.program && changes == stamp.changes) return false;
        readSnapshot(p, changes, values, stamp);
        return true;
    }

    const ParameterDescription* parameters;
    std::unique_ptr<std::unique_ptr<TolmProgramBasic>[]> programs;
    std::vector<TolmKernel*> kernels;
    std::vector<PropertyListener> listeners;

private:
    void readSnapshot(int32_t program, uint32_t changes, float* values,
                      ParameterSnapshotStamp& stamp) const;
};
