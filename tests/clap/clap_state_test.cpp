// The state a host keeps in its project: saved by one instance, loaded by
// another, through streams that move a byte at a time, and refused, with the
// values kept, when it is not a whole state of ours.
#include <gtest/gtest.h>

#include <cstring>
#include <atomic>
#include <random>
#include <thread>

#include "tests/clap/clap_driver.h"

namespace {

// Every parameter somewhere between its ends, away from its default.
std::vector<ParamChange> unusualValues() {
    std::vector<ParamChange> changes;
    const double values[23] = {123.5, 0.25, 10, 0.5, 1999, -0.75, 0, 0.125, 0, 1, 0, 0.9,
                               1.5,   -0.2, 0,  0.3, 0.6,  4321, 0.7, 2.75, 0.2, 7.5, 150};
    for (uint32_t id = 0; id < 23; ++id) changes.push_back({0, id, values[id]});
    return changes;
}

std::vector<double> valuesOf(const ClapPlugin& clap) {
    std::vector<double> v;
    for (uint32_t id = 0; id < 23; ++id) v.push_back(clap.value(id));
    return v;
}

uint32_t crc32(const uint8_t* bytes, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

TEST(ClapState, RestoresEveryValueInAnotherInstanceAndItsSound) {
    auto saver = ClapPlugin::create(), loader = ClapPlugin::create();
    ASSERT_TRUE(saver && loader);
    saver->flush(unusualValues());
    // Saved a byte at a time, loaded a byte at a time.
    const std::vector<uint8_t> bytes = saver->save(1);
    EXPECT_EQ(bytes, saver->save());
    ASSERT_TRUE(loader->load(bytes, 1));
    EXPECT_EQ(valuesOf(*loader), valuesOf(*saver));

    const Stereo in = noise(30000, 3);
    Stereo outs[2] = {Stereo(in.frames()), Stereo(in.frames())};
    ClapPlugin* both[2] = {saver.get(), loader.get()};
    for (int n = 0; n < 2; ++n) {
        ASSERT_TRUE(both[n]->activate(44100.0));
        both[n]->process(in.left.data(), in.right.data(), outs[n].left.data(),
                         outs[n].right.data(), in.frames());
    }
    EXPECT_TRUE(sameBits(outs[0], outs[1]));
}

TEST(ClapState, RefusesWhatIsNotAWholeStateOfOursAndKeepsItsValues) {
    auto clap = ClapPlugin::create();
    ASSERT_NE(clap, nullptr);
    const std::vector<uint8_t> good = clap->save();
    ASSERT_FALSE(good.empty());
    clap->flush(unusualValues());
    const std::vector<double> kept = valuesOf(*clap);

    std::vector<std::vector<uint8_t>> refused;
    for (size_t n = 0; n < good.size(); ++n) refused.emplace_back(good.begin(), good.begin() + n);
    for (size_t n = 0; n < good.size(); ++n) {
        refused.push_back(good);
        refused.back()[n] ^= 0x20;
    }
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    refused.push_back(longer);
    // A later version, whole and with its own CRC.
    std::vector<uint8_t> later = good;
    later[4] = 3;
    const uint32_t crc = crc32(later.data(), later.size() - 4);
    for (int i = 0; i < 4; ++i) later[later.size() - 4 + i] = static_cast<uint8_t>(crc >> (8 * i));
    refused.push_back(later);
    // Somebody else's bytes of the same length.
    std::mt19937 random(1);
    refused.emplace_back(good.size());
    for (uint8_t& b : refused.back()) b = static_cast<uint8_t>(random());

    for (const auto& bytes : refused) {
        EXPECT_FALSE(clap->load(bytes, 3)) << bytes.size() << " bytes";
        EXPECT_EQ(valuesOf(*clap), kept);
    }
    // And the good one, after all of them, is taken.
    EXPECT_TRUE(clap->load(good, 5));
    EXPECT_EQ(clap->value(0), 200.0);
}

// A state loaded on the main thread while the audio thread plays reaches the
// audio thread at its next block, as if it had been there from the start;
// loads racing the blocks (and their events, which set the mix to its
// default) leave the last one in place.
TEST(ClapState, LoadedWhileActiveReachesTheAudioThread) {
    auto source = ClapPlugin::create();
    ASSERT_NE(source, nullptr);
    source->flush(unusualValues());
    const std::vector<uint8_t> unusual = source->save();
    const std::vector<uint8_t> defaults = ClapPlugin::create()->save();

    auto before = ClapPlugin::create(), during = ClapPlugin::create();
    ASSERT_TRUE(before->load(unusual));
    const Stereo silence(512), in = noise(60000, 8);
    Stereo outs[2] = {Stereo(in.frames()), Stereo(in.frames())}, ignored(512);
    ClapPlugin* both[2] = {before.get(), during.get()};
    for (int n = 0; n < 2; ++n) {
        ASSERT_TRUE(both[n]->activate(44100.0));
        both[n]->process(silence.left.data(), silence.right.data(), ignored.left.data(),
                         ignored.right.data(), 512);
        if (n == 1) {
            ASSERT_TRUE(during->load(unusual));
        }
        both[n]->process(in.left.data(), in.right.data(), outs[n].left.data(),
                         outs[n].right.data(), in.frames());
    }
    EXPECT_TRUE(sameBits(outs[0], outs[1]));

    std::atomic<bool> playing{true};
    std::thread audio([&] {
        Stereo block = noise(64, 2), out(64);
        while (playing.load())
            during->process(block.left.data(), block.right.data(), out.left.data(),
                            out.right.data(), 64, {{10, 16, 1.0}});
    });
    for (int i = 0; i < 300; ++i) EXPECT_TRUE(during->load(i % 2 == 0 ? unusual : defaults));
    playing = false;
    audio.join();
    during->process(silence.left.data(), silence.right.data(), ignored.left.data(),
                    ignored.right.data(), 512);
    EXPECT_EQ(during->value(0), 200.0);
    EXPECT_EQ(during->save(), defaults);
}

}  // namespace
