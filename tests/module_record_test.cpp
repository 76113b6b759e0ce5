// The module as a host finds it: its exports, its entry and the record.
#include <atomic>
#include <cstdio>
#include <map>
#include <set>
#include <thread>

#if defined(__linux__)
#include <dlfcn.h>
#endif

#include "tests/module_fixture.h"

namespace {

#if defined(__linux__)
TEST(ModuleExports, OnlyTheEntryUnderItsTwoNamesIsExported) {
    std::string command = "nm -D --defined-only '" + std::string(VARNOLET_MODULE_PATH) + "'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::map<std::string, std::string> addresses;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        char address[64], type[8], name[400];
        if (std::sscanf(line, "%63s %7s %399s", address, type, name) == 3) addresses[name] = address;
    }
    ASSERT_EQ(pclose(pipe), 0) << "nm failed";
    ASSERT_EQ(addresses.size(), 2u) << "exported: " << [&] {
        std::string all;
        for (auto& [name, address] : addresses) all += name + " ";
        return all;
    }();
    ASSERT_TRUE(addresses.count("VSTPluginMain"));
    ASSERT_TRUE(addresses.count("main"));
    EXPECT_EQ(addresses["VSTPluginMain"], addresses["main"]);
}
#endif

TEST(ModuleExports, BothEntryNamesResolveToOneFunction) {
    VstModule module = loadVarnolet();
    void* primary = module.symbol("VSTPluginMain");
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(module.symbol("main"), primary);
    EXPECT_EQ(module.symbol("createEffectInstance"), nullptr);
}

TEST_F(ModuleTest, RecordAfterConstruction) {
    AEffect* e = plugin->effect();
    EXPECT_EQ(e->magic, 0x56737450);
    EXPECT_EQ(e->numPrograms, 8);
    EXPECT_EQ(e->numParams, 23);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->flags, 0x10);
    EXPECT_EQ(e->resvd1, 0);
    EXPECT_EQ(e->resvd2, 0);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_EQ(e->realQualities, 0);
    EXPECT_EQ(e->offQualities, 0);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_NE(e->object, nullptr);
    EXPECT_EQ(e->user, nullptr);
    EXPECT_EQ(e->uniqueID, 0x546D5664);
    EXPECT_EQ(e->version, 1);
    for (auto fn : {reinterpret_cast<void*>(e->dispatcher), reinterpret_cast<void*>(e->process),
                    reinterpret_cast<void*>(e->setParameter),
                    reinterpret_cast<void*>(e->getParameter),
                    reinterpret_cast<void*>(e->processReplacing),
                    reinterpret_cast<void*>(e->processDoubleReplacing)})
        EXPECT_NE(fn, nullptr);
    for (char byte : e->future) EXPECT_EQ(byte, 0);
}

TEST_F(ModuleTest, EntryAsksTheHostVersionOnceWithANullRecord) {
    std::vector<HostCall> calls = host.calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].effect, nullptr);
    EXPECT_EQ(calls[0].opcode, audioMasterVersion);
    EXPECT_EQ(calls[0].index, 0);
    EXPECT_EQ(calls[0].value, 0);
    EXPECT_EQ(calls[0].ptr, nullptr);
}

TEST(ModuleEntry, AHostAnsweringZeroToTheVersionGetsNoInstance) {
    VstModule module = loadVarnolet();
    RecordingHost host;
    host.versionAnswer = 0;
    std::string error;
    EXPECT_EQ(PluginInstance::create(module, host, error), nullptr);
    EXPECT_EQ(host.calls().size(), 1u);
}

TEST(ModuleEntry, ANullCallbackGetsNoInstance) {
    VstModule module = loadVarnolet();
    EXPECT_EQ(module.entry()(nullptr), nullptr);
}

TEST_F(ModuleTest, CloseAnswersOneAndSendsNothingToTheHost) {
    host.clearCalls();
    EXPECT_EQ(plugin->close(), 1);
    EXPECT_TRUE(host.calls().empty());
}

TEST_F(ModuleTest, DoublePrecisionAndAccumulatingEntriesTouchNoBuffer) {
    std::vector<double> in(64, 0.5), out(64, 7.0);
    double* ins[2] = {in.data(), in.data()};
    double* outs[2] = {out.data(), out.data()};
    plugin->effect()->processDoubleReplacing(plugin->effect(), ins, outs, 64);
    for (double v : out) EXPECT_EQ(v, 7.0);

    std::vector<float> fin(64, 0.5f), fout(64, 7.0f);
    float* fins[2] = {fin.data(), fin.data()};
    float* fouts[2] = {fout.data(), fout.data()};
    plugin->effect()->process(plugin->effect(), fins, fouts, 64);
    for (float v : fout) EXPECT_EQ(v, 7.0f);
}

TEST_F(ModuleTest, InstancesAreIndependent) {
    auto second = newInstance();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second->effect(), plugin->effect());
    EXPECT_NE(second->effect()->object, plugin->effect()->object);
    plugin->setParameter(0, 0.5f);
    plugin->setProgram(3);
    plugin->setProgramName("Mine");
    EXPECT_FLOAT_EQ(second->getParameter(0), 0.1f);
    EXPECT_EQ(second->program(), 0);
    EXPECT_EQ(second->programNameIndexed(3), "Defaults");
    EXPECT_EQ(second->close(), 1);
    EXPECT_FLOAT_EQ(plugin->getParameter(0), 0.1f) << "program 3 still holds the default";
    plugin->setProgram(0);
    EXPECT_FLOAT_EQ(plugin->getParameter(0), 0.5f);
}

TEST_F(ModuleTest, ManyInstancesOnManyThreadsAtOnce) {
    std::vector<std::thread> threads;
    std::atomic<int> created{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            RecordingHost threadHost;
            std::string error;
            for (int i = 0; i < 5; ++i) {
                auto instance = PluginInstance::create(module, threadHost, error);
                if (!instance) continue;
                instance->prepare(48000.0f, 256);
                if (instance->productString() == "Varnolet Delay") ++created;
            }
        });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(created.load(), 20);
}

TEST(ModuleLifetime, RepeatedLoadAndUnload) {
    for (int round = 0; round < 20; ++round) {
        VstModule module = loadVarnolet();
        ASSERT_TRUE(module.loaded());
        RecordingHost host;
        std::string error;
        auto a = PluginInstance::create(module, host, error);
        auto b = PluginInstance::create(module, host, error);
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr);
        // Display texts of the filter type fill the module's shared value names.
        a->setParameter(param::kType, 0.25f);
        EXPECT_EQ(a->parameterDisplay(param::kType), "Low");
        EXPECT_EQ(b->parameterDisplay(param::kType), "Thru");
        a.reset();
        b.reset();
        module.unload();
#if defined(__linux__)
        // Really gone: its shared value names were released by its teardown.
        EXPECT_EQ(dlopen(VARNOLET_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD), nullptr);
#endif
    }
}

}  // namespace
