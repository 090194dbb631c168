#include "core/logging.h"
#include "platform/pointer_source.h"
#include "platform/x11_connection.h"

#include <QAbstractNativeEventFilter>
#include <QCursor>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <xcb/record.h>
#include <xcb/xcbext.h>
#include <xcb/xinput.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace fk::platform {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::ceil;
using std::chrono::milliseconds;

// While a device moves faster than the polling ticks, one reading a tick is all the polling
// can use. A reading less than half a tick early is on time: a device that moves at about
// the ticks' rate, a little early or late each time, is followed move by move.
constexpr auto kTick = milliseconds(10);
constexpr auto kEarly = milliseconds(5);
constexpr std::uint16_t kButtonsInState = 0x1f00;   // the core protocol's masks of buttons 1 to 5
constexpr std::uint32_t kButtonsInMask = 0x3e;      // XInput 2 numbers the bits by button: 1 to 5
constexpr std::uint8_t kFromServer = 0;             // the category of a recording's device events

std::uint8_t xinputOpcode(xcb_connection_t* connection)
{
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_input_id);
    return extension && extension->present ? extension->major_opcode : 0;
}

bool succeeded(xcb_connection_t* connection, xcb_void_cookie_t request)
{
    xcb_generic_error_t* error = xcb_request_check(connection, request);
    const bool done = !error;
    std::free(error);
    return done;
}

// Has the server tell the data connection of every move of the pointer, with the position it
// led to (a device's, a warp's or a faked one's alike), and of every button going down or up.
// Returns the recording's request.
std::optional<unsigned> recordMoves(xcb_connection_t* control, xcb_connection_t* data)
{
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(control, &xcb_record_id);
    if (!extension || !extension->present)
        return std::nullopt;
    std::free(xcb_record_query_version_reply(control, xcb_record_query_version(control, 1, 13), nullptr));
    const xcb_record_context_t context = xcb_generate_id(control);
    xcb_record_range_t moves{};
    moves.device_events = {XCB_BUTTON_PRESS, XCB_MOTION_NOTIFY};
    const xcb_record_client_spec_t everyone = XCB_RECORD_CS_ALL_CLIENTS;
    if (!succeeded(control, xcb_record_create_context_checked(control, context, 0, 1, 1, &everyone, &moves)))
        return std::nullopt;
    // The first reply says that the recording has started.
    const auto recording = xcb_record_enable_context(data, context);
    xcb_record_enable_context_reply_t* started = xcb_record_enable_context_reply(data, recording, nullptr);
    const auto result = started ? std::optional(recording.sequence) : std::nullopt;
    std::free(started);
    return result;
}

// Whether the server tells of every device movement anywhere as raw motion on the root window
// (from XInput 2.1 on, also while another client holds the pointer), but of no warp.
bool hasRawMotion(xcb_connection_t* connection)
{
    xcb_input_xi_query_version_reply_t* version =
        xinputOpcode(connection) ? xcb_input_xi_query_version_reply(connection, xcb_input_xi_query_version(connection, 2, 2), nullptr)
                                 : nullptr;
    const bool recentEnough = version && version->major_version * 100 + version->minor_version >= 201;
    std::free(version);
    return recentEnough;
}

xcb_void_cookie_t selectRawMotion(xcb_connection_t* connection, xcb_window_t root, bool selected)
{
    struct {
        xcb_input_event_mask_t head;
        std::uint32_t bits;
    } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, selected ? std::uint32_t{XCB_INPUT_XI_EVENT_MASK_RAW_MOTION} : 0u};
    return xcb_input_xi_select_events_checked(connection, root, 1, &mask.head);
}

