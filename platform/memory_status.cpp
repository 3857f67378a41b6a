#include "platform/memory_status.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace calv::platform {
namespace {

// Reads the kilobyte figures named `keys` from /proc/meminfo and adds them up.
uint64_t meminfoKB(std::initializer_list<const char*> keys) {
    std::FILE* f = std::fopen("/proc/meminfo", "r");
    if (!f) return 0;
    uint64_t total = 0;
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
        for (const char* key : keys) {
            std::size_t n = std::strlen(key);
            if (std::strncmp(line, key, n) == 0 && line[n] == ':') {
                unsigned long long kb = 0;
                if (std::sscanf(line + n + 1, "%llu", &kb) == 1) total += kb;
            }
        }
    }
    std::fclose(f);
    return total;
}

}  // namespace

uint64_t availableMemoryBytes() { return meminfoKB({"MemAvailable", "SwapFree"}) * 1024; }

uint64_t availablePhysicalBytes() { return meminfoKB({"MemAvailable"}) * 1024; }

}  // namespace calv::platform
