// SPDX-License-Identifier: MIT
// A window for the run to talk to in tests: it answers from maps, logs every call in order and
// closes its error box at once. Starts with the real window's start-up settings.
#pragma once

#include "calc/sweep_crew.h"
#include "calc/window_ops.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace calc::testing {

struct ErrorBox {
    std::string title;
    std::string text;
};

class RecordingWindow : public WindowOps {
public:
    RecordingWindow();

    // Selects a button and clears the others of its group, as the window's frames do.
    void Select(OptionButton button);

    std::string_view FieldText(Box box) override;
    bool OptionSelected(OptionButton button) override;
    void SetMatchCount(Box counter, std::string_view text) override;
    void SetPaneText(std::string_view text) override;
    void AppendPaneText(std::string_view text) override;
    void SetProgressMaximum(std::int64_t maximum) override;
    void SetProgressMinimum(std::int64_t minimum) override;
    void SetProgressValue(std::int64_t value) override;
    void ShowErrorBox(std::string_view title, std::string_view text) override;
    AfterYield Yield() override;
    std::int64_t SweepQuietly(
        SweepPath path, const HeldReadings &held, std::int64_t first, std::int64_t last) override
    {
        return crew ? crew->FindStoppingDivider(path, held, first, last)
                    : WindowOps::SweepQuietly(path, held, first, last);
    }
    NumberFormat UserNumberFormat() override;

    // The threads that sweep the run's quiet stretches, if any.
    SweepCrew *crew = nullptr;
    std::map<Box, std::string> fields;
    std::set<OptionButton> selected;
    NumberFormat format { ".", "," };

    // Called inside every Yield with the number of yields so far (1 for the first); what it
    // returns goes back to the run.
    std::function<AfterYield(RecordingWindow &, int)> onYield;

    std::string pane;
    std::int64_t progressMaximum = 0;
    std::int64_t progressMinimum = 0;
    std::int64_t progressValue = 0;
    std::vector<std::int64_t> dividersTried; // every progress value, in order
    std::vector<ErrorBox> errorBoxes;
    std::vector<std::string> log; // one entry per call: "Yield", "FieldText Text8", ...
    int yields = 0;
};

// The text of a file under tests/data, byte for byte.
std::string ReadTestData(const std::string &name);

} // namespace calc::testing
