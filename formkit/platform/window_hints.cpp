#include "platform/window_hints.h"

#include "platform/x11_connection.h"

#include <QWidget>
#include <QWindow>

#include <cstdlib>
#include <cstring>

namespace fk::platform {

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t result = reply->atom;
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
        if (event->type() == QEvent::Show)
            apply(static_cast<QWidget*>(watched));
        return false;
    }

private:
    static void apply(QWidget* window)
    {
        xcb_connection_t* connection = x11Connection();
        if (!connection || !window->windowHandle())
            return;
        const xcb_window_t id = static_cast<xcb_window_t>(window->winId());
        const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
        const xcb_atom_t skipTaskbar = atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
        if (state == XCB_ATOM_NONE || skipTaskbar == XCB_ATOM_NONE)
            return;
        xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 1, &skipTaskbar);
        xcb_flush(connection);
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

bool mouseButtonsHeld()
{
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return QGuiApplication::mouseButtons() != Qt::NoButton;
    const xcb_setup_t* setup = xcb_get_setup(connection);
    xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    xcb_query_pointer_reply_t* reply =
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, screen->root), nullptr);
    if (!reply)
        return QGuiApplication::mouseButtons() != Qt::NoButton;
    constexpr uint16_t anyButton = XCB_KEY_BUT_MASK_BUTTON_1 | XCB_KEY_BUT_MASK_BUTTON_2 | XCB_KEY_BUT_MASK_BUTTON_3
                                   | XCB_KEY_BUT_MASK_BUTTON_4 | XCB_KEY_BUT_MASK_BUTTON_5;
    const bool held = (reply->mask & anyButton) != 0;
    std::free(reply);
    return held;
}

} // namespace fk::platform
