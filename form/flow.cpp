// SPDX-License-Identifier: MIT
#include "form/flow.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace form {
namespace {

// The window's own spacing, between its frames and between lines of boxes; and the spacing
// between groups of option buttons set side by side.
constexpr int kStackGap = 3;
constexpr int kFlowGap = 8;

using Ids = std::vector<ControlId>;

// What moves as one: a frame with all it holds, a caption with the control it names, or a
// control on its own. Its parts keep their places relative to one another.
struct Piece {
    ControlKind kind;
    Ids members;
    Place bounds;
};

Place Bounds(const WindowPlaces &window, const Ids &ids)
{
    int left = INT_MAX;
    int top = INT_MAX;
    int right = INT_MIN;
    int bottom = INT_MIN;
    for (ControlId id : ids) {
        const Place &p = window.places.at(Index(id));
        left = std::min(left, p.left);
        top = std::min(top, p.top);
        right = std::max(right, p.left + p.width);
        bottom = std::max(bottom, p.top + p.height);
    }
    return { left, top, right - left, bottom - top };
}

Ids ChildrenOf(ControlId container)
{
    Ids children;
    for (std::size_t i = 0; i < kControlCount; ++i) {
        if (kContainers.at(i) == container) {
            children.push_back(static_cast<ControlId>(i));
        }
    }
    return children;
}

void AddHeldBy(ControlId container, Ids &ids)
{
    for (ControlId child : ChildrenOf(container)) {
        ids.push_back(child);
        AddHeldBy(child, ids);
    }
}

// The control a caption names: the nearest to its right whose height spans the caption's middle.
ControlId PartnerOf(const WindowPlaces &table, ControlId label, const Ids &siblings)
{
    const Place &caption = table.places.at(Index(label));
    const int middle2 = 2 * caption.top + caption.height; // twice the middle: whole pixels
    ControlId partner = kForm1;
    for (ControlId id : siblings) {
        const Place &p = table.places.at(Index(id));
        const ControlKind kind = Row(id).kind;
        if (kind != ControlKind::Label && kind != ControlKind::Frame && p.left > caption.left
            && 2 * p.top <= middle2 && middle2 <= 2 * (p.top + p.height)
            && (partner == kForm1 || p.left < table.places.at(Index(partner)).left)) {
            partner = id;
        }
    }
    return partner;
}

std::vector<Piece> PiecesIn(const WindowPlaces &table, ControlId container)
{
    const Ids children = ChildrenOf(container);
    std::vector<std::pair<ControlId, ControlId>> partners;
    for (ControlId id : children) {
        if (Row(id).kind == ControlKind::Label) {
            if (const ControlId partner = PartnerOf(table, id, children); partner != kForm1) {
                partners.emplace_back(id, partner);
            }
        }
    }
    std::vector<Piece> pieces;
    for (ControlId id : children) {
        if (std::any_of(
                partners.begin(), partners.end(), [id](auto p) { return p.second == id; })) {
            continue;
        }
        Ids members { id };
        AddHeldBy(id, members);
        for (const auto &[label, partner] : partners) {
            if (label == id) {
                members.push_back(partner);
            }
        }
        pieces.push_back({ Row(id).kind, members, Bounds(table, members) });
    }
    return pieces;
}

bool ByReadingOrder(const Piece &a, const Piece &b)
{
    return a.bounds.top != b.bounds.top ? a.bounds.top < b.bounds.top
                                        : a.bounds.left < b.bounds.left;
}

class Flow {
public:
    explicit Flow(int width)
        : m_width(width)
    {
        m_placed.width = width;
    }

