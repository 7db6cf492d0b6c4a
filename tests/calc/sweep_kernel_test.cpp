// SPDX-License-Identifier: MIT
#include "calc/sweep_kernel.h"

#include "calc/calculation_run.h"
#include "calc/number_reading.h"
#include "calc/sweep_crew.h"
#include "tests/calc/recording_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace calc {
namespace {

using testing::RecordingWindow;

// Parts of a few dividers, which split even the shortest stretches across the threads.
constexpr SweepSharing kSmallParts { .leadPart = 7, .smallestPart = 5, .partsPerCore = 4 };

// The kernel's stop, written as the run tries one divider.
bool StopsAt(const HeldReadings &held, std::int64_t r)
{
    const double fRef = held.crystal / static_cast<double>(r);
    const double n = RoundHalfEven(held.wanted / fRef);
    if (!(n >= -2147483648.0 && n <= 2147483647.0)) {
        return true;
    }
    return std::fabs(fRef * n - held.wanted) <= held.maxError;
}

TEST(FindStoppingDivider, EveryPathStopsWhereOneDividerAtATimeWould)
{
    const double infinity = std::numeric_limits<double>::infinity();
    const std::vector<HeldReadings> readings = {
        { 16800000, 1000, 0 }, // stops at the multiples of 16800
        { 16800000, 100e6, 1e-6 }, // the exact divisors, and errors of 1.49e-8
        { 16800000, 3e13, 0 }, // N leaves the 32-bit range at R 1203
        { 16800000, -100e6, 0.5 }, { 0, 100e6, infinity }, // N is infinite, then not a number
        { 16800000, 1e6, -1 }, // nothing is within a negative limit
    };
    const std::vector<std::pair<std::int64_t, std::int64_t>> ranges = { { 1, 1 }, { 1, 63 },
        { 1, 64 }, { 1, 65 }, { 168, 100'000 }, { 2'147'483'000, 2'147'483'649 } };
    std::array<SweepCrew, 3> crews { SweepCrew(1, kSmallParts), SweepCrew(2, kSmallParts),
        SweepCrew(3, kSmallParts) };
    for (const HeldReadings &held : readings) {
        for (auto [first, last] : ranges) {
            std::int64_t expected = first;
            while (expected <= last && !StopsAt(held, expected)) {
                ++expected;
            }
            for (SweepPath path : SweepPathsOfThisMachine()) {
                EXPECT_EQ(FindStoppingDivider(path, held, first, last), expected)
                    << SweepPathName(path) << " wanted " << held.wanted << " from " << first;
                for (SweepCrew &crew : crews) {
                    EXPECT_EQ(crew.FindStoppingDivider(path, held, first, last), expected)
                        << SweepPathName(path) << " on " << crew.Cores() << " threads, wanted "
                        << held.wanted << " from " << first;
                }
            }
        }
    }
}

// A window that lets the run try dividers in blocks of up to `block` without yielding, but never
// past a divider at whose yield it edits a box: the real window turns its event loop, and the
// user's edits arrive, only at a yield the run makes.
class BlockWindow : public RecordingWindow {
public:
    explicit BlockWindow(std::int64_t block)
        : m_block(block)
    {
        onYield = [this](RecordingWindow &window, int) {
            if (const auto edit = edits.find(window.progressValue); edit != edits.end()) {
                window.fields[edit->second.first] = edit->second.second;
                edits.erase(edit);
            }
            return AfterYield::Continue;
        };
    }

    std::int64_t QuietYields() override
    {
        const auto nextEdit = edits.upper_bound(progressValue);
        return nextEdit == edits.end() ? m_block
                                       : std::min(m_block, nextEdit->first - progressValue - 1);
    }

    std::map<std::int64_t, std::pair<Box, std::string>> edits; // by the divider they come at

private:
    std::int64_t m_block;
};

struct Sweep {
    const char *name;
    std::map<Box, std::string> fields;
    std::map<std::int64_t, std::pair<Box, std::string>> edits;
    OptionButton prescaler = OptionButton::Option3;
};

TEST(RunCalculation, EveryPathAndBlockWritesTheSameReport)
{
    const std::vector<Sweep> sweeps = {
        { "start-up", {}, {} },
        { "overflow stop", { { Box::Text8, "2.5e9" } }, {} },
        { "errors of 1.49e-8", { { Box::Text6, "1000" }, { Box::Text9, "1e-6" } }, {} },
        { "every divider a match",
            { { Box::Text8, "1e6" }, { Box::Text6, "3000" }, { Box::Text9, "1e9" } }, {},
            OptionButton::Option4 },
        { "negative wanted", { { Box::Text8, "-100e6" }, { Box::Text9, "1000" } }, {} },
        { "N beyond 32 bits",
            { { Box::Text8, "3e13" }, { Box::Text6, "1000" }, { Box::Text9, "-1" } }, {} },
        { "edits between blocks", { { Box::Text6, "200" }, { Box::Text8, "1e6" } },
            { { 20000, { Box::Text8, "2e6" } }, { 45000, { Box::Text9, "1e-3" } },
                { 45001, { Box::Text5, "16800001" } }, { 60000, { Box::Text8, "7e6" } },
                { 75000, { Box::Text8, "x" } } } },
    };
    std::array<SweepCrew, 3> crews { SweepCrew(1, kSmallParts), SweepCrew(2, kSmallParts),
        SweepCrew(3, kSmallParts) };
    for (const Sweep &sweep : sweeps) {
        const auto run = [&sweep](std::int64_t block, SweepPath path, SweepCrew *crew) {
            BlockWindow window(block);
            window.crew = crew;
            for (const auto &[box, text] : sweep.fields) {
                window.fields[box] = text;
            }
            window.edits = sweep.edits;
            window.Select(sweep.prescaler);
            RunCalculation(Side::RF, window, path);
            return std::tuple(window.pane, window.fields[Box::Text10], window.progressValue,
                window.errorBoxes.size());
        };
        const auto oneByOne = run(0, SweepPath::Plain, nullptr);
        for (SweepPath path : SweepPathsOfThisMachine()) {
            for (std::int64_t block : { 1, 63, 64, 65, 1000, 1 << 30 }) {
                for (SweepCrew &crew : crews) {
                    EXPECT_EQ(run(block, path, &crew), oneByOne)
                        << sweep.name << " on " << SweepPathName(path) << " in blocks of " << block
                        << " on " << crew.Cores() << " threads";
                }
            }
        }
    }
}

} // namespace
} // namespace calc
