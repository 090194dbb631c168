#include "platform/window_hints.h"

#include "platform/x11_connection.h"

#include <QThread>
#include <QWidget>
#include <QWindow>
#include <xcb/xinput.h>

#include <cstdlib>
#include <cstring>

namespace fk::platform {

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return result;
}

// The window's property of that name, as 32-bit values; empty when it has none.
std::vector<std::uint32_t> property(xcb_connection_t* connection, xcb_window_t window, const char* name)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, atom(connection, name), XCB_ATOM_ANY, 0, 16), nullptr);
    const auto* values = reply && reply->format == 32 ? static_cast<const std::uint32_t*>(xcb_get_property_value(reply)) : nullptr;
    std::vector<std::uint32_t> result(values, values ? values + reply->value_len : values);
    std::free(reply);
    return result;
}

// Adds the skip-taskbar state to the window at every show. The show event comes before the
// window is mapped; Qt then merges its own states with the ones it finds on the window, and
// window managers drop the property when a window is withdrawn, so each show adds it anew.
class SkipTaskbarOnShow : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        xcb_connection_t* connection = x11Connection();
        auto* window = static_cast<QWidget*>(watched);
        if (event->type() != QEvent::Show || !connection || !window->windowHandle())
            return false;
        const xcb_atom_t skipTaskbar = atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
        xcb_change_property(connection, XCB_PROP_MODE_APPEND, static_cast<xcb_window_t>(window->winId()),
                            atom(connection, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 1, &skipTaskbar);
        xcb_flush(connection);
        return false;
    }
};

} // namespace

void keepOutOfTaskbar(QWidget* window)
{
    if (!x11Connection())
        return;
    window->winId(); // create the native window now, before anything maps it
    window->installEventFilter(new SkipTaskbarOnShow(window));
}

bool moveShownWindow(QWidget* window, QPoint topLeft)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection || !window->isVisible() || !window->windowHandle())
        return false;
    const std::int32_t place[] = {topLeft.x(), topLeft.y()};
    xcb_configure_window(connection, static_cast<xcb_window_t>(window->winId()), XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
    xcb_flush(connection);
    return true;
}

QMargins frameOf(QWidget* window)
{
    xcb_connection_t* connection = x11Connection();
    const xcb_window_t root = connection ? xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root : 0;
    if (!connection || property(connection, root, "_NET_SUPPORTING_WM_CHECK").empty())
        return {};
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_client_message_event_t request{XCB_CLIENT_MESSAGE, 32, 0, id, atom(connection, "_NET_REQUEST_FRAME_EXTENTS"), {}};
    xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&request));
    // The manager answers with the property, left, right, top and bottom, within moments.
    for (int tries = 0; tries < 40; ++tries, QThread::msleep(5))
        if (const auto e = property(connection, id, "_NET_FRAME_EXTENTS"); e.size() == 4)
            return QMargins(int(e[0]), int(e[2]), int(e[1]), int(e[3]));
    return {};
}

void selectToolkitEvents(QWidget* window, bool moves)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection || !window->windowHandle())
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    // The core events, which the server sends where no XInput 2 selection covers them.
    auto* core = xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, id), nullptr);
    const std::uint32_t structure = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    const bool toldAgain = core && moves && !(core->your_event_mask & structure);
    auto* place = toldAgain ? xcb_translate_coordinates_reply(connection, xcb_translate_coordinates(connection, id, root, 0, 0), nullptr) : nullptr;
    if (core) {
        const std::uint32_t mask = (core->your_event_mask & ~(XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_BUTTON_MOTION | structure))
                                   | (moves ? structure : 0);
        xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &mask);
    }
    // The toolkit's XInput 2 selections, each for the devices it names, without motion.
    const xcb_query_extension_reply_t* xinput = xcb_get_extension_data(connection, &xcb_input_id);
    auto* selected = xinput && xinput->present ? xcb_input_xi_get_selected_events_reply(
                                                     connection, xcb_input_xi_get_selected_events(connection, id), nullptr)
                                               : nullptr;
    for (auto masks = xcb_input_xi_get_selected_events_masks_iterator(selected); selected && masks.rem;
         xcb_input_event_mask_next(&masks))
        if (masks.data->mask_len > 0) {
            *xcb_input_event_mask_mask(masks.data) &= ~std::uint32_t{XCB_INPUT_XI_EVENT_MASK_MOTION};
            xcb_input_xi_select_events(connection, id, 1, masks.data);
        }
    if (place) {
        // As a window manager tells of a move; sent for no events, it goes to the toolkit alone.
        xcb_configure_notify_event_t notice{};
        notice.response_type = XCB_CONFIGURE_NOTIFY;
        notice.event = notice.window = id;
        notice.x = place->dst_x;
        notice.y = place->dst_y;
        notice.width = static_cast<std::uint16_t>(window->width());
        notice.height = static_cast<std::uint16_t>(window->height());
        xcb_send_event(connection, 0, id, 0, reinterpret_cast<const char*>(&notice));
    }
    std::free(core);
    std::free(selected);
    std::free(place);
    xcb_flush(connection);
}

} // namespace fk::platform
