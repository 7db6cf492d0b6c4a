// SPDX-License-Identifier: MIT
// The two synthesizers of the chip, RF and IF, run the same calculation; every difference
// between them (boxes, buttons, moduli, messages, control bits) is a value in this table.
#pragma once

#include "calc/chip_options.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace calc {

enum class Side : std::uint8_t { RF, IF };

// The window's input boxes, numbered as their controls: Box::Text8 is the box named Text8.
enum class Box : std::uint8_t {
    Text5 = 5,
    Text6,
    Text7,
    Text8,
    Text9,
    Text10,
    Text11,
    Text12,
    Text13,
    Text14,
    Text15,
};

// The window's option buttons, numbered as their controls.
enum class OptionButton : std::uint8_t {
    Option1 = 1,
    Option2,
    Option3,
    Option4,
    Option5,
    Option6,
    Option7,
    Option8,
    Option9,
    Option10,
    Option11,
    Option12,
    Option13,
    Option14,
    Option15,
    Option16,
    Option17,
    Option18,
    Option19,
    Option20,
    Option21,
    Option22,
    Option23,
    Option24,
    Option25,
    Option26,
    Option27,
    Option28,
    Option29,
};

// The window's start buttons, numbered as their controls.
enum class Button : std::uint8_t {
    Command1 = 1,
    Command2,
};

// A box the run reads, with the caption that names it to the user in error messages.
struct InputField {
    Box box;
    std::string_view caption;
};

struct SideProfile {
    Side side;
    std::string_view name; // "RF" or "IF", as the column headings print it
    Button startButton;

    InputField crystal;
    InputField wanted;
    InputField refLow;
    InputField refHigh;
    InputField maxError;
    Box matchCount;

    // For each chip option, the button whose selection leaves the option's bit clear.
    OptionButton chargePumpLow;
    OptionButton smallPrescaler;
    OptionButton polarityNegative;
    OptionButton threeStateNormal;
    OptionButton powerUp;

    std::int32_t smallModulus; // the dual-modulus prescaler P when smallPrescaler is selected
    std::int32_t largeModulus;
    std::string_view overflowSmallPrescaler; // B counter overflow, small prescaler selected
    std::string_view overflowLargePrescaler;

    std::int32_t rControl; // bits 0-1 of the R word
    std::int32_t nControl; // bits 0-1 of the N word

    // The two FoLD bits of this side's R word for each mode: bit 0 of the value goes to bit 20
    // of the word, bit 1 to bit 21.
    std::array<std::uint8_t, kFoldModeCount> foldBits;
};

const SideProfile &ProfileOf(Side side);

} // namespace calc
