// SPDX-License-Identifier: MIT
// Every control of the calculator's window: kind, container, caption, start state, place and
// size in twips, and tab index. Both front-ends, the desktop window and the web page, build the
// window from this one table; it names no toolkit.
#pragma once

#include "calc/side_profile.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace form {

constexpr std::string_view kWindowCaption = "LMX2330A Dual Frequency synthesizers";

enum class ControlKind { Frame, Label, TextBox, Option, Button, ProgressBar, ResultPane };

struct ControlRow {
    std::string_view name;
    std::string_view container; // empty for the window's own children
    ControlKind kind;
    std::string_view caption; // caption or initial text
    int left; // twips, from the container's outer top-left corner
    int top;
    int width;
    int height;
    int tabIndex;
    bool selected = false; // an option button selected at start
    bool whiteBackground = false; // a text box with an explicitly white background
};

// The layout was drawn for an 8-point sans-serif. The result pane has a font of its own, with tab
// stops every half inch, so that the rows' columns line up under the headings.
constexpr double kWindowFontPoints = 8.0;

// The window's font as drawn: the largest size from kWindowFontPoints down, by quarter points to
// six, at which `fits(points)` says every caption fits its control. A toolkit or a browser that
// draws a caption wider than the layout's font did (a substituted font, advances rounded to
// whole pixels) gets a slightly smaller font rather than captions cut off or run into a box.
template <typename Fits> double FittingWindowFontPoints(const Fits &fits)
{
    constexpr double kSmallest = 6.0;
    constexpr double kStep = 0.25;
    double points = kWindowFontPoints;
    while (points > kSmallest && !fits(points)) {
        points -= kStep;
    }
    return points;
}
constexpr std::string_view kPaneFontFamily = "Arial";
constexpr double kPaneFontPoints = 8.25;
constexpr int kPaneTabStopTwips = 720;

// 15 twips make one device-independent pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int kClientWidth = 10455;
constexpr int kClientHeight = 8385;

using K = ControlKind;

