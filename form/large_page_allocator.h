// SPDX-License-Identifier: MIT
// Memory for the pane's large buffers. A report of a million rows is fifty megabytes, and taking
// it in pages of 4 KiB costs a page fault each: on some virtual machines that is microseconds a
// fault, more than the sweep spends on the rows. Allocations of 2 MiB and more are therefore
// aligned to 2 MiB and, on Linux, offered for transparent huge pages.
#pragma once

#include <cstddef>

namespace form {

void *AllocateLarge(std::size_t bytes);
void FreeLarge(void *memory, std::size_t bytes) noexcept;

template <typename T> struct LargePageAllocator {
    using value_type = T;

    LargePageAllocator() = default;
    template <typename U> explicit LargePageAllocator(const LargePageAllocator<U> & /*other*/) { }

    T *allocate(std::size_t count) { return static_cast<T *>(AllocateLarge(count * sizeof(T))); }
    void deallocate(T *memory, std::size_t count) noexcept { FreeLarge(memory, count * sizeof(T)); }

    friend bool operator==(const LargePageAllocator &, const LargePageAllocator &) = default;
};

} // namespace form
