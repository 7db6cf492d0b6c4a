// SPDX-License-Identifier: MIT
// The module's entry points for the page's script: the page creates the window once and hands
// its address back with every call, so the module keeps no state of its own.
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
    explicit QuietWindow(WebWindow &window)
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
    WebWindow &m_window;
    std::size_t m_reportBytes = 0;
};

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE WebWindow *WebCreateWindow()
{
    return new WebWindow();
}

EMSCRIPTEN_KEEPALIVE void WebButtonClicked(WebWindow *window, int number)
{
    window->ButtonClicked(number);
}

EMSCRIPTEN_KEEPALIVE char *WebFieldBuffer(WebWindow *window, int number, std::size_t bytes)
{
    return window->FieldBuffer(number, bytes);
}

EMSCRIPTEN_KEEPALIVE void WebOptionSelected(WebWindow *window, int number)
{
    window->OptionSelectedByUser(number);
}

EMSCRIPTEN_KEEPALIVE void WebSetLargestReport(WebWindow *window, double bytes)
{
    window->SetLargestReport(static_cast<std::size_t>(bytes));
}

EMSCRIPTEN_KEEPALIVE std::size_t WebPaneLineCount(const WebWindow *window)
{
    return window->Pane().LineCount();
}

EMSCRIPTEN_KEEPALIVE const char *WebPaneLine(const WebWindow *window, std::size_t line)
{
    return window->Pane().Line(line).data();
}

EMSCRIPTEN_KEEPALIVE std::size_t WebPaneLineSize(const WebWindow *window, std::size_t line)
{
    return window->Pane().Line(line).size();
}

EMSCRIPTEN_KEEPALIVE std::size_t WebPaneBlockCount(const WebWindow *window)
{
    return window->Pane().BlockCount();
}

EMSCRIPTEN_KEEPALIVE const char *WebPaneBlock(const WebWindow *window, std::size_t block)
{
    return window->Pane().BlockText(block).data();
}

EMSCRIPTEN_KEEPALIVE std::size_t WebPaneBlockSize(const WebWindow *window, std::size_t block)
{
    return window->Pane().BlockText(block).size();
}

// Lines `first` to `last` joined by LF; the text stays until the next call.
EMSCRIPTEN_KEEPALIVE const char *WebCopyLines(
    WebWindow *window, std::size_t first, std::size_t last)
{
    return window->CopyLines(first, last).data();
}

EMSCRIPTEN_KEEPALIVE std::size_t WebCopiedSize(const WebWindow *window)
{
    return window->Copied().size();
}

// The side's run (0 RF, 1 IF) on the window's settings, without the page: the report's length.
EMSCRIPTEN_KEEPALIVE double WebRunQuietly(WebWindow *window, int side)
{
    QuietWindow quiet(*window);
    calc::RunCalculation(side == 0 ? calc::Side::RF : calc::Side::IF, quiet);
    return static_cast<double>(quiet.ReportBytes());
}
}
