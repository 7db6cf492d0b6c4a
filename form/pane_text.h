// SPDX-License-Identifier: MIT
// The result pane's text, exactly as the run wrote it (CR LF line ends), as both front-ends keep
// it: in blocks of about two megabytes that never move what they hold, with an index of where
// each line starts, so that appending a line costs its length and a pane draws any of a million
// lines at once. The desktop gives it an allocator of huge pages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace form {

template <template <typename> class Allocator = std::allocator> class PaneText {
public:
    PaneText() { Set({}); }

    // Replaces the text. The blocks of the text before are kept for the new one to fill, whose
    // memory is already there, until ReleaseSpareMemory: a run that lists a million rows again
    // takes no new memory.
    void Set(std::string_view text)
    {
        for (Block &block : m_blocks) {
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

    void Append(std::string_view text)
    {
        if (!m_blocks.back().empty() && m_blocks.back().size() + text.size() > kBlockBytes) {
            // The line still open at the end of the full block moves to the new one with it.
            LineStart &open = m_lines.back();
            Block &full = m_blocks.back();
            const Block tail = full.substr(open.offset);
            full.resize(open.offset);
            StartBlock();
            m_blocks.back().append(tail);
            open = { static_cast<std::uint32_t>(m_blocks.size() - 1), 0 };
        }
        Block &block = m_blocks.back();
        const std::size_t from = block.size();
        block.append(text);
        m_size += text.size();
        IndexLines(from);
    }

    void ReleaseSpareMemory()
    {
        m_spareBlocks.clear();
        m_spareBlocks.shrink_to_fit();
        if (m_lines.capacity() > 2 * m_lines.size()) {
            m_lines.shrink_to_fit();
        }
    }

    std::size_t Size() const { return m_size; }

    std::string Text() const
    {
        std::string text;
        text.reserve(m_size);
        for (const Block &block : m_blocks) {
            text.append(block.data(), block.size());
        }
        return text;
    }

    // Lines end at LF; the text after the last LF is a line too (empty after a whole report).
    std::size_t LineCount() const { return m_lines.size(); }

    // A line as shown: without its CR LF.
    std::string_view Line(std::size_t line) const
    {
        const LineStart start = m_lines[line];
        const Block &block = m_blocks[start.block];
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

    std::size_t BlockCount() const { return m_blocks.size(); }
    std::string_view BlockText(std::size_t block) const { return m_blocks[block]; }

private:
    // With the string's terminating NUL, one huge page a block.
    static constexpr std::size_t kBlockBytes = (std::size_t { 2 } << 20) - 1;

    using Block = std::basic_string<char, std::char_traits<char>, Allocator<char>>;

    // Where a line starts: its block, and its offset in the block. A line never spans blocks.
    struct LineStart {
        std::uint32_t block = 0;
        std::uint32_t offset = 0;
    };

    void StartBlock()
    {
        if (m_spareBlocks.empty()) {
            m_blocks.emplace_back().reserve(kBlockBytes);
        } else {
            m_blocks.push_back(std::move(m_spareBlocks.back()));
            m_spareBlocks.pop_back();
        }
    }

    // Notes where each line after `from` in the last block starts.
    void IndexLines(std::size_t from)
    {
        const Block &block = m_blocks.back();
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

    std::vector<Block> m_blocks;
    std::vector<Block> m_spareBlocks; // emptied, from the text before
    std::vector<LineStart, Allocator<LineStart>> m_lines;
    std::size_t m_size = 0;
};

} // namespace form
