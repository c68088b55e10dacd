#pragma once

#include <cstdio>
#include <cstdlib>

// A property that every input must keep. A broken one aborts, which libFuzzer reports as a
// crash and keeps the input that caused it.
inline void Require(bool holds, const char* property) {
    if (holds)
        return;
    std::fprintf(stderr, "Property failed: %s\n", property);
    std::abort();
}
