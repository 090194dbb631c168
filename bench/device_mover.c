/* Moves the pointer as a pointing device would: XTest relative motion, which the X server
 * reports as device motion (an absolute move would be a warp), at a steady rate for a
 * given time. The benchmarks use it where xdotool cannot keep the rate of a fast mouse.
 *
 * The moves go to and fro: STEPS moves of (DX, DY), then STEPS moves back, over and over,
 * so the pointer stays where it was put. Move k is due at start + k / RATE on an absolute
 * clock, so a late wake-up delays one move and not every move after it; a move that is
 * late goes out at once. At the end it prints what it did as key=value pairs on one line:
 * the moves made, the seconds from the first to the last, the rate achieved, the rate
 * asked, how many moves went out more than one period late and the latest of them.
 *
 * usage: device_mover RATE_HZ SECONDS [DX DY [STEPS]]   (defaults: 4 0 1) */
#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

/* A round trip now and then keeps the moves from piling up unread in the server's queue
 * when it falls behind, so the rate printed is the rate the server took them at. */
enum { MOVES_PER_ROUND_TRIP = 100 };

static int parse_long(const char* text, long low, long high, long* value)
{
    char* end = NULL;
    errno = 0;
    *value = strtol(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && *value >= low && *value <= high;
}

static int64_t nanoseconds(const struct timespec* t)
{
    return (int64_t)t->tv_sec * 1000000000 + t->tv_nsec;
}

static struct timespec timespec_of(int64_t ns)
{
    const struct timespec t = {(time_t)(ns / 1000000000), (long)(ns % 1000000000)};
    return t;
}

static int64_t now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return nanoseconds(&t);
}

static void round_trip(xcb_connection_t* connection)
{
    free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), NULL));
}

int main(int argc, char** argv)
{
    long rate = 0, seconds = 0, dx = 4, dy = 0, steps = 1;
    const int arguments_make_sense =
        (argc == 3 || argc == 5 || argc == 6) && parse_long(argv[1], 1, 10000, &rate) &&
        parse_long(argv[2], 1, 3600, &seconds) && (argc < 5 || parse_long(argv[3], -1000, 1000, &dx)) &&
        (argc < 5 || parse_long(argv[4], -1000, 1000, &dy)) && (argc < 6 || parse_long(argv[5], 1, 100000, &steps));
    if (!arguments_make_sense) {
        fprintf(stderr, "usage: device_mover RATE_HZ SECONDS [DX DY [STEPS]]\n"
                        "       RATE_HZ 1 to 10000, SECONDS 1 to 3600, DX and DY -1000 to 1000 pixels\n");
        return 2;
    }

    xcb_connection_t* connection = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(connection)) {
        fprintf(stderr, "device_mover: cannot connect to the X server\n");
        return 1;
    }
    xcb_test_get_version_reply_t* version =
        xcb_test_get_version_reply(connection, xcb_test_get_version(connection, 2, 2), NULL);
    if (!version) {
        fprintf(stderr, "device_mover: the X server has no XTest extension\n");
        return 1;
    }
    free(version);

    const long moves = rate * seconds;
    const int64_t period = 1000000000 / rate;
    const int64_t start = now();
    int64_t first = 0, last = 0, latest = 0;
    long late = 0;
    for (long k = 0; k < moves; ++k) {
        const int64_t due = start + k * period;
        const struct timespec deadline = timespec_of(due);
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, NULL) == EINTR) {
        }
        const int64_t sent = now();
        if (sent - due > period)
            ++late;
        if (sent - due > latest)
            latest = sent - due;
        // Detail 1 makes the motion relative: the server moves the pointer by (x, y) and
        // reports it as motion of its test device, exactly as it would a mouse's.
        const int back = (k / steps) % 2 == 1;
        xcb_test_fake_input(connection, XCB_MOTION_NOTIFY, 1, XCB_CURRENT_TIME, XCB_NONE,
                            (int16_t)(back ? -dx : dx), (int16_t)(back ? -dy : dy), 0);
        if ((k + 1) % MOVES_PER_ROUND_TRIP == 0)
            round_trip(connection);
        else
            xcb_flush(connection);
        if (xcb_connection_has_error(connection)) {
            fprintf(stderr, "device_mover: the connection to the X server broke\n");
            return 1;
        }
        if (k == 0)
            first = sent;
        last = sent;
    }
    round_trip(connection);

    const double span = (double)(last - first) / 1e9;
    // The rate is moves per period between the first move and the last: n moves span n - 1
    // periods.
    const double achieved = span > 0 ? (double)(moves - 1) / span : 0.0;
    printf("moves=%ld seconds=%.3f rate=%.1f asked=%ld late=%ld latest_ms=%.2f\n", moves, span, achieved, rate,
           late, (double)latest / 1e6);
    xcb_disconnect(connection);
    return 0;
}
