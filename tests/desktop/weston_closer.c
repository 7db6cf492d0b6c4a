// SPDX-License-Identifier: MIT
// A weston module for the Wayland test: once an output has painted a frame that shows a toplevel
// window, it logs the window's app id and title and asks the window to close, as a desktop's
// close button does (xdg_toplevel.close). Weston's own shells never send that request, and its
// headless backend has no pointer to click one with. Load it with --modules=/path/to/it.
#include <libweston-desktop/libweston-desktop.h>
#include <libweston/libweston.h>
#include <wayland-server-core.h>

#include <stdbool.h>
#include <stdlib.h>

struct closer {
    struct weston_compositor *compositor;
    struct wl_listener outputCreated;
    struct wl_listener compositorDestroyed;
    bool asked;
};

// One per output: a listener sits in one signal's list only.
struct output_watch {
    struct closer *closer;
    struct wl_listener frame;
    struct wl_listener outputDestroyed;
};

static const char *OrNone(const char *text)
{
    return text ? text : "(none)";
}

// After each repaint the compositor's view list holds what was just drawn.
static void OnFrame(struct wl_listener *listener, void *data)
{
    struct output_watch *watch = wl_container_of(listener, watch, frame);
    struct closer *closer = watch->closer;
    struct weston_view *view;
    (void)data;
    if (closer->asked) {
        return;
    }
    wl_list_for_each(view, &closer->compositor->view_list, link)
    {
        struct weston_desktop_surface *toplevel;
        if (!weston_view_is_mapped(view) || !weston_surface_is_desktop_surface(view->surface)) {
            continue;
        }
        toplevel = weston_surface_get_desktop_surface(view->surface);
        weston_log("closer: painted toplevel app_id \"%s\" title \"%s\"\n",
            OrNone(weston_desktop_surface_get_app_id(toplevel)),
            OrNone(weston_desktop_surface_get_title(toplevel)));
        weston_desktop_surface_close(toplevel);
        weston_log("closer: asked it to close\n");
        closer->asked = true;
        return;
    }
}

static void OnOutputDestroyed(struct wl_listener *listener, void *data)
{
    struct output_watch *watch = wl_container_of(listener, watch, outputDestroyed);
    (void)data;
    wl_list_remove(&watch->frame.link);
    wl_list_remove(&watch->outputDestroyed.link);
    free(watch);
}

static void WatchOutput(struct closer *closer, struct weston_output *output)
{
    struct output_watch *watch = calloc(1, sizeof *watch);
    if (!watch) {
        return;
    }
    watch->closer = closer;
    watch->frame.notify = OnFrame;
    wl_signal_add(&output->frame_signal, &watch->frame);
    watch->outputDestroyed.notify = OnOutputDestroyed;
    wl_signal_add(&output->destroy_signal, &watch->outputDestroyed);
}

static void OnOutputCreated(struct wl_listener *listener, void *data)
{
    struct closer *closer = wl_container_of(listener, closer, outputCreated);
    WatchOutput(closer, data);
}

static void OnCompositorDestroyed(struct wl_listener *listener, void *data)
{
    struct closer *closer = wl_container_of(listener, closer, compositorDestroyed);
    (void)data;
    wl_list_remove(&closer->outputCreated.link);
    free(closer);
}

WL_EXPORT int wet_module_init(struct weston_compositor *compositor, int *argc, char *argv[])
{
    struct closer *closer = calloc(1, sizeof *closer);
    struct weston_output *output;
    (void)argc;
    (void)argv;
    if (!closer) {
        return -1;
    }
    closer->compositor = compositor;
    closer->outputCreated.notify = OnOutputCreated;
    wl_signal_add(&compositor->output_created_signal, &closer->outputCreated);
    closer->compositorDestroyed.notify = OnCompositorDestroyed;
    wl_signal_add(&compositor->destroy_signal, &closer->compositorDestroyed);
    wl_list_for_each(output, &compositor->output_list, link)
    {
        WatchOutput(closer, output);
    }
    weston_log("closer: watching for a painted toplevel\n");
    return 0;
}
