// SPDX-License-Identifier: MIT
#include "calc/register_words.h"

#include <gtest/gtest.h>

#include <array>

namespace calc {
namespace {

constexpr ChipOptions kDefaults {};

TEST(EncodeRegisterWords, DefaultOptionsGiveTheDatasheetWords)
{
    EXPECT_EQ(EncodeRegisterWords(Side::RF, 168, 31, 8, kDefaults, FoldMode::Disabled),
        (RegisterWords { 131746, 15907 }));
    EXPECT_EQ(EncodeRegisterWords(Side::IF, 168, 125, 0, kDefaults, FoldMode::Disabled),
        (RegisterWords { 131744, 64001 }));
    EXPECT_EQ(EncodeRegisterWords(Side::RF, 1344, 250, 0, kDefaults, FoldMode::Disabled),
        (RegisterWords { 0x021502, 0x01F403 }));
}

// Counters beyond their fields are summed, not masked: the chip would see the carry.
TEST(EncodeRegisterWords, OversizedCountersCarryIntoTheNextBits)
{
    EXPECT_EQ(
        EncodeRegisterWords(Side::RF, 441, 2050, 25, kDefaults, FoldMode::Disabled).nWord, 1049703);
    EXPECT_EQ(
        EncodeRegisterWords(Side::RF, 32768, 0, 0, kDefaults, FoldMode::Disabled).rWord, 0x040002);
    EXPECT_EQ(EncodeRegisterWords(Side::IF, 2147483649, 0, 0, kDefaults, FoldMode::Disabled).rWord,
        8589934596 + (1 << 17));
}

TEST(EncodeRegisterWords, EachOptionSetsItsOwnBit)
{
    for (Side side : { Side::RF, Side::IF }) {
        const RegisterWords base
            = EncodeRegisterWords(side, 168, 31, 8, kDefaults, FoldMode::Disabled);
        const auto with = [side](ChipOptions options) {
            return EncodeRegisterWords(side, 168, 31, 8, options, FoldMode::Disabled);
        };
        ChipOptions high;
        high.chargePumpHigh = true;
        EXPECT_EQ(with(high), (RegisterWords { base.rWord + (1 << 18), base.nWord }));
        ChipOptions negative;
        negative.polarityPositive = false;
        EXPECT_EQ(with(negative), (RegisterWords { base.rWord - (1 << 17), base.nWord }));
        ChipOptions threeState;
        threeState.threeState = true;
        EXPECT_EQ(with(threeState), (RegisterWords { base.rWord + (1 << 19), base.nWord }));
        ChipOptions large;
        large.largePrescaler = true;
        EXPECT_EQ(with(large), (RegisterWords { base.rWord, base.nWord + (1 << 20) }));
        ChipOptions down;
        down.powerDown = true;
        EXPECT_EQ(with(down), (RegisterWords { base.rWord, base.nWord + (1 << 21) }));
    }
}

// Which FoLD bits each mode sets in the RF and the IF R word; the N words never change.
TEST(EncodeRegisterWords, FoldModesSetTheirSidesBits)
{
    struct Case {
        FoldMode mode;
        std::int64_t rfBits;
        std::int64_t ifBits;
    };
    constexpr std::int64_t kBit20 = 1 << 20;
    constexpr std::int64_t kBit21 = 1 << 21;
    const std::array<Case, kFoldModeCount> cases = { {
        { FoldMode::Disabled, 0, 0 },
        { FoldMode::IfLockDetect, 0, kBit20 },
        { FoldMode::RfLockDetect, kBit20, 0 },
        { FoldMode::RfIfLockDetect, kBit20, kBit20 },
        { FoldMode::IfRReference, 0, kBit21 },
        { FoldMode::RfRReference, kBit21, 0 },
        { FoldMode::IfNDivider, 0, kBit20 | kBit21 },
        { FoldMode::RfNDivider, kBit20 | kBit21, 0 },
        { FoldMode::Fastlock, kBit21, kBit21 },
    } };
    const RegisterWords rf
        = EncodeRegisterWords(Side::RF, 168, 31, 8, kDefaults, FoldMode::Disabled);
    const RegisterWords ifWords
        = EncodeRegisterWords(Side::IF, 168, 125, 0, kDefaults, FoldMode::Disabled);
    for (const Case &c : cases) {
        EXPECT_EQ(EncodeRegisterWords(Side::RF, 168, 31, 8, kDefaults, c.mode),
            (RegisterWords { rf.rWord + c.rfBits, rf.nWord }))
            << static_cast<int>(c.mode);
        EXPECT_EQ(EncodeRegisterWords(Side::IF, 168, 125, 0, kDefaults, c.mode),
            (RegisterWords { ifWords.rWord + c.ifBits, ifWords.nWord }))
            << static_cast<int>(c.mode);
    }
}

} // namespace
} // namespace calc
