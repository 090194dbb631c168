#include "platform/x11_pointer_source.h"

#include "core/logging.h"
#include "platform/x11_connection.h"

#include <QAbstractNativeEventFilter>
#include <QSocketNotifier>
#include <QWindow>
#include <xcb/xinput.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace fk::platform {

namespace {

// Crossing modes and details, the same numbers in the core protocol and in XInput 2.
constexpr std::uint8_t kModeNormal = 0;
constexpr std::uint8_t kModeUngrab = 2;
constexpr std::uint8_t kModePassiveUngrab = 5; // XInput 2 only
constexpr std::uint8_t kDetailInferior = 2;

std::uint8_t xinputOpcode(xcb_connection_t* connection)
{
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_input_id);
    return extension && extension->present ? extension->major_opcode : 0;
}

// Asks for every device movement anywhere as raw motion on the root window. From XInput 2.1
// on the server sends it also while another client holds the pointer.
bool selectRawMotion(xcb_connection_t* connection, xcb_window_t root)
{
    if (xinputOpcode(connection) == 0)
        return false;
    xcb_input_xi_query_version_reply_t* version =
        xcb_input_xi_query_version_reply(connection, xcb_input_xi_query_version(connection, 2, 2), nullptr);
    const bool recentEnough =
        version && (version->major_version > 2 || (version->major_version == 2 && version->minor_version >= 1));
    std::free(version);
    if (!recentEnough)
        return false;
    struct {
        xcb_input_event_mask_t head;
        std::uint32_t bits;
    } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, XCB_INPUT_XI_EVENT_MASK_RAW_MOTION};
    xcb_generic_error_t* error =
        xcb_request_check(connection, xcb_input_xi_select_events_checked(connection, root, 1, &mask.head));
    const bool selected = error == nullptr;
    std::free(error);
    return selected;
}

bool isProgramWindow(xcb_window_t window)
{
    const QWindowList windows = QGuiApplication::allWindows();
    return std::any_of(windows.begin(), windows.end(),
                       [&](const QWindow* w) { return w->handle() && w->winId() == window; });
}

// Raw motion arrives on the source's own connection. Everything the toolkit's connection
// brings (moves and clicks over the program's windows, windows moved or mapped, crossings)
// is a report too, and its crossings tell whether the pointer is over a program window.
class X11PointerSource final : public PointerSource, public QAbstractNativeEventFilter {
public:
    X11PointerSource(xcb_connection_t* own, xcb_window_t root, bool rawMotion)
        : own_(own),
          root_(root),
          rawMotion_(rawMotion),
          toolkitXInput_(xinputOpcode(x11Connection())),
          notifier_(xcb_get_file_descriptor(own), QSocketNotifier::Read)
    {
        notifier_.setEnabled(false);
        QObject::connect(&notifier_, &QSocketNotifier::activated, [this] {
            if (drain(xcb_poll_for_event))
                report();
        });
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~X11PointerSource() override { xcb_disconnect(own_); }

    QPoint read() override
    {
        xcb_query_pointer_reply_t* reply = xcb_query_pointer_reply(own_, xcb_query_pointer(own_, root_), nullptr);
        if (reply)
            last_ = QPoint(reply->root_x, reply->root_y);
        std::free(reply);
        // Device motion that came in with the reply: while the pointer moves, each reading
        // brings the report that calls for the next one, and no further look at the socket
        // is needed.
        if (drain(xcb_poll_for_queued_event))
            report();
        return last_;
    }

    bool reportsDeviceMotion() const override { return rawMotion_; }

protected:
    void listen(bool on) override
    {
        notifier_.setEnabled(on);
        // Events that came in with a reply wait in the client library, not on the socket.
        if (on && drain(xcb_poll_for_queued_event))
            report();
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (type == "xcb_generic_event_t") {
            followCrossing(static_cast<const xcb_generic_event_t*>(message));
            report();
        }
        return false;
    }

private:
    // Takes every event off the connection: those the client library holds, or with
    // xcb_poll_for_event those on the socket as well.
    bool drain(xcb_generic_event_t* (*next)(xcb_connection_t*))
    {
        bool any = false;
        while (xcb_generic_event_t* event = next(own_)) {
            any = true;
            std::free(event);
        }
        return any;
    }

    void followCrossing(const xcb_generic_event_t* event)
    {
        const std::uint8_t kind = event->response_type & 0x7f;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(event);
        if (kind == XCB_ENTER_NOTIFY || kind == XCB_LEAVE_NOTIFY) {
            const auto* crossing = reinterpret_cast<const xcb_enter_notify_event_t*>(event);
            crossed(crossing->event, kind == XCB_ENTER_NOTIFY, crossing->mode, crossing->detail);
        } else if (kind == XCB_GE_GENERIC && toolkitXInput_ != 0) {
            const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(event);
            if (generic->extension == toolkitXInput_
                && (generic->event_type == XCB_INPUT_ENTER || generic->event_type == XCB_INPUT_LEAVE)) {
                // mode at byte 18, detail at 19, the window at 24: all within the first 32
                // bytes, which the client library leaves where the server put them.
                xcb_window_t window;
                std::memcpy(&window, bytes + 24, sizeof window);
                crossed(window, generic->event_type == XCB_INPUT_ENTER, bytes[18], bytes[19]);
            }
        } else if (kind == XCB_UNMAP_NOTIFY || kind == XCB_DESTROY_NOTIFY) {
            // No crossing event reaches a window that goes while the pointer is over it.
            xcb_window_t gone; // the same place in both events
            std::memcpy(&gone, bytes + offsetof(xcb_unmap_notify_event_t, window), sizeof gone);
            if (gone == pointerWindow_)
                setPointerWindow(XCB_NONE);
        }
    }

    // Only an ordinary entry (or the end of someone's grab) into a window of the program
    // means the moves are ours to see; any leaving but into a window inside ours means they
    // may not be. The toolkit also watches the root window, which is nobody's.
    void crossed(xcb_window_t window, bool entered, std::uint8_t mode, std::uint8_t detail)
    {
        if (entered && !isProgramWindow(window))
            return;
        if (entered && (mode == kModeNormal || mode == kModeUngrab || mode == kModePassiveUngrab))
            setPointerWindow(window);
        else if (window == pointerWindow_ && !(!entered && detail == kDetailInferior && mode == kModeNormal))
            setPointerWindow(XCB_NONE);
    }

    void setPointerWindow(xcb_window_t window)
    {
        pointerWindow_ = window;
        setOverProgramWindow(window != XCB_NONE);
    }

    xcb_connection_t* own_;
    xcb_window_t root_;
    bool rawMotion_;
    std::uint8_t toolkitXInput_;
    QSocketNotifier notifier_;
    xcb_window_t pointerWindow_ = XCB_NONE;
    QPoint last_;
};

} // namespace

std::unique_ptr<PointerSource> openX11PointerSource()
{
    if (!x11Connection())
        return nullptr;
    int screenNumber = 0;
    xcb_connection_t* own = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(own)) {
        xcb_disconnect(own);
        return nullptr;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(own));
    for (; screenNumber > 0 && screens.rem > 1; --screenNumber)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const bool rawMotion = selectRawMotion(own, root);
    qCDebug(lcPointer) << "X11 pointer source on a connection of its own;"
                       << (rawMotion ? "device motion is reported anywhere" : "no raw motion: polling outside our windows");
    return std::make_unique<X11PointerSource>(own, root, rawMotion);
}

} // namespace fk::platform
