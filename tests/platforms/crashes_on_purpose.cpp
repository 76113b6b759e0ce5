// A program that dies of an access violation, so that the Windows builds can
// show that a test which crashes under Wine is counted as failed.
#include <cstdio>

int main() {
    std::puts("about to write through a null pointer");
    std::fflush(stdout);
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    return 0;
}
