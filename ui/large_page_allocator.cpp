// SPDX-License-Identifier: MIT
#include "ui/large_page_allocator.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace ui {
namespace {

constexpr std::size_t kHugePage = std::size_t { 2 } << 20;

} // namespace

void *AllocateLarge(std::size_t bytes)
{
    if (bytes < kHugePage) {
        return ::operator new(bytes);
    }
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void *memory = std::aligned_alloc(kHugePage, rounded);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
#if defined(MADV_HUGEPAGE)
    // Only advice: where the kernel has no huge page to give, the memory is ordinary.
    madvise(memory, rounded, MADV_HUGEPAGE);
#endif
    return memory;
}

void FreeLarge(void *memory, std::size_t bytes) noexcept
{
    if (bytes < kHugePage) {
        ::operator delete(memory);
    } else {
        std::free(memory); // NOLINT(cppcoreguidelines-no-malloc): from aligned_alloc
    }
}

} // namespace ui
