// SPDX-License-Identifier: MIT
#include "form/flow.h"

#include "form/accessible_names.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace form {
namespace {

// The touch layout's spacing, in px: between targets and frames; inside a frame's border; the
// line of a frame's caption, over what the frame holds; the line of a caption over its box; an
// option's marker, before its caption.
constexpr int kTouchGap = 8;
constexpr int kTouchInset = 8;
constexpr int kTouchLegend = 24;
constexpr int kTouchCaption = 20;
constexpr int kTouchMarker = 32;
// A frame's caption stands this far in from the frame's left edge, and as far from its right.
constexpr int kTouchLegendInset = 12;
// A box is as wide as its line allows, within these; a button, as its caption with some room.
constexpr int kTouchNarrowestBox = 120;
constexpr int kTouchWidestBox = 240;
constexpr int kTouchNarrowestButton = 160;
constexpr int kTouchButtonPadding = 16;
constexpr int kTouchPaneHeight = 300;

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

std::vector<Piece> PiecesIn(const WindowPlaces &table, ControlId container)
{
    const Ids children = ChildrenOf(container);
    std::vector<std::pair<ControlId, ControlId>> partners; // a caption and the box it names
    for (ControlId id : children) {
        if (const ControlRow *caption = CaptionOf(Row(id))) {
            partners.emplace_back(static_cast<ControlId>(caption - kControls.data()), id);
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

// The frames first, in reading order, and the result pane last: a user scrolls through it after
// everything else. (Every order of pieces is a function of this one type, which the sort is
// compiled once for.)
bool ByColumnOrder(const Piece &a, const Piece &b)
{
    const auto rank = [](const Piece &piece) {
        return piece.kind == ControlKind::Frame ? 0 : piece.kind == ControlKind::ResultPane ? 2 : 1;
    };
    return rank(a) != rank(b) ? rank(a) < rank(b) : ByReadingOrder(a, b);
}

bool ByLeft(const Piece &a, const Piece &b)
{
    return a.bounds.left < b.bounds.left;
}

class TouchFlow {
public:
    TouchFlow(int width, const CaptionWidth &captionWidth)
        : m_captionWidth(captionWidth)
    {
        m_placed.width = width;
        m_placed.fontSize = kTouchFontSize;
        m_placed.paneFontSize = kTouchPaneFontSize;
        m_placed.paneLineHeight = kTouchPaneLineHeight;
        m_placed.touch = true;
    }

    WindowPlaces Run()
    {
        std::vector<Piece> pieces = PiecesIn(m_table, kForm1);
        std::stable_sort(pieces.begin(), pieces.end(), ByColumnOrder);
        const int margin = m_table.places.at(Index(pieces.front().members.front())).top;
        const int width = m_placed.width - 2 * margin;
        int y = margin;
        for (const Piece &piece : pieces) {
            const ControlId id = piece.members.front();
            if (piece.kind == ControlKind::Frame) {
                y = Frame(id, margin, y, width);
            } else {
                const bool pane = piece.kind == ControlKind::ResultPane;
                y = Put(id, margin, y, width, pane ? kTouchPaneHeight : piece.bounds.height);
            }
        }
        m_placed.height = y - kTouchGap + margin;
        return m_placed;
    }

private:
    int Width(ControlId id) const
    {
        return static_cast<int>(std::ceil(m_captionWidth(Row(id).caption)));
    }

    // Places the control; returns where the next one goes below it.
    int Put(ControlId id, int left, int top, int width, int height)
    {
        m_placed.places.at(Index(id)) = { left, top, width, height };
        return top + height + kTouchGap;
    }

    // Lays out the frame and what it holds from (left, top), `width` wide; returns where the
    // next piece goes below it.
    int Frame(ControlId frame, int left, int top, int width)
    {
        const int x = left + kTouchInset;
        const int inner = width - 2 * kTouchInset;
        int y = top + kTouchLegend;
        std::vector<Piece> pieces = PiecesIn(m_table, frame);
        if (std::all_of(pieces.begin(), pieces.end(),
                [](const Piece &piece) { return piece.kind == ControlKind::Option; })) {
            y = Options(frame, x, y, inner, INT_MAX);
        } else {
            std::vector<Piece> groups;
            std::vector<Piece> others;
            int captions = 0;
            for (Piece &piece : pieces) {
                if (piece.kind == ControlKind::Label) {
                    captions = std::max(captions, Width(piece.members.front()) + kTouchGap);
                }
                (piece.kind == ControlKind::Frame ? groups : others).push_back(std::move(piece));
            }
            std::stable_sort(others.begin(), others.end(), ByReadingOrder);
            std::stable_sort(groups.begin(), groups.end(), ByLeft);
            int groupsLeft = INT_MAX;
            for (const Piece &group : groups) {
                groupsLeft = std::min(groupsLeft, group.bounds.left);
            }
            // A caption stands beside its box when the box keeps room enough, else above it.
            const int beside = captions + kTouchNarrowestBox <= inner ? captions : 0;
            for (const Piece &piece : others) {
                if (piece.bounds.left < groupsLeft) {
                    y = Target(piece, x, y, inner, beside);
                }
            }
            y = Groups(groups, x, y, inner);
            for (const Piece &piece : others) {
                if (piece.bounds.left >= groupsLeft) {
                    y = Target(piece, x, y, inner, beside);
                }
            }
        }
        return Put(frame, left, top, width, y - kTouchGap + kTouchInset - top);
    }

    // A box with its caption (beside it, in a column `beside` px wide, or above it if none), or
    // a button.
    int Target(const Piece &piece, int x, int y, int inner, int beside)
    {
        const ControlId first = piece.members.front();
        if (piece.kind == ControlKind::Button) {
            const int width
                = std::max(Width(first) + 2 * kTouchButtonPadding, kTouchNarrowestButton);
            return Put(first, x, y, std::min(width, inner), kTouchTarget);
        }
        const ControlId box = piece.members.back();
        if (piece.kind == ControlKind::Label && beside > 0) {
            Put(first, x, y + (kTouchTarget - kTouchCaption) / 2, beside - kTouchGap,
                kTouchCaption);
            return Put(box, x + beside, y, std::min(inner - beside, kTouchWidestBox), kTouchTarget);
        }
        if (piece.kind == ControlKind::Label) {
            y = Put(first, x, y, inner, kTouchCaption) - kTouchGap;
        }
        return Put(box, x, y, std::min(inner, kTouchWidestBox), kTouchTarget);
    }

    // Option groups side by side, each as wide as its caption or its widest option, wrapping as
    // the width allows.
    int Groups(const std::vector<Piece> &groups, int x, int y, int inner)
    {
        int lineX = x;
        int lineTop = y;
        int bottom = y;
        for (const Piece &group : groups) {
            const ControlId id = group.members.front();
            const int width = std::min(inner,
                std::max(Width(id) + 2 * kTouchLegendInset, OptionWidth(id) + 2 * kTouchInset));
            if (lineX > x && lineX + width > x + inner) {
                lineX = x;
                lineTop = bottom;
            }
            const int end = Options(
                id, lineX + kTouchInset, lineTop + kTouchLegend, width - 2 * kTouchInset, 1);
            bottom = Put(id, lineX, lineTop, width, end - kTouchGap + kTouchInset - lineTop);
            lineX += width + kTouchGap;
        }
        return bottom;
    }

    // An option's marker and its caption.
    int OptionWidth(ControlId group)
    {
        int widest = 0;
        for (ControlId option : ChildrenOf(group)) {
            widest = std::max(widest, Width(option));
        }
        return kTouchMarker + widest + kTouchGap;
    }

    // The group's options in the table's order, in as many columns as the width takes, up to
    // `mostColumns`.
    int Options(ControlId group, int x, int y, int inner, int mostColumns)
    {
        const Ids options = ChildrenOf(group); // the table lists them from the top down
        const int count = static_cast<int>(options.size());
        const int columns = std::clamp((inner + kTouchGap) / (OptionWidth(group) + kTouchGap), 1,
            std::min(count, mostColumns));
        const int rows = (count + columns - 1) / columns;
        const int width = (inner - (columns - 1) * kTouchGap) / columns;
        for (int i = 0; i < count; ++i) {
            Put(options.at(static_cast<std::size_t>(i)), x + i / rows * (width + kTouchGap),
                y + i % rows * kTouchTarget, width, kTouchTarget);
        }
        return y + rows * kTouchTarget + kTouchGap;
    }

    const WindowPlaces m_table = TablePlaces();
    const CaptionWidth &m_captionWidth;
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

WindowPlaces PlacesForView(int width, Pointer pointer, const CaptionWidth &captionWidth)
{
    if (pointer == Pointer::Fine && width >= Pixels(kClientWidth)) {
        return TablePlaces();
    }
    return TouchFlow(std::min(width, Pixels(kClientWidth)), captionWidth).Run();
}

} // namespace form
