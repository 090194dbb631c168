/* The floor of polling the pointer every 10 ms: its own connection, a timerfd, one query
 * per tick and nothing else. bench/idle_cost.py measures it beside the program. */
#include <stdint.h>
#include <stdlib.h>
#include <sys/timerfd.h>
#include <unistd.h>
#include <xcb/xcb.h>

int main(void)
{
    xcb_connection_t* connection = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(connection))
        return 1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const int timer = timerfd_create(CLOCK_MONOTONIC, 0);
    const struct itimerspec every10ms = {{0, 10000000}, {0, 10000000}};
    timerfd_settime(timer, 0, &every10ms, NULL);
    for (uint64_t expirations; read(timer, &expirations, sizeof expirations) > 0;)
        free(xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), NULL));
    return 0;
}
