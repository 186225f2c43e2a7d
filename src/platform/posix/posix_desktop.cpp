#include "platform/posix/posix_desktop.h"

#include "common/code_page.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
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

// The X key name of a code-page character: Latin-1 keysyms are the code points, others
// are Unicode keysyms.
std::string keyName(char c) {
    const char32_t code = codePageToUnicode(c);
    const KeySym keysym = code < 0x100 ? code : 0x1000000 + code;
    const char* name = XKeysymToString(keysym);
    return name != nullptr ? name : std::string{};
}

} // namespace

PosixDesktop::PosixDesktop(const Paths& paths, OperatorLog& log, std::string display)
    : m_paths(paths), m_log(log) {
    if (!display.empty())
        m_xdo = xdo_new(display.c_str());
}

PosixDesktop::~PosixDesktop() {
    if (m_xdo != nullptr)
        xdo_free(xdo(m_xdo));
}

bool PosixDesktop::haveDisplay(std::string_view step) {
    if (m_xdo != nullptr)
        return true;
    m_log.write(LogKind::Info, "no display: " + std::string(step) + " skipped");
    return false;
}

std::optional<TaskId> PosixDesktop::start(std::string_view path) {
    const std::string native = m_paths.map(path);
    if (::access(native.c_str(), X_OK) != 0) {
        m_log.write(LogKind::Error, "cannot start " + native + ": " + std::strerror(errno));
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
        m_log.write(LogKind::Error, "cannot start " + native + ": " + std::strerror(error));
        return std::nullopt;
    }
    m_log.write(LogKind::Info, "started " + native + " as task " + std::to_string(pid));
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

bool PosixDesktop::activate(TaskId task) {
    if (!haveDisplay("activating the editor's window"))
        return false;
    xdo_search_t search{};
    search.pid = static_cast<int>(task);
    search.searchmask = SEARCH_PID | SEARCH_ONLYVISIBLE;
    search.require = xdo_search::SEARCH_ALL;
    search.max_depth = -1;
    Window* windows = nullptr;
    unsigned int count = 0;
    xdo_search_windows(xdo(m_xdo), &search, &windows, &count);
    if (count == 0) {
        free(windows);
        return false;
    }
    const Window window = windows[count - 1];
    free(windows);
    if (xdo_activate_window(xdo(m_xdo), window) == XDO_SUCCESS) {
        xdo_wait_for_window_active(xdo(m_xdo), window, 1);
        return true;
    }
    return xdo_focus_window(xdo(m_xdo), window) == XDO_SUCCESS;
}

WindowId PosixDesktop::activeWindow() {
    if (!haveDisplay("reading the active window"))
        return 0;
    Window window = 0;
    if (xdo_get_active_window(xdo(m_xdo), &window) != XDO_SUCCESS)
        xdo_get_focused_window_sane(xdo(m_xdo), &window);
    return window;
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

bool PosixDesktop::sendKeys(std::string_view keys) {
    if (!haveDisplay("sending keystrokes"))
        return false;
    std::string text;
    auto flush = [&] {
        if (!text.empty())
            xdo_enter_text_window(xdo(m_xdo), CURRENTWINDOW, codePageToUtf8(text).c_str(),
                                  kKeyDelay);
        text.clear();
    };
    for (char c : keys) {
        if (c == '\x0F' || c == '\r') {
            flush();
            xdo_send_keysequence_window(xdo(m_xdo), CURRENTWINDOW, c == '\r' ? "Return" : "ctrl+o",
                                        kKeyDelay);
        } else if (isUpperBeyondAscii(c) && !keyName(c).empty()) {
            flush();
            xdo_send_keysequence_window(xdo(m_xdo), CURRENTWINDOW, ("shift+" + keyName(c)).c_str(),
                                        kKeyDelay);
        } else {
            text += c;
        }
    }
    flush();
    return true;
}

} // namespace lumetra
