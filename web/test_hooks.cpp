// SPDX-License-Identifier: MIT
// What the browser tests and the bench reach into the module for, linked only into the test
// page's modules (lmx2330a-calc-test.html): the page users get has none of it.
#include "web/web_window.h"

#include <emscripten.h>

#include "calc/calculation_run.h"

#include <cstddef>
#include <cstdint>
#include <limits>

using web::WebWindow;

namespace {

// The run on the window's settings with nothing of the page around it: no yield, no drawing, the
// report written and dropped. What the sweep itself costs in this browser, beside which the
// page's own run is timed.
class QuietWindow final : public calc::WindowOps {
public:
    explicit QuietWindow(form::Window &window)
        : m_window(window)
    {
    }

    std::string_view FieldText(calc::Box box) override { return m_window.FieldText(box); }
    bool OptionSelected(calc::OptionButton button) override
    {
        return m_window.OptionSelected(button);
    }
    void SetMatchCount(calc::Box, std::string_view) override { }
    void SetPaneText(std::string_view text) override { m_reportBytes = text.size(); }
    void AppendPaneText(std::string_view text) override { m_reportBytes += text.size(); }
    void SetProgressMaximum(std::int64_t) override { }
    void SetProgressMinimum(std::int64_t) override { }
    void SetProgressValue(std::int64_t) override { }
    void ShowErrorBox(std::string_view, std::string_view) override { }
    calc::AfterYield Yield() override { return calc::AfterYield::Continue; }
    std::int64_t QuietYields() override { return std::numeric_limits<std::int64_t>::max(); }
    calc::NumberFormat UserNumberFormat() override { return m_window.UserNumberFormat(); }

    std::size_t ReportBytes() const { return m_reportBytes; }

private:
    form::Window &m_window;
    std::size_t m_reportBytes = 0;
};

} // namespace

extern "C" {

// A run whose report grows beyond `bytes` stops with the box that says why, as one beyond the
// real cap of a gigabyte does, at a size a test can reach in a second.
EMSCRIPTEN_KEEPALIVE void WebSetLargestReport(WebWindow *window, double bytes)
{
    window->Model().SetLargestReport(static_cast<std::size_t>(bytes));
}

// The side's run (0 RF, 1 IF) on the window's settings, without the page: the report's length.
EMSCRIPTEN_KEEPALIVE double WebRunQuietly(WebWindow *window, int side)
{
    QuietWindow quiet(window->Model());
    calc::RunCalculation(side == 0 ? calc::Side::RF : calc::Side::IF, quiet);
    return static_cast<double>(quiet.ReportBytes());
}
}
