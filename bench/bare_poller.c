/* The floor of polling the pointer: its own connection, a timerfd, one query per tick and
 * nothing else. bench/idle_cost.py measures it beside the program.
 *
 * usage: bare_poller [INTERVAL_MS]   (default 10: the buttons' tick; 100 is the slow reading
 *                                     that looks for warps) */
#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/timerfd.h>
#include <unistd.h>
#include <xcb/xcb.h>

int main(int argc, char** argv)
{
    long interval_ms = 10;
    if (argc > 2) {
        fprintf(stderr, "usage: bare_poller [INTERVAL_MS]\n");
        return 2;
    }
    if (argc == 2) {
        char* end = NULL;
        errno = 0;
        interval_ms = strtol(argv[1], &end, 10);
        // Anything but a whole number of milliseconds from one to a minute is a mistake,
        // and a floor measured at a rate nobody asked for would mislead.
        if (errno != 0 || end == argv[1] || *end != '\0' || interval_ms < 1 || interval_ms > 60000) {
            fprintf(stderr, "bare_poller: the interval is a whole number of milliseconds, 1 to 60000\n");
            return 2;
        }
    }
    xcb_connection_t* connection = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(connection))
        return 1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const int timer = timerfd_create(CLOCK_MONOTONIC, 0);
    const struct timespec interval = {interval_ms / 1000, (interval_ms % 1000) * 1000000};
    const struct itimerspec every = {interval, interval};
    timerfd_settime(timer, 0, &every, NULL);
    for (uint64_t expirations; read(timer, &expirations, sizeof expirations) > 0;)
        free(xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), NULL));
    return 0;
}
