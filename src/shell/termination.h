// SIGTERM and SIGINT end the program as closing its main window does: the event loop
// ends, and main() then runs the unload steps (port closed, host objects released).
#pragma once

#include <functional>

class QObject;

namespace lumetra {

// `onSignal` runs on the user-interface thread, with the signal's number, before the
// event loop is asked to end.
void quitOnTermination(QObject& owner, std::function<void(int)> onSignal);

} // namespace lumetra
