/* Measures how long a pixel on the screen takes to turn a given colour after the pointer
 * arrives at a given point: bench/idle_cost.py starts it, then warps the pointer there.
 *
 * It samples as fast as it can. One sample is one round trip carrying two requests: where
 * the pointer is, and the one pixel (GetImage of the root window, which shows what is on
 * the screen). The arrival is the first sample that finds the pointer at the point, the
 * change the first sample after it that finds the colour; the time between their starts is
 * the latency, true to within about a sample, so the time a sample takes is printed too:
 * it is the floor of what this can measure.
 *
 * It prints "ready" once it has taken its first sample, then, when the colour shows, one
 * line of key=value pairs: the latency, the samples taken from the arrival to the change,
 * the mean and the longest time between samples over the whole run, and whether the pixel
 * already had the colour when the pointer arrived. Exit status 3 if the pointer or the
 * colour did not come in time.
 *
 * usage: pixel_watch X Y RED GREEN BLUE POINTER_X POINTER_Y TIMEOUT_MS */
#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <xcb/xcb.h>

struct channel {
    uint32_t mask;
    unsigned shift, width;
};

static struct channel channel_of(uint32_t mask)
{
    struct channel c = {mask, 0, 0};
    while (mask && !(mask & 1u)) {
        mask >>= 1;
        ++c.shift;
    }
    while (mask & 1u) {
        mask >>= 1;
        ++c.width;
    }
    return c;
}

/* A channel of a pixel value as 0 to 255, whatever the width of the visual's channel. */
static unsigned channel_value(uint32_t pixel, struct channel c)
{
    if (c.width == 0)
        return 0;
    const uint32_t raw = (pixel & c.mask) >> c.shift;
    const uint32_t top = (1u << c.width) - 1;
    return (unsigned)((raw * 255u + top / 2) / top);
}

static int parse_long(const char* text, long low, long high, long* value)
{
    char* end = NULL;
    errno = 0;
    *value = strtol(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && *value >= low && *value <= high;
}

static int64_t now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (int64_t)t.tv_sec * 1000000000 + t.tv_nsec;
}

int main(int argc, char** argv)
{
    long v[8];
    static const long high[8] = {32767, 32767, 255, 255, 255, 32767, 32767, 600000};
    int arguments_make_sense = argc == 9;
    for (int i = 0; arguments_make_sense && i < 8; ++i)
        arguments_make_sense = parse_long(argv[i + 1], 0, high[i], &v[i]);
    if (!arguments_make_sense) {
        fprintf(stderr, "usage: pixel_watch X Y RED GREEN BLUE POINTER_X POINTER_Y TIMEOUT_MS\n");
        return 2;
    }
    const int16_t x = (int16_t)v[0], y = (int16_t)v[1];
    const unsigned want[3] = {(unsigned)v[2], (unsigned)v[3], (unsigned)v[4]};
    const int16_t pointer_x = (int16_t)v[5], pointer_y = (int16_t)v[6];
    const int64_t deadline = now() + (int64_t)v[7] * 1000000;

    xcb_connection_t* connection = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(connection)) {
        fprintf(stderr, "pixel_watch: cannot connect to the X server\n");
        return 1;
    }
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;

    // The root window's visual says where red, green and blue sit in a pixel value; the
    // pixmap formats say how many bytes a pixel of the root's depth takes in an image.
    const xcb_visualtype_t* visual = NULL;
    for (xcb_depth_iterator_t d = xcb_screen_allowed_depths_iterator(screen); d.rem && !visual; xcb_depth_next(&d))
        for (xcb_visualtype_iterator_t t = xcb_depth_visuals_iterator(d.data); t.rem; xcb_visualtype_next(&t))
            if (t.data->visual_id == screen->root_visual) {
                visual = t.data;
                break;
            }
    unsigned bytes_per_pixel = 0;
    for (xcb_format_iterator_t f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == screen->root_depth)
            bytes_per_pixel = f.data->bits_per_pixel / 8u;
    if (!visual || visual->_class != XCB_VISUAL_CLASS_TRUE_COLOR || bytes_per_pixel < 3 || bytes_per_pixel > 4) {
        fprintf(stderr, "pixel_watch: the root window is not a true-colour window of 24 or 32 bits a pixel\n");
        return 1;
    }
    const struct channel red = channel_of(visual->red_mask), green = channel_of(visual->green_mask),
                         blue = channel_of(visual->blue_mask);
    const int most_significant_first = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;

    int64_t first_sample = 0, previous_sample = 0, longest_gap = 0, arrived = -1;
    long samples = 0, samples_since_arrival = 0;
    int coloured_on_arrival = 0;
    for (;;) {
        const int64_t sample = now();
        if (sample > deadline) {
            printf("timeout waiting for %s\n", arrived < 0 ? "the pointer" : "the colour");
            return 3;
        }
        const xcb_query_pointer_cookie_t where = xcb_query_pointer(connection, screen->root);
        const xcb_get_image_cookie_t image =
            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, x, y, 1, 1, UINT32_MAX);
        xcb_query_pointer_reply_t* pointer = xcb_query_pointer_reply(connection, where, NULL);
        xcb_get_image_reply_t* pixel = xcb_get_image_reply(connection, image, NULL);
        if (!pointer || !pixel || xcb_get_image_data_length(pixel) < (int)bytes_per_pixel) {
            fprintf(stderr, "pixel_watch: the X server did not answer a sample\n");
            return 1;
        }
        const uint8_t* bytes = xcb_get_image_data(pixel);
        uint32_t value = 0;
        for (unsigned i = 0; i < bytes_per_pixel; ++i) {
            const unsigned place = most_significant_first ? bytes_per_pixel - 1 - i : i;
            value |= (uint32_t)bytes[i] << (8 * place);
        }
        const int coloured = channel_value(value, red) == want[0] && channel_value(value, green) == want[1] &&
                             channel_value(value, blue) == want[2];
        const int at_point = pointer->root_x == pointer_x && pointer->root_y == pointer_y;
        free(pointer);
        free(pixel);

        if (samples == 0) {
            first_sample = sample;
            // The caller warps the pointer only after this, so the arrival is always seen.
            printf("ready\n");
            fflush(stdout);
        } else if (sample - previous_sample > longest_gap) {
            longest_gap = sample - previous_sample;
        }
        previous_sample = sample;
        ++samples;
        if (arrived < 0 && at_point) {
            arrived = sample;
            coloured_on_arrival = coloured;
        }
        if (arrived >= 0) {
            ++samples_since_arrival;
            if (coloured) {
                const double mean = samples > 1 ? (double)(sample - first_sample) / (double)(samples - 1) : 0.0;
                printf("latency_ms=%.3f samples=%ld sample_ms=%.3f longest_sample_ms=%.3f coloured_on_arrival=%d\n",
                       (double)(sample - arrived) / 1e6, samples_since_arrival, mean / 1e6,
                       (double)longest_gap / 1e6, coloured_on_arrival);
                return 0;
            }
        }
    }
}
