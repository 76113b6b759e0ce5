// Varnolet Delay: four panned, levelled taps on one mono line, fed back
// through a saturation and filter stage.
#pragma once

#include "core/delay_engine.h"
#include "core/effect_identity.h"
#include "framework/tolm_au_base.h"

class TolmVarnolet : public TolmAuBase {
public:
    static constexpr int32_t kVersion = varnolet::kVendorVersion;
    // Hosts file the module's presets and sessions under this id.
    static constexpr int32_t kUniqueId = fourCharCode('T', 'm', 'V', 'd');

    explicit TolmVarnolet(audioMasterCallback hostCallback);
    ~TolmVarnolet() override;

    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;
    void resume() override;
    bool getEffectName(char* name) override;
    bool getProductString(char* text) override;
    int32_t getVendorVersion() override { return kVersion; }
    VstPlugCategory getPlugCategory() override { return kPlugCategEffect; }
    OSStatus GetProperty(uint32_t propertyID, uint32_t scope, uint32_t element,
                         void* data) override;
    OSStatus GetPropertyInfo(uint32_t propertyID, uint32_t scope, uint32_t element,
                             uint32_t* outSize, bool* outWritable) override;

    virtual int32_t allocateDelayLine();
    virtual int32_t getVersion() { return kVersion; }
    virtual void processAccumulating(float** inputs, float** outputs, int32_t sampleFrames);

    const varnolet::DelayEngine& engine() const { return delay; }

private:
    void processBlock(const float* in0, const float* in1, float* out0, float* out1,
                      int32_t sampleFrames, bool accumulate) noexcept;
    void processChannels(float** inputs, float** outputs, int32_t sampleFrames, bool accumulate);

    varnolet::DelayEngine delay;
    // Which program, after how many of its changes, the engine last read.
    ParameterSnapshotStamp programStamp;
};
