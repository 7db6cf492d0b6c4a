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
    std::int64_t dividers; // tried in a run
    std::int64_t lastDivider; // the last of them
};

// S1: the start-up settings. S2: 16.8 million dividers, few matches. S3 and S4: every divider a
// match, with the 64/65 prescaler, a hundred thousand and a million of them. S5: the widest band
// a user can type, swept until the B counter overflows at R = 924,144,827, where the one box
// comes up.
constexpr std::array kScenarios = {
    Scenario { "S1", "16800000", "100e6", "12500", "100000", "0", false, 1178, 1345 },
    Scenario {
        "S2", "16800000", "1000", "1", "100000", "0", false, 16'800'001 - 168 + 1, 16'800'001 },
    Scenario { "S3", "16800000", "1e6", "168", "100000", "1e9", true, 100'001 - 168 + 1, 100'001 },
    Scenario { "S4", "16800000", "1e6", "17", "100000", "1e9", true, 988'236 - 168 + 1, 988'236 },
    Scenario { "S5", "2147483647", "100e6", "1", "100000", "0", false, 924'144'827 - 21'474 + 1,
        924'144'827 },
};

} // namespace bench