// clang-format off
inline constexpr std::array kControls = {
    ControlRow { "Frame2",       "",        K::Frame,       "Reference Setting",        60,   60, 10335,  675,  2 },
    ControlRow { "Frame3",       "",        K::Frame,       "RF Setting",               60,  780, 10335, 2055,  5 },
    ControlRow { "Frame10",      "",        K::Frame,       "IF Setting",               60, 2880, 10335, 2055, 42 },
    ControlRow { "RichTextBox1", "",        K::ResultPane,  "",                         60, 5040,  8235, 3135,  0 },
    ControlRow { "Frame9",       "",        K::Frame,       "Output FoLD",            8340, 4980,  2055, 3195, 28 },
    ControlRow { "ProgressBar1", "",        K::ProgressBar, "",                        120, 8220,  7335,  135,  1 },

    ControlRow { "Label7",       "Frame2",  K::Label,       "Crystal Frequency (Hz) :", 120,  300,  2295,  315,  3 },
    ControlRow { "Text5",        "Frame2",  K::TextBox,     "16800000",               2280,  240,  1455,  315,  4 },

    ControlRow { "Label9",       "Frame3",  K::Label,       "Ref low (Hz) :",          180,  420,  1095,  255,  7 },
    ControlRow { "Text6",        "Frame3",  K::TextBox,     "12500",                  1380,  360,   900,  315,  8 },
    ControlRow { "Label10",      "Frame3",  K::Label,       "Ref high (Hz) :",         180,  780,  1095,  255,  9 },
    ControlRow { "Text7",        "Frame3",  K::TextBox,     "100000",                 1380,  720,   900,  315, 10 },
    ControlRow { "Label12",      "Frame3",  K::Label,       "Freq (MHz) :",            180, 1140,  1095,  255, 11 },
    ControlRow { "Text8",        "Frame3",  K::TextBox,     "100e6",                  1380, 1080,   900,  315, 12, false, true },
    ControlRow { "Label13",      "Frame3",  K::Label,       "Max Error (Hz) :",        180, 1620,  1095,  255, 39 },
    ControlRow { "Text9",        "Frame3",  K::TextBox,     "0",                      1380, 1560,   900,  315, 38 },
    ControlRow { "Label14",      "Frame3",  K::Label,       "Nr of match :",          2460, 1620,  1095,  255, 41 },
    ControlRow { "Text10",       "Frame3",  K::TextBox,     "0",                      3420, 1560,   735,  315, 40 },
    ControlRow { "Frame4",       "Frame3",  K::Frame,       "Charge Pump Current",    2400,  300,  1815, 1155, 13 },
    ControlRow { "Option1",      "Frame4",  K::Option,      "Low",                     540,  300,   735,  255, 14, true },
    ControlRow { "Option2",      "Frame4",  K::Option,      "High",                    540,  660,   735,  255, 15 },
    ControlRow { "Frame5",       "Frame3",  K::Frame,       "Prescaler",              4380,  300,  1155, 1155, 16 },
    ControlRow { "Option3",      "Frame5",  K::Option,      "32/33",                   180,  360,   795,  195, 17, true },
    ControlRow { "Option4",      "Frame5",  K::Option,      "64/65",                   180,  720,   795,  255, 18 },
    ControlRow { "Frame7",       "Frame3",  K::Frame,       "Phase Polarity",         5700,  300,  1335, 1155, 22 },
    ControlRow { "Option8",      "Frame7",  K::Option,      "Positive",                180,  360,  1035,  255, 24, true },
    ControlRow { "Option7",      "Frame7",  K::Option,      "Negative",                180,  720,   975,  195, 23 },
    ControlRow { "Frame8",       "Frame3",  K::Frame,       "3-state",                7200,  300,  1155, 1155, 25 },
    ControlRow { "Option9",      "Frame8",  K::Option,      "Normal",                  180,  360,   915,  195, 26, true },
    ControlRow { "Option10",     "Frame8",  K::Option,      "3-state",                 180,  720,   915,  255, 27 },
    ControlRow { "Frame6",       "Frame3",  K::Frame,       "Power",                  8520,  300,  1155, 1155, 19 },
    ControlRow { "Option6",      "Frame6",  K::Option,      "Up",                      180,  360,   795,  195, 21, true },
    ControlRow { "Option5",      "Frame6",  K::Option,      "Down",                    180,  720,   795,  255, 20 },
    ControlRow { "Command1",     "Frame3",  K::Button,      "Calculate RF",           7860, 1560,  1815,  315, 68 },

    ControlRow { "Label19",      "Frame10", K::Label,       "Ref low (Hz) :",          180,  420,  1095,  255, 67 },
    ControlRow { "Text15",       "Frame10", K::TextBox,     "12500",                  1380,  360,   900,  315, 62 },
    ControlRow { "Label18",      "Frame10", K::Label,       "Ref high (Hz) :",         180,  780,  1095,  255, 66 },
    ControlRow { "Text14",       "Frame10", K::TextBox,     "100000",                 1380,  720,   900,  315, 61 },
    ControlRow { "Label17",      "Frame10", K::Label,       "Freq (MHz) :",            180, 1140,  1095,  255, 65 },
    ControlRow { "Text13",       "Frame10", K::TextBox,     "100e6",                  1380, 1080,   900,  315, 60, false, true },
    ControlRow { "Label16",      "Frame10", K::Label,       "Max Error (Hz) :",        180, 1620,  1095,  255, 64 },
    ControlRow { "Text12",       "Frame10", K::TextBox,     "0",                      1380, 1560,   900,  315, 44 },
    ControlRow { "Label15",      "Frame10", K::Label,       "Nr of match :",          2460, 1620,  1095,  255, 63 },
    ControlRow { "Text11",       "Frame10", K::TextBox,     "0",                      3420, 1560,   735,  315, 43 },
    ControlRow { "Frame15",      "Frame10", K::Frame,       "Charge Pump Current",    2400,  300,  1815, 1155, 57 },
    ControlRow { "Option29",     "Frame15", K::Option,      "Low",                     540,  300,   735,  255, 59, true },
    ControlRow { "Option28",     "Frame15", K::Option,      "High",                    540,  660,   735,  255, 58 },
    ControlRow { "Frame14",      "Frame10", K::Frame,       "Prescaler",              4380,  300,  1155, 1155, 54 },
    ControlRow { "Option27",     "Frame14", K::Option,      "8/9",                     180,  360,   795,  195, 56, true },
    ControlRow { "Option26",     "Frame14", K::Option,      "16/17",                   180,  720,   795,  255, 55 },
    ControlRow { "Frame12",      "Frame10", K::Frame,       "Phase Polarity",         5700,  300,  1335, 1155, 48 },
    ControlRow { "Option23",     "Frame12", K::Option,      "Positive",                240,  360,   975,  195, 50, true },
    ControlRow { "Option22",     "Frame12", K::Option,      "Negative",                180,  720,  1035,  255, 49 },
    ControlRow { "Frame11",      "Frame10", K::Frame,       "3-state",                7200,  300,  1155, 1155, 45 },
    ControlRow { "Option21",     "Frame11", K::Option,      "Normal",                  180,  360,   915,  195, 47, true },
    ControlRow { "Option20",     "Frame11", K::Option,      "3-state",                 180,  720,   915,  255, 46 },
    ControlRow { "Frame13",      "Frame10", K::Frame,       "Power",                  8520,  300,  1155, 1155, 51 },
    ControlRow { "Option24",     "Frame13", K::Option,      "Up",                      180,  360,   795,  195, 52, true },
    ControlRow { "Option25",     "Frame13", K::Option,      "Down",                    180,  720,   795,  255, 53 },
    ControlRow { "Command2",     "Frame10", K::Button,      "Calculate IF",           7860, 1560,  1815,  315, 69 },

    ControlRow { "Option11",     "Frame9",  K::Option,      "Disabled",                180,  300,  1155,  315, 29, true },
    ControlRow { "Option12",     "Frame9",  K::Option,      "IF lock Detect",          180,  600,  1575,  315, 30 },
    ControlRow { "Option13",     "Frame9",  K::Option,      "RF lock Detect",          180,  900,  1575,  315, 31 },
    ControlRow { "Option14",     "Frame9",  K::Option,      "RF/IF Lock Detect",       180, 1200,  1755,  315, 32 },
    ControlRow { "Option15",     "Frame9",  K::Option,      "IF R-Reference",          180, 1500,  1755,  315, 33 },
    ControlRow { "Option16",     "Frame9",  K::Option,      "RF R-Reference",          180, 1800,  1635,  315, 34 },
    ControlRow { "Option17",     "Frame9",  K::Option,      "IF N-Divider",            180, 2100,  1635,  315, 35 },
    ControlRow { "Option18",     "Frame9",  K::Option,      "RF N-Divider",            180, 2400,  1635,  315, 36 },
    ControlRow { "Option19",     "Frame9",  K::Option,      "Fastlock",                180, 2700,  1635,  315, 37 },
};
// clang-format on

