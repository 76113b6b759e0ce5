// What every fixture plug-in's entry fills in alike: a stereo effect that
// processes by replacing, with one program and its own functions.
#pragma once

#include "vst/aeffect.h"

struct FixtureFunctions {
    AEffectDispatcherProc dispatcher;
    AEffectGetParameterProc getParameter;
    AEffectSetParameterProc setParameter;
    AEffectProcessProc processReplacing;
};

inline void fillFixtureRecord(AEffect& r, void* object, const FixtureFunctions& functions,
                              int32_t parameters, int32_t uniqueId, int32_t flags = 0,
                              int32_t version = 1) {
    r.magic = kEffectMagic;
    r.dispatcher = functions.dispatcher;
    r.getParameter = functions.getParameter;
    r.setParameter = functions.setParameter;
    r.processReplacing = functions.processReplacing;
    r.numPrograms = 1;
    r.numParams = parameters;
    r.numInputs = 2;
    r.numOutputs = 2;
    r.flags = effFlagsCanReplacing | flags;
    r.object = object;
    r.uniqueID = uniqueId;
    r.version = version;
}
