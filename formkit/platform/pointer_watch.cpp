#include "platform/pointer_watch.h"

#include "platform/x11_connection.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QSet>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace fk::platform {

namespace {

// Crossing modes and details, the same numbers in the core protocol and in XInput 2.
constexpr std::uint8_t kModeNormal = 0;
constexpr std::uint8_t kModeUngrab = 2;
constexpr std::uint8_t kModePassiveUngrab = 5; // XInput 2 only
constexpr std::uint8_t kDetailInferior = 2;
// XInput 2 event types.
constexpr std::uint16_t kXIEnter = 7;
constexpr std::uint16_t kXILeave = 8;

std::uint8_t xinputOpcode(xcb_connection_t* connection)
{
    static constexpr char kName[] = "XInputExtension";
    xcb_query_extension_reply_t* reply =
        xcb_query_extension_reply(connection, xcb_query_extension(connection, sizeof kName - 1, kName), nullptr);
    const std::uint8_t opcode = reply && reply->present ? reply->major_opcode : 0;
    std::free(reply);
    return opcode;
}

class Watch : public QObject, public QAbstractNativeEventFilter {
public:
    explicit Watch(QCoreApplication* app) : QObject(app)
    {
        if (xcb_connection_t* connection = x11Connection())
            xinputOpcode_ = xinputOpcode(connection);
        app->installEventFilter(this);
        app->installNativeEventFilter(this);
    }

    bool pointerMovesReported() const { return pointerWindow_ != XCB_NONE; }
    quint64 activity() const { return activity_; }
    void (*wake)() = nullptr;

    void addQuietTimer(QObject* timer)
    {
        quietTimers_.insert(timer);
        connect(timer, &QObject::destroyed, this, [this, timer] { quietTimers_.remove(timer); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Timer || !quietTimers_.contains(watched))
            noteActivity();
        return false;
    }

    // Everything the server sends is activity, also what the toolkit then drops (pointer
    // moves over a window that a modal one blocks, for one).
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        noteActivity();
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const std::uint8_t kind = event->response_type & 0x7f;
        if (kind == XCB_ENTER_NOTIFY || kind == XCB_LEAVE_NOTIFY) {
            const auto* crossing = reinterpret_cast<const xcb_enter_notify_event_t*>(event);
            crossed(crossing->event, kind == XCB_ENTER_NOTIFY, crossing->mode, crossing->detail);
        } else if (kind == XCB_GE_GENERIC && xinputOpcode_ != 0) {
            const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(event);
            if (generic->extension == xinputOpcode_
                && (generic->event_type == kXIEnter || generic->event_type == kXILeave)) {
                // mode at byte 18, detail at 19, the window at 24: all within the first 32
                // bytes, which the client library leaves where the server put them.
                const auto* bytes = static_cast<const std::uint8_t*>(message);
                xcb_window_t window;
                std::memcpy(&window, bytes + 24, sizeof window);
                crossed(window, generic->event_type == kXIEnter, bytes[18], bytes[19]);
            }
        } else if (kind == XCB_UNMAP_NOTIFY || kind == XCB_DESTROY_NOTIFY) {
            // No crossing event reaches a window that goes while the pointer is over it.
            const xcb_window_t gone = kind == XCB_UNMAP_NOTIFY
                                          ? reinterpret_cast<const xcb_unmap_notify_event_t*>(event)->window
                                          : reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window;
            if (gone == pointerWindow_)
                pointerWindow_ = XCB_NONE;
        }
        return false;
    }

private:
    void noteActivity()
    {
        ++activity_;
        if (wake)
            std::exchange(wake, nullptr)();
    }

    // Only an ordinary entry (or the end of someone's grab) into a window of the program
    // means the moves are ours to see; any leaving but into a window inside ours means they
    // may not be. The toolkit also watches the root window, which is nobody's.
    void crossed(xcb_window_t window, bool entered, std::uint8_t mode, std::uint8_t detail)
    {
        if (entered && !isProgramWindow(window))
            return;
        if (entered) {
            if (mode == kModeNormal || mode == kModeUngrab || mode == kModePassiveUngrab)
                pointerWindow_ = window;
            else if (window == pointerWindow_)
                pointerWindow_ = XCB_NONE;
        } else if (window == pointerWindow_ && !(detail == kDetailInferior && mode == kModeNormal)) {
            pointerWindow_ = XCB_NONE;
        }
    }

    static bool isProgramWindow(xcb_window_t window)
    {
        const QWindowList windows = QGuiApplication::allWindows();
        return std::any_of(windows.begin(), windows.end(),
                           [&](const QWindow* w) { return w->handle() && w->winId() == window; });
    }

    QSet<QObject*> quietTimers_;
    std::uint8_t xinputOpcode_ = 0;
    xcb_window_t pointerWindow_ = XCB_NONE;
    quint64 activity_ = 0;
};

Watch* watch()
{
    static QPointer<Watch> instance;
    if (!instance && QCoreApplication::instance())
        instance = new Watch(QCoreApplication::instance());
    return instance.data();
}

} // namespace

bool pointerMovesReported()
{
    const Watch* w = watch();
    return w && w->pointerMovesReported();
}

quint64 activityCount()
{
    const Watch* w = watch();
    return w ? w->activity() : 0;
}

void addQuietTimer(QObject* timer)
{
    if (Watch* w = watch())
        w->addQuietTimer(timer);
}

void callOnNextActivity(void (*wake)())
{
    if (Watch* w = watch())
        w->wake = wake;
}

} // namespace fk::platform
