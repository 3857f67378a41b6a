// Allocation of large engine blocks (planes, work buffers). A block the machine cannot
// hold is refused with std::bad_alloc before it is touched, so that a host asking for
// too many big layers gets a failure to report instead of the process being killed.
#pragma once
#include <cstddef>
#include <memory>
#include <new>

namespace calv {

// Throws std::bad_alloc when a block of `bytes` must be refused.
void admitBlock(std::size_t bytes);

// Test hook: the next `count` blocks admitted after `skip` further ones are refused.
void failBlocksForTesting(int skip, int count);

template <class T>
std::unique_ptr<T[]> allocateBlock(std::size_t count) {
    if (count > std::size_t(-1) / sizeof(T)) throw std::bad_alloc();
    admitBlock(count * sizeof(T));
    return std::make_unique_for_overwrite<T[]>(count);
}

}  // namespace calv
