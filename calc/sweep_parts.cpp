// SPDX-License-Identifier: MIT
#include "calc/sweep_parts.h"

#include <algorithm>

namespace calc {

SweepParts::SweepParts(
    std::int64_t first, std::int64_t last, const SweepSharing &sharing, bool lead)
    : m_first(first)
    , m_last(last)
{
    const std::int64_t length = last - first + 1;
    const std::int64_t wanted = std::max<std::int64_t>(1, sharing.cores) * sharing.partsPerCore;
    const auto sizeFor = [&sharing, wanted](std::int64_t dividers) {
        const std::int64_t even = (dividers + wanted - 1) / wanted;
        return std::max<std::int64_t>(1,
            std::clamp(
                even, sharing.smallestPart, std::max(sharing.smallestPart, sharing.largestPart)));
    };
    // Without a lead, the first part is one like the others.
    m_lead = std::clamp<std::int64_t>(lead ? sharing.leadPart : sizeFor(length), 1, length);
    const std::int64_t rest = length - m_lead;
    m_size = sizeFor(rest);
    const auto count = static_cast<std::size_t>(1 + (rest + m_size - 1) / m_size);
    m_stops.resize(count);
    m_firstStopped = count;
}

SweepPart SweepParts::PartAt(std::size_t index) const
{
    if (index == 0) {
        return { 0, m_first, m_first + m_lead - 1 };
    }
    const std::int64_t first = m_first + m_lead + static_cast<std::int64_t>(index - 1) * m_size;
    return { index, first, std::min(m_last, first + m_size - 1) };
}

std::optional<SweepPart> SweepParts::Next()
{
    if (m_next >= Count() || m_next > m_firstStopped) {
        return std::nullopt;
    }
    return PartAt(m_next++);
}

bool SweepParts::Report(std::size_t index, std::int64_t stop)
{
    m_stops.at(index) = stop;
    if (stop <= PartAt(index).last) {
        m_firstStopped = std::min(m_firstStopped, index);
    }
    while (m_reportedInOrder < Count() && m_stops[m_reportedInOrder]) {
        ++m_reportedInOrder;
    }
    return Known();
}

bool SweepParts::Known() const
{
    return m_reportedInOrder >= std::min(m_firstStopped + 1, Count());
}

std::int64_t SweepParts::Stop() const
{
    return m_firstStopped < Count() ? *m_stops[m_firstStopped] : m_last + 1;
}

} // namespace calc
