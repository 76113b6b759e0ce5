// Hosts call from several threads at once: parameters and programs from a GUI
// or automation thread while the audio thread processes, and display texts
// for several instances. Run under ThreadSanitizer this must stay silent.
#include <atomic>
#include <thread>

#include "tests/module_fixture.h"

namespace {

using ThreadTest = ModuleTest;

TEST_F(ThreadTest, ParametersAndProgramsChangeWhileAudioIsProcessed) {
    std::atomic<bool> done{false};
    std::atomic<int> changes{0};
    // The audio thread reports what it found and always ends the loop below;
    // an assertion there would only leave the thread and keep the loop going.
    int firstNonFiniteBlock = -1;
    std::thread audio([&] {
        // A new thread may otherwise finish all its blocks before the first
        // change is made, as it does under Wine.
        while (changes.load() == 0) std::this_thread::yield();
        std::vector<float> a(256, 0.1f), b(256, -0.1f), ol(256), orr(256);
        float* in[2] = {a.data(), b.data()};
        float* out[2] = {ol.data(), orr.data()};
        for (int block = 0; block < 400 && firstNonFiniteBlock < 0; ++block) {
            plugin->processReplacing(in, out, 256);
            for (size_t i = 0; i < ol.size(); ++i)
                if (!std::isfinite(ol[i]) || !std::isfinite(orr[i])) firstNonFiniteBlock = block;
        }
        done = true;
    });
    while (!done) {
        const int n = changes.load();
        plugin->setParameter(n % 23, static_cast<float>(n % 11) / 10.0f);
        plugin->setProgram(n % 8);
        plugin->getParameter(n % 23);
        changes = n + 1;
    }
    audio.join();
    EXPECT_EQ(firstNonFiniteBlock, -1) << "the output was not finite";
    EXPECT_GT(changes.load(), 1);
}

TEST_F(ThreadTest, TwoInstancesAskForDisplayTextsConcurrently) {
    auto second = newInstance();
    auto ask = [](PluginInstance* instance, int offset, std::atomic<int>* named) {
        for (int i = 0; i < 300; ++i) {
            instance->setParameter(19, static_cast<float>((i + offset) % 5) / 4.0f);
            std::string text = instance->parameterDisplay(19);
            if (text == "Thru" || text == "Low" || text == "Band" || text == "High") ++*named;
        }
    };
    std::atomic<int> named{0};
    std::thread first(ask, plugin.get(), 0, &named);
    std::thread other(ask, second.get(), 2, &named);
    first.join();
    other.join();
    EXPECT_EQ(named.load(), 600);
}

}  // namespace
