// SIGTERM and SIGINT end the program as closing its main window does: the program is
// asked to end, its event loop ends, and main() then runs the unload steps (port closed,
// host objects released).
#pragma once

#include <functional>

class QObject;

namespace lumetra {

// `endProgram` runs on the user-interface thread, with the signal's number.
void endOnTermination(QObject& owner, std::function<void(int)> endProgram);

} // namespace lumetra
