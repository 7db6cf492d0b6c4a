// SPDX-License-Identifier: MIT
#include "calc/sweep_parts.h"

#include <algorithm>

namespace calc {

SweepParts::SweepParts(std::int64_t first, std::int64_t last, const SweepSharing &sharing)
    : m_first(first)
    , m_last(last)
{
    const std::int64_t length = last - first + 1;
    m_lead = std::clamp<std::int64_t>(sharing.leadPart, 1, length);
    const std::int64_t rest = length - m_lead;
    const std::int64_t wanted = std::max<std::int64_t>(1, sharing.cores) * sharing.partsPerCore;
    m_size = std::max({ std::int64_t { 1 }, sharing.smallestPart, (rest + wanted - 1) / wanted });
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
