// SPDX-License-Identifier: MIT
#include "form/pane_input.h"

#include <algorithm>
#include <cmath>

namespace form {
namespace {

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// No key does two things in one map.
constexpr bool EachKeyBoundOnce()
{
    for (std::size_t i = 0; i < kPaneKeyMap.size(); ++i) {
        for (std::size_t j = i + 1; j < kPaneKeyMap.size(); ++j) {
            const PaneKeyBinding &a = kPaneKeyMap.at(i);
            const PaneKeyBinding &b = kPaneKeyMap.at(j);
            if (a.key == b.key
                && ((a.usual == b.usual && a.usual != kUnbound)
                    || (a.mac == b.mac && a.mac != kUnbound))) {
                return false;
            }
        }
    }
    return true;
}
static_assert(EachKeyBoundOnce());

// Qt's own text panes step every 4900 / d² ms at d px past the edge, within these bounds.
constexpr double kAutoScrollPace = 4900; // ms times pixels squared
constexpr double kAutoScrollNearest = 7; // px: nearer than this scrolls as slowly as this
constexpr int kAutoScrollSlowest = 100; // ms
constexpr int kAutoScrollFastest = 5; // ms

// How far `at` lies before `low` (negative) or past `high`.
double Beyond(double at, double low, double high)
{
    return at < low ? at - low : at > high ? at - high : 0;
}

int Direction(double beyond)
{
    return beyond < 0 ? -1 : beyond > 0 ? 1 : 0;
}

} // namespace

const PaneKeyBinding *FindPaneKey(KeyMap map, std::string_view key, std::uint8_t modifiers)
{
    const auto *found
        = std::find_if(kPaneKeyMap.begin(), kPaneKeyMap.end(), [&](const PaneKeyBinding &b) {
              const bool sameKey = key.size() == 1 && b.key.size() == 1
                  ? Lower(key.front()) == b.key.front()
                  : key == b.key;
              return sameKey && (map == KeyMap::Mac ? b.mac : b.usual) == modifiers;
          });
    return found == kPaneKeyMap.end() ? nullptr : found;
}

Click NextClick(const Click &last, double x, double y, double time, ClickLimits limits)
{
    const bool follows = last.count > 0 && time - last.time < limits.interval
        && std::hypot(x - last.x, y - last.y) < limits.distance;
    return { x, y, time, follows ? static_cast<int>(UnitOf(last.count + 1)) : 1 };
}

std::optional<AutoScroll> AutoScrollFor(const ViewEdges &view, double x, double y)
{
    const double beyondX = Beyond(x, view.left, view.right);
    const double beyondY = Beyond(y, view.top, view.bottom);
    if (beyondX == 0 && beyondY == 0) {
        return std::nullopt;
    }
    const double distance = std::max({ std::abs(beyondX), std::abs(beyondY), kAutoScrollNearest });
    const auto interval = static_cast<int>(kAutoScrollPace / (distance * distance));
    return AutoScroll { Direction(beyondX), Direction(beyondY),
        std::clamp(interval, kAutoScrollFastest, kAutoScrollSlowest) };
}

double ScrollToReveal(double x, double scroll, double width, double margin)
{
    if (x - margin < scroll) {
        return std::max(x - margin, 0.0);
    }
    if (x + margin > scroll + width) {
        return x + margin - width;
    }
    return scroll;
}

} // namespace form
