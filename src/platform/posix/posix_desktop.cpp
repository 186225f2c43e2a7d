#include "platform/posix/posix_desktop.h"

#include "common/code_page.h"
#include "common/text.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern "C" {
#include <xdo.h>
}
#include <X11/Xatom.h>
#include <X11/Xlib.h>

extern char** environ;

namespace lumetra {

namespace {

xdo_t* xdo(void* handle) {
    return static_cast<xdo_t*>(handle);
}

constexpr useconds_t kKeyDelay = 12000; // microseconds between typed characters

// Upper-case letters of the code page beyond ASCII (Š Œ Ž Ÿ À..Þ but ×). Typed as text,
// X gives a key bound for one of them its lower-case form.
bool isUpperBeyondAscii(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b == 0x8A || b == 0x8C || b == 0x8E || b == 0x9F ||
           (b >= 0xC0 && b <= 0xDE && b != 0xD7);
}

// The keysym of a code-page character: Latin-1 keysyms are the code points, others are
// Unicode keysyms.
KeySym keysymOf(char c) {
    const char32_t code = codePageToUnicode(c);
    return code < 0x100 ? code : 0x1000000 + code;
}

std::string keyName(char c) {
    const char* name = XKeysymToString(keysymOf(c));
    return name != nullptr ? name : std::string{};
}

// The lower- and upper-case forms of a code-page character (the same for one without).
std::pair<char, char> casePair(char c) {
    const char upper = toUpper(std::string_view(&c, 1))[0];
    if (upper != c)
        return {c, upper};
    for (int b = 0x80; b <= 0xFF; ++b) {
        const char lower = static_cast<char>(b);
        if (lower != c && toUpper(std::string_view(&lower, 1))[0] == c)
            return {lower, c};
    }
    return {c, c};
}

// Xlib calls the handler without any context: the last error waits here until the
// step that caused it asks.
std::string g_lastXError;

int recordXError(Display* display, XErrorEvent* event) {
    char text[160] = {};
    XGetErrorText(display, event->error_code, text, sizeof text - 1);
    g_lastXError = std::string(text) + " (request " + std::to_string(event->request_code) +
                   ", resource " + std::to_string(event->resourceid) + ")";
    return 0;
}

} // namespace

PosixDesktop::PosixDesktop(const Paths& paths, PlatformLog& log, const std::string& display)
    : m_paths(paths), m_log(log) {
    if (display.empty())
        return;
    // Xlib's own handler ends the process on an error such as BadWindow.
    XSetErrorHandler(recordXError);
    m_xdo = xdo_new(display.c_str());
}

bool PosixDesktop::noXError() {
    XSync(xdo(m_xdo)->xdpy, False);
    if (g_lastXError.empty())
        return true;
    m_log.error("X error: " + std::exchange(g_lastXError, {}));
    return false;
}

PosixDesktop::~PosixDesktop() {
    if (m_xdo == nullptr)
        return;
    Display* display = xdo(m_xdo)->xdpy;
    for (const int keycode : m_boundKeycodes) {
        KeySym none[2] = {NoSymbol, NoSymbol};
        XChangeKeyboardMapping(display, keycode, 2, none, 1);
    }
    XSync(display, False);
    xdo_free(xdo(m_xdo));
}

// libxdo binds a character the keyboard map lacks to a spare key for one keystroke and
// unbinds it at once; a busy receiver that reads the map after the unbinding loses the
// character. Such characters are bound here before they are typed, lower case on the
// first level and upper case on the second, and stay bound while the program runs.
void PosixDesktop::bindMissingKeys(std::string_view keys) {
    Display* display = xdo(m_xdo)->xdpy;
    bool bound = false;
    for (const char c : keys) {
        if (static_cast<unsigned char>(c) < 0x80 || XKeysymToKeycode(display, keysymOf(c)) != 0)
            continue;
        int low = 0;
        int high = 0;
        XDisplayKeycodes(display, &low, &high);
        int perKeycode = 0;
        KeySym* map =
            XGetKeyboardMapping(display, static_cast<KeyCode>(low), high - low + 1, &perKeycode);
        if (map == nullptr)
            return;
        int spare = 0;
        for (int keycode = high; keycode >= low && spare == 0; --keycode) {
            const KeySym* symbols = map + (keycode - low) * perKeycode;
            if (std::all_of(symbols, symbols + perKeycode,
                            [](KeySym symbol) { return symbol == NoSymbol; }))
                spare = keycode;
        }
        XFree(map);
        if (spare == 0)
            return; // libxdo binds it for the keystroke, as before
        const auto [lower, upper] = casePair(c);
        KeySym pair[2] = {keysymOf(lower), keysymOf(upper)};
        XChangeKeyboardMapping(display, spare, 2, pair, 1);
        XSync(display, False);
        m_boundKeycodes.push_back(spare);
        bound = true;
    }
    if (!bound)
        return;
    // libxdo reads the keyboard map once, when it opens: it is opened again over the same
    // connection, which the new one then owns.
    xdo_t* fresh = xdo_new_with_opened_display(xdo(m_xdo)->xdpy, nullptr, 1);
    if (fresh == nullptr)
        return;
    xdo(m_xdo)->close_display_when_freed = 0;
    xdo_free(xdo(m_xdo));
    m_xdo = fresh;
    ::usleep(50000); // the receiver reads the changed map before the first key
}

bool PosixDesktop::haveDisplay(std::string_view step) {
    if (m_xdo != nullptr)
        return true;
    m_log.info("no display: " + std::string(step) + " skipped");
    return false;
}

std::optional<TaskId> PosixDesktop::start(std::string_view path) {
    const std::string native = m_paths.map(path);
    if (::access(native.c_str(), X_OK) != 0) {
        m_log.error("cannot start " + native + ": " + std::strerror(errno));
        return std::nullopt;
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    std::vector<char*> argv{const_cast<char*>(native.c_str()), nullptr};
    pid_t pid = 0;
    const int error = posix_spawn(&pid, native.c_str(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        m_log.error("cannot start " + native + ": " + std::strerror(error));
        return std::nullopt;
    }
    m_log.info("started " + native + " as task " + std::to_string(pid));
    return pid;
}

std::optional<bool> PosixDesktop::isRunning(TaskId task) {
    if (task <= 0)
        return false;
    int status = 0;
    const pid_t result = ::waitpid(static_cast<pid_t>(task), &status, WNOHANG);
    if (result == 0)
        return true;
    if (result == task)
        return false;
    if (errno == ECHILD)
        return ::kill(static_cast<pid_t>(task), 0) == 0;
    return std::nullopt;
}

std::optional<WindowId> PosixDesktop::windowOf(TaskId task) {
    if (!haveDisplay("finding the editor's window") || task <= 0)
        return std::nullopt;
    xdo_search_t search{};
    search.pid = static_cast<int>(task);
    search.searchmask = SEARCH_PID | SEARCH_ONLYVISIBLE;
    search.require = xdo_search::SEARCH_ALL;
    search.max_depth = -1;
    Window* windows = nullptr;
    unsigned int count = 0;
    xdo_search_windows(xdo(m_xdo), &search, &windows, &count);
    std::optional<WindowId> found;
    if (count > 0)
        found = windows[count - 1];
    free(windows);
    return noXError() ? found : std::nullopt;
}

std::optional<WindowId> PosixDesktop::activeWindow() {
    Window active = 0;
    if (xdo_get_active_window(xdo(m_xdo), &active) != XDO_SUCCESS)
        xdo_get_focused_window_sane(xdo(m_xdo), &active);
    if (!noXError() || active == 0 || active == DefaultRootWindow(xdo(m_xdo)->xdpy))
        return std::nullopt;
    return active;
}

bool PosixDesktop::belongsTo(WindowId window, TaskId task) {
    constexpr int kOwnersFollowed = 8;
    Window current = static_cast<Window>(window);
    for (int step = 0; current != 0 && step < kOwnersFollowed; ++step) {
        if (xdo_get_pid_window(xdo(m_xdo), current) == task)
            return noXError();
        Window owner = 0;
        if (XGetTransientForHint(xdo(m_xdo)->xdpy, current, &owner) == 0 || owner == current)
            break;
        current = owner;
    }
    noXError();
    return false;
}

void PosixDesktop::releaseModifiers() {
    charcodemap_t* held = nullptr;
    int count = 0;
    if (xdo_get_active_modifiers(xdo(m_xdo), &held, &count) == XDO_SUCCESS && count > 0)
        xdo_clear_active_modifiers(xdo(m_xdo), CURRENTWINDOW, held, count);
    free(held);
}

bool PosixDesktop::makeActive(WindowId window) {
    // libxdo's activation dereferences what it asks of a window that has gone.
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(xdo(m_xdo)->xdpy, window, &attributes) == 0 || !noXError())
        return false;
    if (activeWindow() == window)
        return true;
    if (xdo_activate_window(xdo(m_xdo), window) == XDO_SUCCESS)
        xdo_wait_for_window_active(xdo(m_xdo), window, 1);
    else
        xdo_focus_window(xdo(m_xdo), window);
    return activeWindow() == window;
}

bool PosixDesktop::activate(TaskId task) {
    if (!haveDisplay("activating the editor"))
        return false;
    // The task's own dialog in front stays in front: its main window would cover it.
    if (const auto active = activeWindow(); active && belongsTo(*active, task))
        return true;
    const auto window = windowOf(task);
    return window && makeActive(*window);
}

bool PosixDesktop::makeTopmost(WindowId window) {
    if (!haveDisplay("placing the editor topmost") || window == 0)
        return false;
    Display* display = xdo(m_xdo)->xdpy;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(window);
    event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1; // add
    event.xclient.data.l[1] = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_ABOVE", False));
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
    return true;
}

KeysOutcome PosixDesktop::sendKeys(TaskId task, std::string_view keys) {
    if (!haveDisplay("sending keystrokes") || task <= 0)
        return KeysOutcome::Failed;
    bindMissingKeys(keys);
    // Before every burst the active window must be one of the task's: keys never go to
    // whatever window of another program took its place.
    const auto typed = [&](auto send) {
        const auto active = activeWindow();
        if (!active) {
            m_log.info("keystrokes wait: no window is active");
            return KeysOutcome::NothingActive;
        }
        if (!belongsTo(*active, task)) {
            m_log.error("keystrokes not sent: the active window " + std::to_string(*active) +
                        " belongs to another program");
            return KeysOutcome::OtherProgram;
        }
        releaseModifiers();
        send();
        return noXError() ? KeysOutcome::Sent : KeysOutcome::Failed;
    };
    std::string text;
    auto flush = [&] {
        const KeysOutcome sent = text.empty() ? KeysOutcome::Sent : typed([&] {
            xdo_enter_text_window(xdo(m_xdo), CURRENTWINDOW, codePageToUtf8(text).c_str(),
                                  kKeyDelay);
        });
        text.clear();
        return sent;
    };
    for (const char c : keys) {
        std::string sequence;
        if (c == '\x0F' || c == '\r')
            sequence = c == '\r' ? "Return" : "ctrl+o";
        else if (isUpperBeyondAscii(c) && !keyName(c).empty())
            sequence = "shift+" + keyName(c);
        if (sequence.empty()) {
            text += c;
            continue;
        }
        if (const KeysOutcome sent = flush(); sent != KeysOutcome::Sent)
            return sent;
        if (const KeysOutcome sent = typed([&] {
                xdo_send_keysequence_window(xdo(m_xdo), CURRENTWINDOW, sequence.c_str(), kKeyDelay);
            });
            sent != KeysOutcome::Sent)
            return sent;
    }
    return flush();
}

} // namespace lumetra
