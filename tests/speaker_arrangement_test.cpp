#include "vst/speaker_arrangement.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace speakers;

VstSpeakerProperties sampleSpeaker(int32_t i) {
    VstSpeakerProperties s;
    std::memset(&s, 'a' + i, sizeof s);  // the name is left unterminated
    s.azimuth = 0.25f * i;
    s.type = 100 + i;
    s.future[27] = static_cast<char>(i);
    return s;
}

TEST(SpeakerArrangement, AllocatesZeroFilledRecordsOfAnyCountAndFreesTheOldOne) {
    VstSpeakerArrangement* a = nullptr;
    ASSERT_TRUE(allocateArrangement(&a, 3));
    EXPECT_EQ(a->numChannels, 3);
    EXPECT_EQ(a->type, 0);
    const char* bytes = reinterpret_cast<const char*>(speakerAt(a, 0));
    for (std::size_t i = 0; i < 3 * sizeof(VstSpeakerProperties); ++i) ASSERT_EQ(bytes[i], 0) << i;

    // More than the eight the header declares; the sanitizer build flags any
    // access outside the allocation.
    ASSERT_TRUE(allocateArrangement(&a, 20));
    EXPECT_EQ(a->numChannels, 20);
    speakerAt(a, 19)->future[27] = 1;
    EXPECT_EQ(reinterpret_cast<char*>(speakerAt(a, 19)) - reinterpret_cast<char*>(a), 8 + 19 * 112);

    ASSERT_TRUE(allocateArrangement(&a, 0));
    EXPECT_EQ(a->numChannels, 0);
    EXPECT_FALSE(allocateArrangement(&a, -1));
    EXPECT_EQ(a, nullptr);
    EXPECT_FALSE(allocateArrangement(nullptr, 2));
    EXPECT_TRUE(deallocateArrangement(&a));
    EXPECT_FALSE(deallocateArrangement(nullptr));
}

TEST(SpeakerArrangement, CopySpeakerCopiesEveryFieldAndTerminatesTheName) {
    const VstSpeakerProperties from = sampleSpeaker(1);
    VstSpeakerProperties expected = from;
    expected.name[63] = 0;
    VstSpeakerProperties to;
    std::memset(&to, 0, sizeof to);
    ASSERT_TRUE(copySpeaker(&to, &from));
    EXPECT_EQ(std::memcmp(&to, &expected, sizeof to), 0);

    VstSpeakerProperties named = from;
    std::strcpy(named.name, "Left");
    ASSERT_TRUE(copySpeaker(&to, &named));
    EXPECT_STREQ(to.name, "Left");
    EXPECT_FALSE(copySpeaker(nullptr, &from));
    EXPECT_FALSE(copySpeaker(&to, nullptr));
}

TEST(SpeakerArrangement, MatchReplacesTheTargetWithACopy) {
    VstSpeakerArrangement* from = nullptr;
    ASSERT_TRUE(allocateArrangement(&from, 10));
    from->type = 42;
    for (int32_t i = 0; i < 10; ++i) *speakerAt(from, i) = sampleSpeaker(i);

    VstSpeakerArrangement* to = nullptr;
    ASSERT_TRUE(allocateArrangement(&to, 2));
    ASSERT_TRUE(matchArrangement(&to, from));
    EXPECT_NE(to, from);
    EXPECT_EQ(to->type, 42);
    ASSERT_EQ(to->numChannels, 10);
    for (int32_t i = 0; i < 10; ++i) {
        EXPECT_EQ(speakerAt(to, i)->type, 100 + i);
        EXPECT_EQ(speakerAt(to, i)->azimuth, 0.25f * i);
        EXPECT_EQ(speakerAt(to, i)->future[27], i);
        EXPECT_EQ(speakerAt(to, i)->name[63], 0);
    }

    EXPECT_TRUE(matchArrangement(&from, from));  // must not free its own source
    EXPECT_EQ(speakerAt(from, 9)->type, 109);
    EXPECT_FALSE(matchArrangement(&to, nullptr));
    EXPECT_FALSE(matchArrangement(nullptr, from));
    deallocateArrangement(&to);
    deallocateArrangement(&from);
}

}  // namespace
