#pragma once
// For death tests that prove a call stays within a memory budget: the forked child limits
// its own address space to what it holds now plus Room. Under the address sanitizer (which
// reserves far more address space than any small limit) the tests skip.

#include <sys/resource.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>

#if defined(__SANITIZE_ADDRESS__)
#define QV_ADDRESS_SPACE_LIMITS 0
#else
#define QV_ADDRESS_SPACE_LIMITS 1
#endif

// False when the limit could not be set.
inline bool QvLimitAddressSpace(size_t Room) {
    long Pages = 0;
    if (FILE* F = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(F, "%ld", &Pages) != 1) Pages = 0;
        std::fclose(F);
    }
    if (Pages <= 0) return false;
    const rlim_t Limit = static_cast<rlim_t>(Pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + Room;
    const rlimit L{Limit, Limit};
    return setrlimit(RLIMIT_AS, &L) == 0;
}