// The table is in twips; the window is laid out in whole pixels.
constexpr bool AllWholePixels()
{
    for (const ControlRow &c : kControls) {
        for (int twips : { c.left, c.top, c.width, c.height }) {
            if (twips % kTwipsPerPixel != 0) {
                return false;
            }
        }
    }
    return kClientWidth % kTwipsPerPixel == 0 && kClientHeight % kTwipsPerPixel == 0;
}
static_assert(AllWholePixels());

constexpr int Pixels(int twips)
{
    return twips / kTwipsPerPixel;
}

// A control's identity: its row in kControls. Every front-end keeps what it holds of a control
// in arrays of kControlCount, indexed by identity, and tells the others which control it means
// by it (the page's script gets it with each control it creates).
enum class ControlId : std::uint8_t {};
constexpr std::size_t kControlCount = kControls.size();
// The window itself, as the container of its own children.
constexpr ControlId kForm1 = static_cast<ControlId>(kControlCount);

constexpr std::size_t Index(ControlId id)
{
    return static_cast<std::size_t>(id);
}

constexpr const ControlRow &Row(ControlId id)
{
    return kControls.at(Index(id));
}

// What the page's script calls each kind of control.
constexpr std::string_view KindName(ControlKind kind)
{
    constexpr std::array<std::string_view, 7> kNames
        = { "Frame", "Label", "TextBox", "Option", "Button", "ProgressBar", "ResultPane" };
    return kNames.at(static_cast<std::size_t>(kind));
}