// Where a crossing of the toolkit's leaves the pointer: inside the program's windows (any
// entry) or out of them (a leave, unless into a window of its own or for a grab's start).
std::optional<bool> crossedInto(std::uint8_t kind, const xcb_generic_event_t* event, bool xinput)
{
    const auto inside = [](bool entered, std::uint8_t mode, std::uint8_t detail) -> std::optional<bool> {
        if (entered)
            return true;
        const bool moved = mode == XCB_NOTIFY_MODE_NORMAL || mode == XCB_NOTIFY_MODE_WHILE_GRABBED;
        return moved && detail != XCB_NOTIFY_DETAIL_INFERIOR ? std::optional(false) : std::nullopt;
    };
    if (kind == XCB_ENTER_NOTIFY || kind == XCB_LEAVE_NOTIFY) {
        const auto* core = reinterpret_cast<const xcb_enter_notify_event_t*>(event);
        return inside(kind == XCB_ENTER_NOTIFY, core->mode, core->detail);
    }
    const auto* device = reinterpret_cast<const xcb_input_enter_event_t*>(event);
    if (xinput && (device->event_type == XCB_INPUT_ENTER || device->event_type == XCB_INPUT_LEAVE))
        return inside(device->event_type == XCB_INPUT_ENTER, device->mode, device->detail);
    return std::nullopt;
}

// Follows the pointer on two connections of its own, so that nothing it asks or waits for
// wakes the toolkit's event reader. On one it asks; on the other the server tells it of the
// pointer's moves, read by a thread of its own, which wakes the toolkit's thread only for a
// reading that crosses a watched rectangle. Where the server records no moves, the thread
// also reads every 100 ms, for a warp that nobody tells of (every tick where the server tells
// nothing at all). It owns its thread: gone, it has stopped and joined it first.
class X11PointerSource final : public PointerSource, public QAbstractNativeEventFilter {
public:
    X11PointerSource(xcb_connection_t* asking, xcb_connection_t* told, xcb_window_t root,
                     std::optional<unsigned> recording, bool rawMotion, std::optional<Clock::duration> unasked)
        : asking_(asking),
          told_(told),
          root_(root),
          recording_(recording),
          unasked_(unasked),
          toolkitXInput_(xinputOpcode(x11Connection())),
          promptable_(recording && rawMotion),
          inside_(QGuiApplication::topLevelAt(QCursor::pos()) != nullptr)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
        keepRecordingPrompt();
        QObject::connect(&newsHeard_, &QSocketNotifier::activated, [this] { tellNews(); });
        thread_ = std::thread([this] { follow(); });
    }

    // The filter leaves the application with its base's destructor.
    ~X11PointerSource() override
    {
        const std::uint64_t stop = 1;
        [[maybe_unused]] const ssize_t written = ::write(stop_, &stop, sizeof stop);
        thread_.join();
        ::close(stop_);
        newsHeard_.setEnabled(false);
        ::close(news_);
        xcb_disconnect(told_);
        xcb_disconnect(asking_);
    }

    // A server that has gone answers nothing; the newest reading stands.
    PointerReading read() override
    {
        xcb_query_pointer_reply_t* r = xcb_query_pointer_reply(asking_, xcb_query_pointer(asking_, root_), nullptr);
        const auto reading = r ? PointerReading{{r->root_x, r->root_y}, (r->mask & kButtonsInState) != 0} : newest();
        std::free(r);
        return reading.value_or(PointerReading{});
    }

    bool followsPointer() const override { return true; }

    void reportEveryMove(bool every) override
    {
        PointerSource::reportEveryMove(every);
        keepRecordingPrompt();
    }

protected:
    // The toolkit's own events: a window of the program moved, sized or mapped, and a button
    // over one of them, with where the pointer was and which buttons were held before it. The
    // toolkit takes the pointer's events from XInput 2; it hears no motion over the forms.
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const std::uint8_t kind = type == "xcb_generic_event_t" ? event->response_type & 0x7f : 0;
        if (kind == XCB_CONFIGURE_NOTIFY || kind == XCB_MAP_NOTIFY)
            report({PointerReport::Windows});
        const auto* device = reinterpret_cast<const xcb_input_button_press_event_t*>(event);
        const bool xinput = kind == XCB_GE_GENERIC && toolkitXInput_ != 0 && device->extension == toolkitXInput_;
        if (const std::optional<bool> inside = crossedInto(kind, event, xinput)) {
            inside_ = *inside;
            keepRecordingPrompt();
        }
        if (kind == XCB_MOTION_NOTIFY || (xinput && device->event_type == XCB_INPUT_MOTION))
            qCDebug(lcPointer) << "the toolkit was sent a motion of the pointer";
        if (!xinput || (device->event_type != XCB_INPUT_BUTTON_PRESS && device->event_type != XCB_INPUT_BUTTON_RELEASE))
            return false;
        const std::uint32_t buttons = device->buttons_len ? *xcb_input_button_press_button_mask(device) : 0;
        const std::uint32_t button = device->detail < 32 ? 1u << device->detail : 0;
        const bool held = (device->event_type == XCB_INPUT_BUTTON_PRESS ? buttons | button : buttons & ~button) & kButtonsInMask;
        const PointerReading reading{{device->root_x >> 16, device->root_y >> 16}, held, device->time};
        const bool crossed = offer(reading);
        report({PointerReport::Button, reading, crossed});
        return false;
    }

