// SPDX-License-Identifier: MIT
#include "web/pane_text.h"

#include <cstring>

namespace web {
namespace {

// A block is given this much room when it starts, so that appends do not move it while a line
// of it is on the page; a single append larger than that makes a block of its own size.
constexpr std::size_t kBlockBytes = std::size_t { 1 } << 20;

} // namespace

PaneText::PaneText()
{
    Set({});
}

void PaneText::Set(std::string_view text)
{
    for (std::string &block : m_blocks) {
        block.clear();
        m_spareBlocks.push_back(std::move(block));
    }
    m_blocks.clear();
    m_lines.clear();
    m_size = 0;
    StartBlock();
    m_lines.push_back({});
    Append(text);
}

void PaneText::ReleaseSpareMemory()
{
    m_spareBlocks.clear();
    m_spareBlocks.shrink_to_fit();
    if (m_lines.capacity() > 2 * m_lines.size()) {
        m_lines.shrink_to_fit();
    }
}

void PaneText::StartBlock()
{
    if (m_spareBlocks.empty()) {
        m_blocks.emplace_back().reserve(kBlockBytes);
    } else {
        m_blocks.push_back(std::move(m_spareBlocks.back()));
        m_spareBlocks.pop_back();
    }
}

void PaneText::Append(std::string_view text)
{
    if (!m_blocks.back().empty() && m_blocks.back().size() + text.size() > kBlockBytes) {
        // The line still open at the end of the full block moves to the new one with it.
        LineStart &open = m_lines.back();
        std::string &full = m_blocks.back();
        std::string tail = full.substr(open.offset);
        full.resize(open.offset);
        StartBlock();
        m_blocks.back().append(tail);
        open = { static_cast<std::uint32_t>(m_blocks.size() - 1), 0 };
    }
    std::string &block = m_blocks.back();
    const std::size_t from = block.size();
    block.append(text);
    m_size += text.size();
    IndexLines(from);
}

void PaneText::IndexLines(std::size_t from)
{
    const std::string &block = m_blocks.back();
    const auto blockIndex = static_cast<std::uint32_t>(m_blocks.size() - 1);
    const char *begin = block.data();
    const char *end = begin + block.size();
    for (const char *p = begin + from; p < end;) {
        const void *found = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        if (found == nullptr) {
            break;
        }
        p = static_cast<const char *>(found) + 1;
        m_lines.push_back({ blockIndex, static_cast<std::uint32_t>(p - begin) });
    }
}

std::string PaneText::Text() const
{
    std::string text;
    text.reserve(m_size);
    for (const std::string &block : m_blocks) {
        text.append(block);
    }
    return text;
}

std::string_view PaneText::Line(std::size_t line) const
{
    const LineStart start = m_lines[line];
    const std::string &block = m_blocks[start.block];
    std::size_t end = block.size();
    if (line + 1 < m_lines.size()) {
        const LineStart next = m_lines[line + 1];
        end = (next.block == start.block ? next.offset : block.size()) - 1; // before its LF
    }
    if (end > start.offset && block[end - 1] == '\r') {
        --end;
    }
    return std::string_view(block).substr(start.offset, end - start.offset);
}

std::string PaneText::JoinedLines(std::size_t first, std::size_t last) const
{
    std::string joined;
    for (std::size_t line = first; line <= last && line < m_lines.size(); ++line) {
        joined.append(Line(line));
        if (line != last) {
            joined += '\n';
        }
    }
    return joined;
}

} // namespace web
