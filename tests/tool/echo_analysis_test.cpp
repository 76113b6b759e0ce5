// The analysis behind the plot's lower panel: where the first echo lies and
// its magnitude response, against results worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "host/tool/plot/first_echo.h"
#include "host/tool/plot/magnitude_response.h"

namespace {

TEST(EchoAnalysis, FirstEchoSkipsTheDirectSoundAndEndsAtTheNextEcho) {
    AudioBuffer response(1000.0, 2, 400);
    response.channels[0][0] = 1.0f;    // direct sound
    response.channels[1][100] = 0.5f;  // first echo, on the right
    response.channels[1][101] = 0.25f;
    response.channels[0][300] = 0.5f;  // second echo
    const EchoStretch echo = findFirstEcho(response, 2, 10, 1000);
    ASSERT_TRUE(echo.found);
    EXPECT_EQ(echo.start, 100u);
    EXPECT_EQ(echo.length, 200u);
    EXPECT_EQ(findFirstEcho(response, 2, 10, 50).length, 50u);

    AudioBuffer silence(1000.0, 2, 400);
    EXPECT_FALSE(findFirstEcho(silence, 2, 10, 1000).found);
}

TEST(EchoAnalysis, AnEchoStartsWithItsFirstSoundBelowTheThreshold) {
    // A filtered echo rises over a few frames: it starts where diff sees
    // it start, at its first frame that is not silent.
    AudioBuffer response(1000.0, 1, 400);
    response.channels[0][0] = 1.0f;
    response.channels[0][100] = 1e-5f;  // below -60 dB of the peak
    response.channels[0][101] = 1e-4f;
    response.channels[0][102] = 0.5f;
    const EchoStretch echo = findFirstEcho(response, 2, 10, 1000);
    ASSERT_TRUE(echo.found);
    EXPECT_EQ(echo.start, 100u);
    EXPECT_EQ(echo.length, 300u);
    // Sound that runs on from the direct sound is no part of the echo.
    for (size_t i = 1; i < 102; ++i) response.channels[0][i] = 1e-6f;
    EXPECT_EQ(findFirstEcho(response, 2, 10, 1000).start, 102u);
}

TEST(EchoAnalysis, MagnitudeOfTwoEqualTaps) {
    // h = [1, 1]: |H(k)| = 2 |cos(pi k / N)|.
    const float taps[] = {0.5f, 0.5f};
    const size_t size = 64;
    const auto decibels = magnitudeResponseDecibels(taps, 2, size, 0.5);
    ASSERT_EQ(decibels.size(), size / 2 + 1);
    const double pi = std::acos(-1.0);
    for (size_t k = 0; k < size / 2; ++k)
        EXPECT_NEAR(decibels[k], 20 * std::log10(2 * std::cos(pi * k / size)), 1e-9) << k;
    EXPECT_EQ(decibels[size / 2], -120.0);  // the null at half the rate hits the floor
}

TEST(EchoAnalysis, ScaledImpulseIsFlat) {
    const float echo[] = {0.0f, 0.0f, 0.125f};
    for (double level : magnitudeResponseDecibels(echo, 3, 16, 0.25))
        EXPECT_NEAR(level, 20 * std::log10(0.5), 1e-9);
}

}  // namespace
