// SPDX-License-Identifier: GPL-3.0-or-later
// A weston module for the tests: on SIGUSR2 the compositor asks every window on the screen to close
// (xdg_toplevel.close, what a desktop's close button or window list sends), and prints
// "closed PID" for each on standard error, the process id of the window's client.
#include <libweston-desktop/libweston-desktop.h>
#include <libweston/libweston.h>
#include <signal.h>
#include <stdio.h>
#include <sys/types.h>

static pid_t ClientOf(struct weston_surface *surface) {
  pid_t pid = 0;
  wl_client_get_credentials(wl_resource_get_client(surface->resource), &pid, NULL, NULL);
  return pid;
}

static int CloseEveryWindow(int signal_number, void *data) {
  struct weston_compositor *compositor = data;
  struct weston_view *view;
  (void)signal_number;
  wl_list_for_each(view, &compositor->view_list, link) {
    if (!weston_surface_is_desktop_surface(view->surface)) continue;
    weston_desktop_surface_close(weston_surface_get_desktop_surface(view->surface));
    fprintf(stderr, "closed %d\n", (int)ClientOf(view->surface));
  }
  return 1;
}

WL_EXPORT int wet_module_init(struct weston_compositor *compositor, int *argc, char *argv[]) {
  (void)argc;
  (void)argv;
  struct wl_event_loop *loop = wl_display_get_event_loop(compositor->wl_display);
  return wl_event_loop_add_signal(loop, SIGUSR2, CloseEveryWindow, compositor) ? 0 : -1;
}
