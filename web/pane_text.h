// SPDX-License-Identifier: MIT
// The result pane's text, exactly as the run wrote it (CR LF line ends), kept in the module's
// memory for the page to read: blocks of about a megabyte that never move what they hold, and
// an index of where each line starts, so that appending a line costs its length and the page
// reads any of a million lines at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace web {

class PaneText {
public:
    PaneText();

    // Replaces the text. The blocks of the text before are kept for the new one to grow into,
    // until ReleaseSpareMemory: a run that lists a million rows again takes no new memory.
    void Set(std::string_view text);
    void Append(std::string_view text);
    void ReleaseSpareMemory();

    std::size_t Size() const { return m_size; }
    std::string Text() const;

    // Lines end at LF; the text after the last LF is a line too (empty after a whole report).
    std::size_t LineCount() const { return m_lines.size(); }
    // A line as shown: without its CR LF.
    std::string_view Line(std::size_t line) const;
    // Lines `first` to `last` as shown, joined by LF: what the pane copies of whole lines.
    std::string JoinedLines(std::size_t first, std::size_t last) const;

    std::size_t BlockCount() const { return m_blocks.size(); }
    std::string_view Block(std::size_t block) const { return m_blocks[block]; }

private:
    // Where a line starts: its block, and its offset in the block. A line never spans blocks.
    struct LineStart {
        std::uint32_t block = 0;
        std::uint32_t offset = 0;
    };

    void StartBlock();
    void IndexLines(std::size_t from);

    std::vector<std::string> m_blocks;
    std::vector<std::string> m_spareBlocks; // emptied, from the text before
    std::vector<LineStart> m_lines;
    std::size_t m_size = 0;
};

} // namespace web
