// SPDX-License-Identifier: MIT
// The module's entry points for the page's script: the page creates the window once and hands
// its address back with every call, so the module keeps no state of its own.
#include "web/web_window.h"

#include <emscripten.h>

#include <cstddef>

using web::WebWindow;

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
}
