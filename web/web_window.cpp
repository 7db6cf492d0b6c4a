// SPDX-License-Identifier: MIT
#include "web/web_window.h"

#include "form/accessible_names.h"
#include "form/layout.h"

#include <emscripten.h>

#include <algorithm>
#include <array>
#include <chrono>

// What the page's script does for the window (the `page` object the module is created with).
// Texts go over as a pointer and a byte count of UTF-8 in the module's memory; a control goes
// over as its identity.
// clang-format off
EM_JS(void, PageCreateWindow, (const void *window, int windowId, const char *caption,
    std::size_t captionSize, int width, int height, const char *paneFont,
    std::size_t paneFontSize, double panePoints), {
    const page = Module.page;
    page.createWindow(window, windowId, page.text(caption, captionSize), width, height,
        page.text(paneFont, paneFontSize), panePoints);
});
EM_JS(void, PageCreateControl, (int id, const char *kind, std::size_t kindSize,
    const char *name, std::size_t nameSize, int container, const char *caption,
    std::size_t captionSize, const char *accessibleName, std::size_t accessibleNameSize,
    int tabIndex, bool whiteBackground), {
    const page = Module.page;
    page.createControl({ id, kind: page.text(kind, kindSize), name: page.text(name, nameSize),
        container, caption: page.text(caption, captionSize),
        accessibleName: page.text(accessibleName, accessibleNameSize), tabIndex,
        whiteBackground });
});
EM_JS(void, PageSetBoxText, (int id, const char *text, std::size_t size), {
    Module.page.setBoxText(id, Module.page.text(text, size));
});
EM_JS(void, PageSetOption, (int id, bool selected), { Module.page.setOption(id, selected); });
EM_JS(void, PageShowProgress, (double fraction), { Module.page.showProgress(fraction); });
EM_JS(void, PageShowPane, (), { Module.page.pane.draw(); });
EM_JS(void, PageSetRunning, (bool running), { Module.page.setRunning(running); });
EM_JS(int, PageNumberFormat, (char *decimal, char *group, int capacity), {
    return Module.page.numberFormat(decimal, group, capacity);
});
EM_ASYNC_JS(void, PageShowErrorBox, (const char *title, std::size_t titleSize, const char *text,
    std::size_t textSize), {
    await Module.page.showErrorBox(Module.page.text(title, titleSize),
        Module.page.text(text, textSize));
});
EM_ASYNC_JS(void, PageTurn, (), { await Module.page.turn(); });
// The workers the page sweeps on (sweep_workers.js): how many can take parts now (the first
// call starts them); a stretch handed to them, whose parts they take through WebNextSweepPart
// and whose stops they give through WebSweepPartDone (worker_exports.cpp); the wait for its
// stop; and its end, after which what they still answer for it is dropped.
EM_JS(int, PageWorkersReady, (), {
    const workers = Module.page.workers;
    return workers ? workers.ready() : 0;
});
EM_JS(void, PageBeginOnWorkers, (const void *window, int path, double crystal, double wanted,
    double maxError), {
    Module.page.workers.begin(Module, window, { path, crystal, wanted, maxError });
});
EM_ASYNC_JS(void, PageAwaitWorkers, (), { await Module.page.workers.stopKnown(); });
EM_JS(void, PageEndOnWorkers, (), { Module.page.workers.end(); });
// clang-format on

namespace web {
namespace {

int Number(form::ControlId id)
{
    return static_cast<int>(form::Index(id));
}

// A worker answers a part some 0.1 ms after it is sent, and each message costs it some 50 us:
// blocks of several milliseconds between the window's turns, in parts of about a millisecond
// (the page handles its events while it awaits its workers). The lead part after a stretch that
// ended at a match finds the next one sooner than a worker could answer if it comes as soon.
constexpr form::Pacing kWorkerPacing { .quietBlockTime = std::chrono::milliseconds(8) };
constexpr calc::SweepSharing kWorkerSharing { .cores = 1,
    .leadPart = 262'144,
    .smallestPart = 1'048'576,
    .partsPerCore = 8,
    .largestPart = 2'097'152 };

} // namespace

WebWindow::WebWindow()
{
    using form::Pixels;
    // The page reads the pane through this window from the first time it draws it, below.
    PageCreateWindow(this, Number(form::kForm1), form::kWindowCaption.data(),
        form::kWindowCaption.size(), Pixels(form::kClientWidth), Pixels(form::kClientHeight),
        form::kPaneFontFamily.data(), form::kPaneFontFamily.size(), form::kPaneFontPoints);
    for (std::size_t i = 0; i < form::kControlCount; ++i) {
        const auto id = static_cast<form::ControlId>(i);
        const form::ControlRow &row = form::Row(id);
        const std::string_view kind = form::KindName(row.kind);
        const std::string accessibleName = form::AccessibleName(row);
        PageCreateControl(Number(id), kind.data(), kind.size(), row.name.data(), row.name.size(),
            Number(form::ContainerOf(id)), row.caption.data(), row.caption.size(),
            accessibleName.data(), accessibleName.size(), row.tabIndex, row.whiteBackground);
    }
    m_window.ApplyDefaults();
}

void WebWindow::DrawBoxText(form::ControlId box, std::string_view text)
{
    PageSetBoxText(Number(box), text.data(), text.size());
}

void WebWindow::DrawOption(form::ControlId option, bool selected)
{
    PageSetOption(Number(option), selected);
}

void WebWindow::DrawProgress(const form::Progress &progress)
{
    PageShowProgress(progress.Fraction());
}

void WebWindow::DrawPane()
{
    PageShowPane();
}

void WebWindow::DrawRunning(bool running)
{
    PageSetRunning(running);
}

void WebWindow::ShowErrorBox(std::string_view title, std::string_view text)
{
    PageShowErrorBox(title.data(), title.size(), text.data(), text.size());
}

void WebWindow::TurnEventLoop()
{
    PageTurn();
}

std::optional<std::int64_t> WebWindow::SweepElsewhere(
    calc::SweepPath path, const calc::HeldReadings &held, std::int64_t first, std::int64_t last)
{
    calc::SweepSharing sharing = kWorkerSharing;
    sharing.cores = static_cast<unsigned>(std::max(PageWorkersReady(), 0));
    m_window.SetPacing(sharing.cores > 0 ? kWorkerPacing : form::Pacing {});
    if (sharing.cores == 0) {
        return std::nullopt;
    }
    return calc::SweepShared(sharing, m_lastStretchStopped, path, held, first, last,
        [this, path, &held](calc::SweepParts &parts) {
            m_partsOnWorkers = &parts;
            PageBeginOnWorkers(
                this, static_cast<int>(path), held.crystal, held.wanted, held.maxError);
            PageAwaitWorkers();
            PageEndOnWorkers();
            m_partsOnWorkers = nullptr;
        });
}

calc::NumberFormat WebWindow::UserNumberFormat()
{
    // The browser's language gives the separators, as the desktop's locale does; each is one
    // character of at most four UTF-8 bytes, or none.
    constexpr int kCapacity = 16;
    std::array<char, kCapacity> decimal {};
    std::array<char, kCapacity> group {};
    PageNumberFormat(decimal.data(), group.data(), kCapacity);
    return { std::string(decimal.data()), std::string(group.data()) };
}

} // namespace web
