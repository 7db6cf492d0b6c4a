// SPDX-License-Identifier: MIT
#include "tests/calc/recording_window.h"

#include <fstream>
#include <initializer_list>
#include <iterator>
#include <stdexcept>

namespace calc::testing {
namespace {

std::string Name(Box box)
{
    return "Text" + std::to_string(static_cast<int>(box));
}

std::string Name(OptionButton button)
{
    return "Option" + std::to_string(static_cast<int>(button));
}

// The window's eleven option groups: Option1 and Option2 form one, Option11 to Option19 another.
int GroupOf(int number)
{
    if (number >= 11 && number <= 19) {
        return 0;
    }
    return number <= 10 ? (number + 1) / 2 : number / 2;
}

} // namespace

RecordingWindow::RecordingWindow()
{
    fields = {
        { Box::Text5, "16800000" },
        { Box::Text6, "12500" },
        { Box::Text7, "100000" },
        { Box::Text8, "100e6" },
        { Box::Text9, "0" },
        { Box::Text10, "0" },
        { Box::Text11, "0" },
        { Box::Text12, "0" },
        { Box::Text13, "100e6" },
        { Box::Text14, "100000" },
        { Box::Text15, "12500" },
    };
    for (int number : { 1, 3, 6, 8, 9, 11, 21, 23, 24, 27, 29 }) {
        selected.insert(static_cast<OptionButton>(number));
    }
}

void RecordingWindow::Select(OptionButton button)
{
    const int group = GroupOf(static_cast<int>(button));
    for (int number = 1; number <= 29; ++number) {
        if (GroupOf(number) == group) {
            selected.erase(static_cast<OptionButton>(number));
        }
    }
    selected.insert(button);
}

std::string_view RecordingWindow::FieldText(Box box)
{
    log.push_back("FieldText " + Name(box));
    return fields[box];
}

bool RecordingWindow::OptionSelected(OptionButton button)
{
    log.push_back("OptionSelected " + Name(button));
    return selected.contains(button);
}

void RecordingWindow::SetMatchCount(Box counter, std::string_view text)
{
    log.push_back("SetMatchCount " + Name(counter) + " " + std::string(text));
    fields[counter] = text;
}

void RecordingWindow::SetPaneText(std::string_view text)
{
    log.push_back("SetPaneText");
    pane = text;
}

void RecordingWindow::AppendPaneText(std::string_view text)
{
    log.push_back("AppendPaneText");
    pane += text;
}

void RecordingWindow::SetProgressMaximum(std::int64_t maximum)
{
    log.push_back("SetProgressMaximum " + std::to_string(maximum));
    progressMaximum = maximum;
}

void RecordingWindow::SetProgressMinimum(std::int64_t minimum)
{
    log.push_back("SetProgressMinimum " + std::to_string(minimum));
    progressMinimum = minimum;
}

void RecordingWindow::SetProgressValue(std::int64_t value)
{
    log.push_back("SetProgressValue " + std::to_string(value));
    progressValue = value;
    dividersTried.push_back(value);
}

void RecordingWindow::ShowErrorBox(std::string_view title, std::string_view text)
{
    log.push_back("ShowErrorBox");
    errorBoxes.push_back({ std::string(title), std::string(text) });
}

AfterYield RecordingWindow::Yield()
{
    log.push_back("Yield");
    ++yields;
    return onYield ? onYield(*this, yields) : AfterYield::Continue;
}

NumberFormat RecordingWindow::UserNumberFormat()
{
    log.push_back("UserNumberFormat");
    return format;
}

std::string ReadTestData(const std::string &name)
{
    const std::string path = std::string(PLL_TEST_DATA_DIR) + "/" + name;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot open " + path);
    }
    return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
}

} // namespace calc::testing
