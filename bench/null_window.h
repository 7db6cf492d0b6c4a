// SPDX-License-Identifier: MIT
// A window that answers the run's reads from a scenario and does nothing else: what the sweep
// costs with no window at all.
#pragma once

#include "bench/scenarios.h"
#include "calc/window_ops.h"

#include <array>
#include <string>

namespace bench {

class NullWindow : public calc::WindowOps {
public:
    explicit NullWindow(const Scenario &scenario)
    {
        m_texts[5] = scenario.crystal;
        m_texts[6] = scenario.refLow;
        m_texts[7] = scenario.refHigh;
        m_texts[8] = scenario.wanted;
        m_texts[9] = scenario.maxError;
        for (int number : { 1, 6, 8, 9, 11 }) {
            m_selected[static_cast<std::size_t>(number)] = true;
        }
        m_selected[scenario.largePrescaler ? 4 : 3] = true;
    }

    std::string_view FieldText(calc::Box box) override
    {
        return m_texts[static_cast<std::size_t>(box)];
    }
    bool OptionSelected(calc::OptionButton button) override
    {
        return m_selected[static_cast<std::size_t>(button)];
    }
    void SetMatchCount(calc::Box, std::string_view) override { }
    void SetPaneText(std::string_view) override { }
    void AppendPaneText(std::string_view) override { }
    void SetProgressMaximum(std::int64_t) override { }
    void SetProgressMinimum(std::int64_t) override { }
    void SetProgressValue(std::int64_t) override { }
    void ShowErrorBox(std::string_view, std::string_view) override { }
    calc::AfterYield Yield() override { return calc::AfterYield::Continue; }
    calc::NumberFormat UserNumberFormat() override { return { ".", "," }; }

private:
    std::array<std::string, 16> m_texts;
    std::array<bool, 30> m_selected {};
};

} // namespace bench
