// SPDX-License-Identifier: MIT
#include "form/large_page_allocator.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

// Where the kernel offers huge pages; elsewhere (a browser's WebAssembly memory among them) the
// blocks are ordinary allocations.
#if defined(__linux__) && defined(MADV_HUGEPAGE)
#define PLL_HUGE_PAGES 1
#endif

namespace form {
namespace {

#if defined(PLL_HUGE_PAGES)
constexpr std::size_t kHugePage = std::size_t { 2 } << 20;
#endif

} // namespace

void *AllocateLarge(std::size_t bytes)
{
#if !defined(PLL_HUGE_PAGES)
    return ::operator new(bytes);
#else
    if (bytes < kHugePage) {
        return ::operator new(bytes);
    }
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void *memory = std::aligned_alloc(kHugePage, rounded);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    // Only advice: where the kernel has no huge page to give, the memory is ordinary.
    madvise(memory, rounded, MADV_HUGEPAGE);
    return memory;
#endif
}

void FreeLarge(void *memory, [[maybe_unused]] std::size_t bytes) noexcept
{
#if !defined(PLL_HUGE_PAGES)
    ::operator delete(memory);
#else
    if (bytes < kHugePage) {
        ::operator delete(memory);
    } else {
        std::free(memory); // NOLINT(cppcoreguidelines-no-malloc): from aligned_alloc
    }
#endif
}

} // namespace form
