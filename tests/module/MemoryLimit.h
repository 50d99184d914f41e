#pragma once
// A memory limit for the module tests: while one is set, an allocation that
// would raise the memory in use beyond it (counted from when it was set)
// throws std::bad_alloc, as allocating would in a full 32-bit process. The
// test executable's operator new and delete keep the count.
#include <cstddef>

namespace pelmora::testing {

class MemoryLimit {
public:
    explicit MemoryLimit(std::size_t bytes);
    ~MemoryLimit();
    MemoryLimit(const MemoryLimit&) = delete;
    MemoryLimit& operator=(const MemoryLimit&) = delete;
};

} // namespace pelmora::testing