private:
    // A recording reaches its client when the server next sends anything to any client, which
    // a move that no client is sent does not make it do. Over the program's windows the
    // toolkit is sent no motion, and a drag holds the pointer: there the asking connection
    // takes raw motion, which makes the server send the recording on at once. Elsewhere a move
    // that matters here enters a window, whose client is told of it, which sends the recording
    // on too; raw motion there would only double the server's work for a fast device.
    void keepRecordingPrompt()
    {
        const bool prompt = promptable_ && (inside_ || everyMove_);
        if (prompt == prompting_)
            return;
        prompting_ = prompt;
        selectRawMotion(asking_, root_, prompt);
        xcb_flush(asking_);
        qCDebug(lcPointer) << (prompt ? "raw motion keeps the recording prompt" : "raw motion is not needed");
    }

    // The thread: waits for the server's news of the pointer and offers one reading a tick at
    // most. While a device moves faster than the ticks, it sleeps out each tick instead of
    // waking for every move, and takes what came meanwhile at once. It ends when told to stop.
    void follow()
    {
        pollfd waits[] = {{stop_, POLLIN, 0}, {xcb_get_file_descriptor(told_), POLLIN, 0}};
        Clock::time_point offered = Clock::now();
        std::optional<PointerReading> recorded;
        bool fast = false, moved = false;
        while (!xcb_connection_has_error(told_)) {
            const auto until = [](Clock::time_point t) { return int(std::max(ceil<milliseconds>(t - Clock::now()).count(), 0L)); };
            ::poll(waits, fast ? 1 : 2, fast ? until(offered + kTick) : unasked_ ? until(offered + *unasked_) : -1);
            if (waits[0].revents)
                return;
            moved = takeMoves(recorded) || moved;
            const auto now = Clock::now();
            const bool early = now + kEarly < offered + kTick;
            fast = moved && (fast || early);
            if ((!moved || early) && !(unasked_ && now + kEarly >= offered + *unasked_))
                continue;
            const PointerReading reading = recorded ? *std::exchange(recorded, std::nullopt) : read();
            moved = false;
            offered = now;
            if (const bool crossed = offer(reading); crossed || everyMove_) {
                if (crossed)
                    newsCrossed_ = true;
                const std::uint64_t news = 1;
                [[maybe_unused]] const ssize_t written = ::write(news_, &news, sizeof news);
            }
        }
    }

    // On the toolkit's thread: the thread has news, one report or more taken together.
    void tellNews()
    {
        std::uint64_t count = 0;
        if (::read(news_, &count, sizeof count) > 0)
            report({PointerReport::Moved, newest(), newsCrossed_.exchange(false)});
    }

    // Takes every move the server told of; keeps the position of the last one recorded. With a
    // recording, raw motion only makes the server send the recording on: its moves are those.
    bool takeMoves(std::optional<PointerReading>& recorded)
    {
        bool any = false;
        while (xcb_generic_event_t* rawMotion = xcb_poll_for_event(recording_ ? asking_ : told_)) {
            any = !recording_;
            std::free(rawMotion);
        }
        void* reply = nullptr;
        xcb_generic_error_t* error = nullptr;
        while (recording_ && xcb_poll_for_reply(told_, *recording_, &reply, &error) && (reply || error)) {
            const auto* data = static_cast<const xcb_record_enable_context_reply_t*>(reply);
            const int length = data && data->category == kFromServer ? xcb_record_enable_context_data_length(data) : 0;
            // Moves and buttons, each with the buttons held before it; the three events share
            // their layout.
            for (int at = 0; at + 32 <= length; at += 32) {
                const auto* e = reinterpret_cast<const xcb_motion_notify_event_t*>(xcb_record_enable_context_data(data) + at);
                const int kind = e->response_type & 0x7f;
                const int button = kind != XCB_MOTION_NOTIFY && e->detail <= 5 ? 0x80 << e->detail : 0;
                const int held = kind == XCB_BUTTON_PRESS ? e->state | button : e->state & ~button;
                recorded = {{e->root_x, e->root_y}, (held & kButtonsInState) != 0, e->time};
                any = true;
            }
            std::free(std::exchange(reply, nullptr));
            std::free(std::exchange(error, nullptr));
        }
        return any;
    }

    xcb_connection_t* asking_;
    xcb_connection_t* told_;
    xcb_window_t root_;
    std::optional<unsigned> recording_;
    std::optional<Clock::duration> unasked_;
    std::uint8_t toolkitXInput_;
    // On the toolkit's thread: whether raw motion can keep the recording prompt, whether the
    // pointer is over the program's windows, and whether the asking connection takes it.
    const bool promptable_;
    bool inside_;
    bool prompting_ = false;
    // The thread's news reaches the toolkit's thread through a descriptor that its event loop
    // watches, and a crossing in it through a flag.
    const int news_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    QSocketNotifier newsHeard_{news_, QSocketNotifier::Read};
    std::atomic<bool> newsCrossed_ = false;
    const int stop_ = ::eventfd(0, EFD_CLOEXEC);
    std::thread thread_;
};

