// The program told to end from outside: SIGTERM and SIGINT on Linux; on Windows a console's
// Ctrl+C or close, and the end of the session (log-off, shutdown). Each ends the program as
// closing its main window does: it is asked to end, its event loop ends, and main() then
// runs the unload steps (port closed, host objects released).
#pragma once

#include <functional>
#include <string>

class QObject;

namespace lumetra {

// `end` runs on the user-interface thread with the reason. With `now` set the process may
// be ended by the system as soon as `end` returns (the session ends), so the shutdown steps
// must run within it.
using EndProgram = std::function<void(const std::string& reason, bool now)>;

void endOnTermination(QObject& owner, EndProgram end);

} // namespace lumetra