    WindowPlaces Run()
    {
        std::vector<Piece> pieces = PiecesIn(m_table, kForm1);
        std::vector<Piece> frames;
        std::vector<Piece> others;
        for (Piece &piece : pieces) {
            (piece.kind == ControlKind::Frame ? frames : others).push_back(std::move(piece));
        }
        std::stable_sort(frames.begin(), frames.end(), ByReadingOrder);
        // The pane comes last: a user scrolls through it after everything else.
        std::stable_partition(others.begin(), others.end(),
            [](const Piece &piece) { return piece.kind != ControlKind::ResultPane; });
        Ids all;
        for (std::size_t i = 0; i < kControlCount; ++i) {
            if (kContainers.at(i) == kForm1) {
                all.push_back(static_cast<ControlId>(i));
            }
        }
        const int margin = Bounds(m_table, all).top;
        int bottom = margin - kStackGap;
        frames.insert(frames.end(), others.begin(), others.end());
        for (const Piece &piece : frames) {
            // Each keeps its distance from the nearer side of the window, on both sides.
            const int inset = std::min(
                piece.bounds.left, m_table.width - piece.bounds.left - piece.bounds.width);
            const int top = bottom + kStackGap;
            const int pieceWidth = m_width - 2 * inset;
            const ControlId id = piece.members.front();
            const int height = piece.kind == ControlKind::Frame
                ? FlowFrame(id, inset, top, pieceWidth)
                : piece.bounds.height;
            m_placed.places.at(Index(id)) = { inset, top, pieceWidth, height };
            bottom = top + height;
        }
        m_placed.height = bottom + margin;
        return m_placed;
    }

private:
    void Put(const Piece &piece, int left, int top)
    {
        for (ControlId id : piece.members) {
            const Place &p = m_table.places.at(Index(id));
            m_placed.places.at(Index(id)) = { left + p.left - piece.bounds.left,
                top + p.top - piece.bounds.top, p.width, p.height };
        }
    }

    // Lays out the frame's pieces from (left, top), `frameWidth` wide; returns its height.
    int FlowFrame(ControlId frameId, int left, int top, int frameWidth)
    {
        const Place &frame = m_table.places.at(Index(frameId));
        std::vector<Piece> pieces = PiecesIn(m_table, frameId);
        Ids members;
        for (const Piece &piece : pieces) {
            members.insert(members.end(), piece.members.begin(), piece.members.end());
        }
        const Place inner = Bounds(m_table, members);
        const int inset = inner.left - frame.left;
        std::vector<Piece> groups;
        std::vector<Piece> others;
        for (Piece &piece : pieces) {
            (piece.kind == ControlKind::Frame ? groups : others).push_back(std::move(piece));
        }
        int groupsLeft = INT_MAX;
        for (const Piece &group : groups) {
            groupsLeft = std::min(groupsLeft, group.bounds.left);
        }
        std::stable_sort(others.begin(), others.end(), ByReadingOrder);
        std::stable_sort(groups.begin(), groups.end(),
            [](const Piece &a, const Piece &b) { return a.bounds.left < b.bounds.left; });

        int bottom = top + inner.top - frame.top - kStackGap;
        std::vector<Piece> right;
        for (Piece &piece : others) {
            if (piece.bounds.left < groupsLeft) {
                Put(piece, left + inset, bottom + kStackGap);
                bottom += kStackGap + piece.bounds.height;
            } else {
                right.push_back(std::move(piece));
            }
        }
        for (const std::vector<Piece> *row : { &groups, &right }) {
            int x = 0;
            int lineTop = bottom;
            bool lineStarted = false;
            for (const Piece &piece : *row) {
                if (!lineStarted || x + piece.bounds.width > left + frameWidth - inset) {
                    x = left + inset;
                    lineTop = bottom + kFlowGap;
                    lineStarted = true;
                }
                Put(piece, x, lineTop);
                x += piece.bounds.width + kFlowGap;
                bottom = std::max(bottom, lineTop + piece.bounds.height);
            }
        }
        return bottom + frame.top + frame.height - (inner.top + inner.height) - top;
    }

    const WindowPlaces m_table = TablePlaces();
    int m_width;
    WindowPlaces m_placed;
};

} // namespace

WindowPlaces TablePlaces()
{
    WindowPlaces table { {}, Pixels(kClientWidth), Pixels(kClientHeight) };
    for (std::size_t i = 0; i < kControlCount; ++i) {
        Place &place = table.places.at(i);
        const ControlRow &row = kControls.at(i);
        place = { Pixels(row.left), Pixels(row.top), Pixels(row.width), Pixels(row.height) };
        for (ControlId c = kContainers.at(i); c != kForm1; c = ContainerOf(c)) {
            place.left += Pixels(Row(c).left);
            place.top += Pixels(Row(c).top);
        }
    }
    return table;
}

WindowPlaces PlacesForView(int width)
{
    if (width >= Pixels(kClientWidth)) {
        return TablePlaces();
    }
    return Flow(width).Run();
}

} // namespace form
