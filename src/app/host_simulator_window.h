// The host simulator's window: the work-list lines received and the list's state.
#pragma once

#include "platform/sim/simulated_automation.h"

#include <QWidget>

class QLabel;
class QListWidget;

namespace lumetra {

class HostSimulatorWindow final : public QWidget {
    Q_OBJECT
public:
    explicit HostSimulatorWindow(SimulatedAutomation& host);
    void refresh();

private:
    SimulatedAutomation& m_host;
    QListWidget* m_lines = nullptr;
    QLabel* m_state = nullptr;
    int m_clearsShown = 0;
};

} // namespace lumetra
