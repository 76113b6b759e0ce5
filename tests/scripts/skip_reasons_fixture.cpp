// Cases that skip the ways the project's own tests do, for the check that the
// test command lists every skipped case with the reason it gave.
#include <gtest/gtest.h>

TEST(Skips, WithAReason) { GTEST_SKIP() << "Debian's lsp-plugins-vst is not installed & <needed>"; }

TEST(Skips, OverTwoLines) { GTEST_SKIP() << "first line\nsecond line"; }

TEST(Skips, WithoutAReason) { GTEST_SKIP(); }

TEST(Skips, NotAtAll) { SUCCEED(); }

TEST(Skips, FailsInstead) { FAIL() << "a failure is no skip"; }
