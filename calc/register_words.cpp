// SPDX-License-Identifier: MIT
#include "calc/register_words.h"

#include <cstddef>

namespace calc {
namespace {

// R word                                  N word
//  bits   field        from                bits   field        from
//  0-1    control      RF 2, IF 0          0-1    control      RF 3, IF 1
//  2-16   R divider    r x 4               2-8    A counter    a x 4
//  17     polarity     positive            9-19   B counter    b x 512
//  18     charge pump  high                20     prescaler    the larger one
//  19     output       3-state             21     power        down
//  20-21  FoLD mode    the side's two bits
constexpr std::int64_t kRDividerScale = std::int64_t { 1 } << 2;
constexpr std::int64_t kPolarityBit = std::int64_t { 1 } << 17;
constexpr std::int64_t kChargePumpBit = std::int64_t { 1 } << 18;
constexpr std::int64_t kThreeStateBit = std::int64_t { 1 } << 19;
constexpr std::int64_t kFoldLowBit = std::int64_t { 1 } << 20;
constexpr std::int64_t kFoldHighBit = std::int64_t { 1 } << 21;

constexpr std::int64_t kACounterScale = std::int64_t { 1 } << 2;
constexpr std::int64_t kBCounterScale = std::int64_t { 1 } << 9;
constexpr std::int64_t kPrescalerBit = std::int64_t { 1 } << 20;
constexpr std::int64_t kPowerDownBit = std::int64_t { 1 } << 21;

std::int64_t BitIf(bool set, std::int64_t bit)
{
    return set ? bit : 0;
}

} // namespace

RegisterWords EncodeRegisterWords(Side side, std::int64_t r, std::int64_t b, std::int64_t a,
    const ChipOptions &options, FoldMode fold)
{
    const SideProfile &profile = ProfileOf(side);
    const unsigned foldBits = profile.foldBits[static_cast<std::size_t>(fold)];

    RegisterWords words;
    words.rWord = r * kRDividerScale + profile.rControl
        + BitIf(options.polarityPositive, kPolarityBit)
        + BitIf(options.chargePumpHigh, kChargePumpBit) + BitIf(options.threeState, kThreeStateBit)
        + BitIf((foldBits & 1U) != 0, kFoldLowBit) + BitIf((foldBits & 2U) != 0, kFoldHighBit);
    words.nWord = a * kACounterScale + profile.nControl + b * kBCounterScale
        + BitIf(options.largePrescaler, kPrescalerBit) + BitIf(options.powerDown, kPowerDownBit);
    return words;
}

} // namespace calc