namespace detail {

constexpr ControlId Named(std::string_view name)
{
    if (name.empty()) {
        return kForm1;
    }
    for (std::size_t i = 0; i < kControlCount; ++i) {
        if (kControls.at(i).name == name) {
            return static_cast<ControlId>(i);
        }
    }
    return static_cast<ControlId>(kControlCount + 1); // no such control: see below
}

// The number that ends a name: 8 for Text8. Used only to build the indexes below, when compiling.
constexpr std::size_t NumberOf(std::string_view name)
{
    std::size_t number = 0;
    for (char c : name.substr(name.find_first_of("0123456789"))) {
        number = number * 10 + static_cast<std::size_t>(c - '0');
    }
    return number;
}

// The controls of one kind by the number in their names, as the core numbers its boxes, option
// buttons and start buttons.
template <ControlKind kind> constexpr auto NumberIndex()
{
    constexpr std::size_t size = [] {
        std::size_t largest = 0;
        for (const ControlRow &row : kControls) {
            if (row.kind == kind) {
                largest = std::max(largest, NumberOf(row.name));
            }
        }
        return largest + 1;
    }();
    std::array<ControlId, size> index {};
    index.fill(kForm1);
    for (std::size_t i = 0; i < kControlCount; ++i) {
        if (kControls.at(i).kind == kind) {
            index.at(NumberOf(kControls.at(i).name)) = static_cast<ControlId>(i);
        }
    }
    return index;
}

} // namespace detail

// The frame (or the window) each control stands in.
inline constexpr auto kContainers = [] {
    std::array<ControlId, kControlCount> containers {};
    for (std::size_t i = 0; i < kControlCount; ++i) {
        containers.at(i) = detail::Named(kControls.at(i).container);
    }
    return containers;
}();

// std::all_of, not std::ranges::all_of: emscripten's libc++ has no range algorithms yet.
static_assert(std::all_of(kContainers.begin(), kContainers.end(),
                  [](ControlId c) { return Index(c) <= kControlCount; }),
    "a row names a container that the table lacks");

constexpr ControlId ContainerOf(ControlId id)
{
    return kContainers.at(Index(id));
}

inline constexpr auto kBoxes = detail::NumberIndex<ControlKind::TextBox>();
inline constexpr auto kOptions = detail::NumberIndex<ControlKind::Option>();
inline constexpr auto kButtons = detail::NumberIndex<ControlKind::Button>();

constexpr ControlId ControlOf(calc::Box box)
{
    return kBoxes.at(static_cast<std::size_t>(box));
}

constexpr ControlId ControlOf(calc::OptionButton button)
{
    return kOptions.at(static_cast<std::size_t>(button));
}

constexpr ControlId ControlOf(calc::Button button)
{
    return kButtons.at(static_cast<std::size_t>(button));
}

// Whether a control of the kind takes the keyboard focus: the boxes, the option buttons, the start
// buttons and the result pane do; labels, frames and the progress bar do not.
constexpr bool TakesFocus(ControlKind kind)
{
    return kind == ControlKind::TextBox || kind == ControlKind::Option
        || kind == ControlKind::Button || kind == ControlKind::ResultPane;
}

// The controls that take the focus, in the order Tab moves it through them: by tab index.
inline constexpr auto kFocusOrder = [] {
    constexpr auto count = static_cast<std::size_t>(std::count_if(kControls.begin(),
        kControls.end(), [](const ControlRow &row) { return TakesFocus(row.kind); }));
    std::array<ControlId, count> order {};
    std::size_t size = 0;
    for (std::size_t i = 0; i < kControlCount; ++i) {
        if (TakesFocus(kControls.at(i).kind)) {
            std::size_t at = size++;
            for (; at > 0 && Row(order.at(at - 1)).tabIndex > kControls.at(i).tabIndex; --at) {
                order.at(at) = order.at(at - 1);
            }
            order.at(at) = static_cast<ControlId>(i);
        }
    }
    return order;
}();

// Every box, option button and start button the core names is a control of its kind.
static_assert(ControlOf(calc::Box::Text5) != kForm1 && ControlOf(calc::Box::Text15) != kForm1);
static_assert(kBoxes.size() == static_cast<std::size_t>(calc::Box::Text15) + 1);
static_assert(kOptions.size() == static_cast<std::size_t>(calc::OptionButton::Option29) + 1);
static_assert(kButtons.size() == static_cast<std::size_t>(calc::Button::Command2) + 1);

} // namespace form
