#include "framework/value_name_registry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>

// Counting allocator for this test program: it shows which objects are freed
// and lets a test make a chosen allocation fail.
namespace {
std::atomic<long> liveAllocations{0};
std::atomic<long> failCountdown{-1};  // the allocation that brings it to 0 fails
std::atomic<void*> watched{nullptr};
std::atomic<bool> watchedFreed{false};
}  // namespace

void* operator new(std::size_t size) {
    if (failCountdown.load() >= 0 && failCountdown.fetch_sub(1) == 0) throw std::bad_alloc();
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    ++liveAllocations;
    return p;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    if (p == watched.load()) watchedFreed = true;
    --liveAllocations;
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

// Distinct arrays so that every test owns its keys; equal texts on purpose.
const char kThru[] = "Thru";
const char kLow[] = "Low";
const char kLowAgain[] = "Low";
const char kKept[] = "Band";
const char kDropped[] = "High";
const char kShared[] = "Shared";
const char kEmpty[] = "";
const char kLongName[] = "a name well past the small-string size";

TEST(CFString, GetCStringCopiesAtMostTwentyThreeCharacters) {
    char buffer[25];
    std::memset(buffer, '#', sizeof buffer);
    const CFString fits("abcdefghijklmnopqrstuvw");  // 23 characters
    ASSERT_TRUE(fits.getCString(buffer));
    EXPECT_STREQ(buffer, "abcdefghijklmnopqrstuvw");
    EXPECT_EQ(buffer[24], '#');

    std::memset(buffer, '#', sizeof buffer);
    const CFString tooLong("abcdefghijklmnopqrstuvwx");  // 24 characters
    EXPECT_FALSE(tooLong.getCString(buffer));
    for (char c : buffer) ASSERT_EQ(c, '#');

    const CFString empty("");
    ASSERT_TRUE(empty.getCString(buffer));
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], '#');
    EXPECT_EQ(empty.text(), "");
}

TEST(ValueNameRegistry, SameAddressSameObjectHeldOnlyByTheRegistry) {
    CFString* first = stringForLiteral(kThru);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->text(), "Thru");
    EXPECT_EQ(first->retainCount(), 1);

    first->retain();  // a display request: hook retains, display releases
    first->release();
    EXPECT_EQ(stringForLiteral(kThru), first);
    EXPECT_EQ(first->retainCount(), 1);

    CFString* low = stringForLiteral(kLow);
    CFString* lowAgain = stringForLiteral(kLowAgain);
    EXPECT_NE(low, lowAgain);
    EXPECT_EQ(low->text(), lowAgain->text());

    char buffer[24];
    ASSERT_TRUE(stringForLiteral(kEmpty)->getCString(buffer));
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(stringForLiteral(nullptr), nullptr);
}

TEST(ValueNameRegistry, TeardownDestroysUnheldStringsAndKeepsRetainedOnes) {
    releaseLiteralStrings();
    CFString* kept = stringForLiteral(kKept);
    CFString* dropped = stringForLiteral(kDropped);
    EXPECT_EQ(literalStringCount(), 2);
    kept->retain();
    kept->retain();
    watchedFreed = false;
    watched = dropped;

    releaseLiteralStrings();
    EXPECT_TRUE(watchedFreed);
    EXPECT_EQ(literalStringCount(), 0);
    EXPECT_EQ(kept->retainCount(), 2);
    EXPECT_EQ(kept->text(), "Band");

    releaseLiteralStrings();  // a second teardown touches nothing
    EXPECT_EQ(kept->retainCount(), 2);

    // Usable again, with a fresh object for the old key.
    CFString* again = stringForLiteral(kKept);
    EXPECT_NE(again, kept);
    EXPECT_EQ(again->retainCount(), 1);
    EXPECT_EQ(literalStringCount(), 1);

    watchedFreed = false;
    watched = kept;
    kept->release();
    EXPECT_FALSE(watchedFreed);
    kept->release();
    EXPECT_TRUE(watchedFreed);
    watched = nullptr;
}

TEST(ValueNameRegistry, FailedAllocationLeaksNothingAndLeavesTheMapAsItWas) {
    stringForLiteral(kThru);  // the map exists
    // Fail the first allocation of a new entry, then the second, and so on,
    // until the entry can be created.
    for (long failAt = 0;; ++failAt) {
        const int32_t entriesBefore = literalStringCount();
        const long liveBefore = liveAllocations;
        bool threw = false;
        failCountdown = failAt;
        try {
            stringForLiteral(kLongName);
        } catch (const std::bad_alloc&) {
            threw = true;
        }
        failCountdown = -1;
        if (!threw) {
            EXPECT_GE(failAt, 3) << "CFString, its text and the map node each need memory";
            EXPECT_EQ(literalStringCount(), entriesBefore + 1);
            EXPECT_EQ(stringForLiteral(kLongName)->retainCount(), 1);
            break;
        }
        EXPECT_EQ(liveAllocations, liveBefore) << "leak when allocation " << failAt << " fails";
        EXPECT_EQ(literalStringCount(), entriesBefore);
    }
}

TEST(ValueNameRegistry, ConcurrentRequestsShareOneObjectPerLiteral) {
    constexpr int kRounds = 20000;
    std::atomic<bool> fault{false};
    std::atomic<CFString*> seen[2] = {{nullptr}, {nullptr}};
    auto worker = [&](int id) {
        char buffer[24];
        for (int i = 0; i < kRounds; ++i) {
            CFString* s = stringForLiteral(kShared);
            s->retain();
            if (!s->getCString(buffer) || std::strcmp(buffer, "Shared") != 0) fault = true;
            s->release();
            if (s->retainCount() < 1) fault = true;
            seen[id] = s;
            // Each thread also keeps adding keys while the other looks up.
            stringForLiteral(id ? kLow : kThru);
        }
    };
    std::thread a(worker, 0), b(worker, 1);
    a.join();
    b.join();
    EXPECT_FALSE(fault);
    EXPECT_EQ(seen[0].load(), seen[1].load());
    EXPECT_EQ(seen[0].load()->retainCount(), 1);
}

}  // namespace
