#include "MemoryLimit.h"

#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

bool gLimited = false;
long long gLimit = 0;
long long gInUse = 0; // since the limit was set; frees of older blocks make it negative

void* Allocate(std::size_t size) {
    if (gLimited && gInUse + static_cast<long long>(size) > gLimit) {
        throw std::bad_alloc();
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    gInUse += static_cast<long long>(::malloc_usable_size(block));
    return block;
}

void Release(void* block) noexcept {
    if (block != nullptr) {
        gInUse -= static_cast<long long>(::malloc_usable_size(block));
        std::free(block);
    }
}

} // namespace

namespace pelmora::testing {

MemoryLimit::MemoryLimit(std::size_t bytes) {
    gInUse = 0;
    gLimit = static_cast<long long>(bytes);
    gLimited = true;
}

MemoryLimit::~MemoryLimit() {
    gLimited = false;
}

} // namespace pelmora::testing

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* block) noexcept {
    Release(block);
}
void operator delete[](void* block) noexcept {
    Release(block);
}
void operator delete(void* block, std::size_t) noexcept {
    Release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    Release(block);
}
