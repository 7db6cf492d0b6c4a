// SPDX-License-Identifier: MIT
// The sweeps the benchmarks time: the start-up settings, and three that a user widening the
// band asks for.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace bench {

struct Scenario {
    std::string_view name;
    std::string_view crystal;
    std::string_view wanted;
    std::string_view refLow;
    std::string_view refHigh;
    std::string_view maxError;
    bool largePrescaler; // "64/65" rather than "32/33"
    std::int64_t dividers;
};

// S1: the start-up settings. S2: 16.8 million dividers, few matches. S3 and S4: every divider a
// match, with the 64/65 prescaler, a hundred thousand and a million of them.
constexpr std::array kScenarios = {
    Scenario { "S1", "16800000", "100e6", "12500", "100000", "0", false, 1178 },
    Scenario { "S2", "16800000", "1000", "1", "100000", "0", false, 16'800'001 - 168 + 1 },
    Scenario { "S3", "16800000", "1e6", "168", "100000", "1e9", true, 100'001 - 168 + 1 },
    Scenario { "S4", "16800000", "1e6", "17", "100000", "1e9", true, 988'236 - 168 + 1 },
};

} // namespace bench
