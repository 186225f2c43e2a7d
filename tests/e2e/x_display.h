// A real X server (Xvfb) with a window manager, for the cases that need real windows,
// and the two things a test does there: press keys and ask a window to close.
#pragma once

#include <string>
#include <vector>

namespace lumetra::e2e {

class XDisplay {
public:
    XDisplay();
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    // False when Xvfb, the window manager or xdotool is not installed: the only reason a
    // test on the X server may skip.
    bool installed() const { return m_installed; }
    // True when the server answers and the window manager runs; else `failure` says why.
    bool valid() const { return !m_name.empty(); }
    const std::string& failure() const { return m_failure; }
    const std::string& name() const { return m_name; }

    // xdotool with DISPLAY set; returns its standard output.
    std::string xdotool(const std::vector<std::string>& arguments) const;
    // The first window whose title matches the pattern, waiting for it to appear.
    std::string findWindow(const std::string& titlePattern) const;
    // What a click on the window's close button does: WM_DELETE_WINDOW to the window.
    bool askToClose(const std::string& window) const;

private:
    bool start();
    void stop();

    bool m_installed = false;
    std::string m_failure;
    std::string m_name;
    int m_server = -1;
    int m_manager = -1;
};

} // namespace lumetra::e2e
