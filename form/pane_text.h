// SPDX-License-Identifier: MIT
// The result pane's text, exactly as the run wrote it (CR LF line ends), as both front-ends keep
// it: in blocks of about two megabytes that never move what they hold, with an index of where
// each line starts, kept in chunks that never move either, so that appending a line costs its
// length at any size of the report and a pane draws any of twenty million lines at once. The
// memory comes in ordinary pages: a huge page's first touch stalls the run for milliseconds in
// one piece (more while the kernel gathers one), where ordinary pages spread the same cost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace form {

// A list that grows by chunks of kChunk values: an append never moves what the list holds, and
// no allocation grows with it but the list of chunks, one entry per kChunk values. (A vector that
// doubles would copy all of a twenty-million-line index at once, a pause of most of a second.)
template <typename T, std::size_t kChunk> class ChunkedList {
public:
    std::size_t Size() const { return m_size; }
    const T &operator[](std::size_t i) const { return m_chunks[i / kChunk][i % kChunk]; }
    T &operator[](std::size_t i) { return m_chunks[i / kChunk][i % kChunk]; }
    const T &Back() const { return (*this)[m_size - 1]; }
    T &Back() { return (*this)[m_size - 1]; }

    void PushBack(const T &value)
    {
        if (m_size / kChunk == m_chunks.size()) {
            m_chunks.emplace_back().reserve(kChunk);
        }
        m_chunks[m_size / kChunk].push_back(value);
        ++m_size;
    }

    // Empties the list; its chunks stay for it to fill again, until ReleaseSpareMemory.
    void Clear()
    {
        for (Chunk &chunk : m_chunks) {
            chunk.clear();
        }
        m_size = 0;
    }

    void ReleaseSpareMemory() { m_chunks.resize((m_size + kChunk - 1) / kChunk); }

private:
    // Never holds more than kChunk values, and so never moves them.
    using Chunk = std::vector<T>;

    std::vector<Chunk> m_chunks;
    std::size_t m_size = 0;
};

class PaneText {
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
        m_lines.Clear();
        m_size = 0;
        StartBlock();
        m_lines.PushBack({});
        Append(text);
    }

    void Append(std::string_view text)
    {
        LineStart &open = m_lines.Back();
        // A line that has a block to itself grows there, however long.
        if (open.offset > 0 && m_blocks.back().size() + text.size() > kBlockBytes) {
            // The line still open at the end of the full block moves to the new one with it.
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
        m_lines.ReleaseSpareMemory();
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
    std::size_t LineCount() const { return m_lines.Size(); }

    // A line as shown: without its CR LF.
    std::string_view Line(std::size_t line) const
    {
        const LineStart start = m_lines[line];
        const Block &block = m_blocks[start.block];
        std::size_t end = block.size();
        if (line + 1 < m_lines.Size()) {
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
    // With the string's terminating NUL, 2 MiB a block.
    static constexpr std::size_t kBlockBytes = (std::size_t { 2 } << 20) - 1;

    using Block = std::string;

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
            m_lines.PushBack({ blockIndex, static_cast<std::uint32_t>(p - begin) });
        }
    }

    std::vector<Block> m_blocks;
    std::vector<Block> m_spareBlocks; // emptied, from the text before
    // 1 MiB a chunk.
    ChunkedList<LineStart, (std::size_t { 1 } << 17)> m_lines;
    std::size_t m_size = 0;
};

} // namespace form
