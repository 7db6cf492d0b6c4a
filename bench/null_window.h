// SPDX-License-Identifier: MIT
// A window that answers the run's reads from a scenario and does nothing else: what the sweep
// costs with no window at all. It lets the run try every divider in one block, or, as a window
// that turns its event loop at every yield would, none; a crew, if given, sweeps the block.
#pragma once

#include "bench/scenarios.h"
#include "calc/sweep_crew.h"
#include "calc/window_ops.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string>

namespace bench {

class NullWindow : public calc::WindowOps {
public:
    NullWindow(const Scenario &scenario, bool quiet, calc::SweepCrew *crew = nullptr)
        : m_quietYields(quiet ? std::numeric_limits<std::int64_t>::max() : 0)
        , m_crew(crew)
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
    void SetProgressValue(std::int64_t value) override { lastProgressValue = value; }
    void ShowErrorBox(std::string_view, std::string_view) override { }
    calc::AfterYield Yield() override { return calc::AfterYield::Continue; }
    std::int64_t QuietYields() override { return m_quietYields; }
    std::int64_t SweepQuietly(calc::SweepPath path, const calc::HeldReadings &held,
        std::int64_t first, std::int64_t last) override
    {
        return m_crew ? m_crew->FindStoppingDivider(path, held, first, last)
                      : WindowOps::SweepQuietly(path, held, first, last);
    }
    calc::NumberFormat UserNumberFormat() override { return { ".", "," }; }

    std::int64_t lastProgressValue = 0;

private:
    std::int64_t m_quietYields;
    calc::SweepCrew *m_crew;
    std::array<std::string, 16> m_texts;
    std::array<bool, 30> m_selected {};
};

} // namespace bench