PointerSource* replacement = nullptr;

// The program's source: on X11 one on connections of its own (to the screen of the toolkit's),
// elsewhere the base, which asks the toolkit.
PointerSource* openProgramsSource()
{
    int screen = 0;
    xcb_connection_t* asking = x11Connection() ? xcb_connect(nullptr, &screen) : nullptr;
    xcb_connection_t* told = asking ? xcb_connect(nullptr, nullptr) : nullptr;
    if (!told || xcb_connection_has_error(asking) || xcb_connection_has_error(told)) {
        xcb_disconnect(asking);
        xcb_disconnect(told);
        return new PointerSource;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(asking));
    for (; screen > 0 && screens.rem > 1; --screen)
        xcb_screen_next(&screens);
    // The recording's own connection carries nothing else: the server fails on events between
    // its replies there. Without one, raw motion on it tells of every device movement.
    const std::optional<unsigned> recording = recordMoves(asking, told);
    const xcb_window_t root = screens.data->root;
    // With one, raw motion is taken on the asking connection only while it is needed (see
    // keepRecordingPrompt); without one, on the other connection all the time.
    const bool rawMotion = hasRawMotion(recording ? asking : told)
                           && (recording || succeeded(told, selectRawMotion(told, root, true)));
    qCDebug(lcPointer) << "X11 pointer source:"
                       << (recording  ? "the server records every move of the pointer"
                           : rawMotion ? "no recording: raw device motion, and a reading every 100 ms for warps"
                                       : "no recording and no raw motion: a reading every tick");
    return new X11PointerSource(asking, told, root, recording, rawMotion,
                                recording ? std::nullopt : std::optional<Clock::duration>(rawMotion ? milliseconds(100) : kTick));
}

// The program's source, made on first use. One on X11 is closed before the application object
// goes; a base one stands in from then on.
PointerSource* programs = nullptr;
bool programsClosed = false;

} // namespace

PointerSource& pointerSource()
{
    if (replacement)
        return *replacement;
    if (!programs && !programsClosed && x11Connection()) {
        programs = openProgramsSource();
        // For any program whose own code does not close it: the toolkit runs this first thing
        // as its application object goes.
        qAddPostRoutine(closePointerSource);
    }
    if (!programs)
        programs = new PointerSource;
    return *programs;
}

void closePointerSource()
{
    programsClosed = true;
    delete std::exchange(programs, nullptr);
}

void replacePointerSource(PointerSource* source) { replacement = source; }

} // namespace fk::platform
