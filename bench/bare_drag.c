/* The floor of dragging a window: a bare top-level window, managed by the window manager
 * but without a frame (it asks for no decorations in _MOTIF_WM_HINTS, as the program's own
 * windows do), that follows the pointer while a button is held on it. Each motion event
 * moves it once, by the pointer's movement since the press, with one ConfigureWindow of its
 * position; it does nothing else, and its background is the server's to paint.
 * bench/drag_cost.py drags it beside the program.
 *
 * The window is titled "bare drag", carries _NET_WM_PID so that tools can find it by its
 * process, and asks to be centred on the screen.
 *
 * usage: bare_drag [WIDTH HEIGHT]   (default 583 444: the program's main window with its frame) */
#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <xcb/xcb.h>

static int parse_long(const char* text, long low, long high, long* value)
{
    char* end = NULL;
    errno = 0;
    *value = strtol(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && *value >= low && *value <= high;
}

static xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, (uint16_t)strlen(name), name), NULL);
    const xcb_atom_t result = reply ? reply->atom : XCB_ATOM_NONE;
    free(reply);
    return result;
}

int main(int argc, char** argv)
{
    long width = 583, height = 444;
    if (!(argc == 1 || (argc == 3 && parse_long(argv[1], 1, 8192, &width) && parse_long(argv[2], 1, 8192, &height)))) {
        fprintf(stderr, "usage: bare_drag [WIDTH HEIGHT]\n");
        return 2;
    }
    xcb_connection_t* connection = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(connection)) {
        fprintf(stderr, "bare_drag: cannot connect to the X server\n");
        return 1;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const int16_t x = (int16_t)((screen->width_in_pixels - width) / 2);
    const int16_t y = (int16_t)((screen->height_in_pixels - height) / 2);

    const xcb_window_t window = xcb_generate_id(connection);
    const uint32_t values[] = {screen->white_pixel,
                               XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                   XCB_EVENT_MASK_BUTTON_MOTION};
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, x, y, (uint16_t)width,
                      (uint16_t)height, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);

    static const char title[] = "bare drag";
    static const char class_name[] = "bare_drag\0Bare_drag";
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        sizeof title - 1, title);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        sizeof class_name, class_name);
    const uint32_t pid = (uint32_t)getpid();
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom(connection, "_NET_WM_PID"),
                        XCB_ATOM_CARDINAL, 32, 1, &pid);
    // WM_NORMAL_HINTS: the position and size are the user's, so the window manager keeps
    // them rather than placing the window itself.
    const uint32_t size_hints[18] = {1u | 2u, (uint32_t)x, (uint32_t)y, (uint32_t)width, (uint32_t)height};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, 18, size_hints);
    // _MOTIF_WM_HINTS: flags (2: the decorations field counts), functions, decorations
    // (none), input mode, status.
    const xcb_atom_t motif_hints = atom(connection, "_MOTIF_WM_HINTS");
    const uint32_t no_decorations[5] = {2, 0, 0, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, motif_hints, motif_hints, 32, 5,
                        no_decorations);
    xcb_map_window(connection, window);
    xcb_flush(connection);

    // Where in the window the pointer was pressed: the window keeps that point under the
    // pointer, which moves it by the pointer's movement.
    int dragging = 0;
    int32_t grab_x = 0, grab_y = 0;
    for (xcb_generic_event_t* event; (event = xcb_wait_for_event(connection)); free(event)) {
        switch (event->response_type & 0x7f) {
        case XCB_BUTTON_PRESS: {
            const xcb_button_press_event_t* press = (const xcb_button_press_event_t*)event;
            if (press->detail == 1) {
                dragging = 1;
                grab_x = press->event_x;
                grab_y = press->event_y;
            }
            break;
        }
        case XCB_MOTION_NOTIFY: {
            const xcb_motion_notify_event_t* motion = (const xcb_motion_notify_event_t*)event;
            if (dragging) {
                const uint32_t position[] = {(uint32_t)(motion->root_x - grab_x), (uint32_t)(motion->root_y - grab_y)};
                xcb_configure_window(connection, window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, position);
                xcb_flush(connection);
            }
            break;
        }
        case XCB_BUTTON_RELEASE:
            if (((const xcb_button_release_event_t*)event)->detail == 1)
                dragging = 0;
            break;
        default:
            break;
        }
    }
    return 0;
}
