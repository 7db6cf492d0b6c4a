// SPDX-License-Identifier: MIT
#include "calc/side_profile.h"

namespace calc {
namespace {

constexpr std::string_view kCrystalCaption = "Crystal Frequency (Hz) :";
constexpr std::string_view kWantedCaption = "Freq (MHz) :";
constexpr std::string_view kRefLowCaption = "Ref low (Hz) :";
constexpr std::string_view kRefHighCaption = "Ref high (Hz) :";
constexpr std::string_view kMaxErrorCaption = "Max Error (Hz) :";

constexpr SideProfile kRf {
    .side = Side::RF,
    .name = "RF",
    .startButton = Button::Command1,
    .crystal = { Box::Text5, kCrystalCaption },
    .wanted = { Box::Text8, kWantedCaption },
    .refLow = { Box::Text6, kRefLowCaption },
    .refHigh = { Box::Text7, kRefHighCaption },
    .maxError = { Box::Text9, kMaxErrorCaption },
    .matchCount = Box::Text10,
    .chargePumpLow = OptionButton::Option1,
    .smallPrescaler = OptionButton::Option3,
    .polarityNegative = OptionButton::Option7,
    .threeStateNormal = OptionButton::Option9,
    .powerUp = OptionButton::Option6,
    .smallModulus = 32,
    .largeModulus = 64,
    .overflowSmallPrescaler = "N-counter overflow (B-reg > 2047), Increase Ref low or change "
                              "Prescaler to 64! ",
    .overflowLargePrescaler = "N-counter overflow (N_RF > 2047), Increase Ref low! ",
    .rControl = 2,
    .nControl = 3,
    //           Disabled, IF LD, RF LD, RF/IF LD, IF R, RF R, IF N, RF N, Fastlock
    .foldBits = { 0, 0, 1, 1, 0, 2, 0, 3, 2 },
};

constexpr SideProfile kIf {
    .side = Side::IF,
    .name = "IF",
    .startButton = Button::Command2,
    .crystal = { Box::Text5, kCrystalCaption },
    .wanted = { Box::Text13, kWantedCaption },
    .refLow = { Box::Text15, kRefLowCaption },
    .refHigh = { Box::Text14, kRefHighCaption },
    .maxError = { Box::Text12, kMaxErrorCaption },
    .matchCount = Box::Text11,
    .chargePumpLow = OptionButton::Option29,
    .smallPrescaler = OptionButton::Option27,
    .polarityNegative = OptionButton::Option22,
    .threeStateNormal = OptionButton::Option21,
    .powerUp = OptionButton::Option24,
    .smallModulus = 8,
    .largeModulus = 16,
    .overflowSmallPrescaler = "N-counter overflow (B-reg > 2047), Increase Ref low or change "
                              "Prescaler to 16! ",
    .overflowLargePrescaler = "N-counter overflow (N_IF > 2047), Increase Ref low! ",
    .rControl = 0,
    .nControl = 1,
    //           Disabled, IF LD, RF LD, RF/IF LD, IF R, RF R, IF N, RF N, Fastlock
    .foldBits = { 0, 1, 0, 1, 2, 0, 3, 0, 2 },
};

} // namespace

const SideProfile &ProfileOf(Side side)
{
    return side == Side::RF ? kRf : kIf;
}

} // namespace calc
