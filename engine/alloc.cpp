#include "engine/alloc.h"

#include "platform/memory_status.h"

namespace calv {
namespace {

// Blocks below this size are left to the heap alone: asking the system costs a file read.
constexpr std::size_t kCheckedBlockBytes = std::size_t(64) << 20;

int injectedSkip = 0;
int injectedFailures = 0;

}  // namespace

void failBlocksForTesting(int skip, int count) {
    injectedSkip = skip;
    injectedFailures = count;
}

void admitBlock(std::size_t bytes) {
    if (injectedFailures > 0) {
        if (injectedSkip > 0) {
            --injectedSkip;
        } else {
            --injectedFailures;
            throw std::bad_alloc();
        }
    }
    if (bytes >= kCheckedBlockBytes) {
        uint64_t available = platform::availableMemoryBytes();
        if (available != 0 && bytes > available) throw std::bad_alloc();
    }
}

}  // namespace calv
