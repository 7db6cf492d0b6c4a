// SPDX-License-Identifier: MIT
// The chip's options for one synthesizer and the shared mode of the FoLD output pin, as plain
// records: the window's option groups read into the values that the register words carry.
#pragma once

#include <cstddef>
#include <cstdint>

namespace calc {

// Five yes/no settings of one synthesizer, read from the window each time a row is built.
struct ChipOptions {
    bool chargePumpHigh = false;
    bool polarityPositive = true;
    bool threeState = false;
    bool largePrescaler = false;
    bool powerDown = false;

    friend bool operator==(const ChipOptions &, const ChipOptions &) = default;
};

// What the FoLD pin outputs; one mode for both synthesizers. The order is the order of the
// window's "Output FoLD" buttons, top to bottom.
enum class FoldMode : std::uint8_t {
    Disabled,
    IfLockDetect,
    RfLockDetect,
    RfIfLockDetect,
    IfRReference,
    RfRReference,
    IfNDivider,
    RfNDivider,
    Fastlock,
};

inline constexpr std::size_t kFoldModeCount = 9;

} // namespace calc
