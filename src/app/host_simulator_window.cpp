#include "app/host_simulator_window.h"

#include "platform/qt/qt_text.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumetra {

HostSimulatorWindow::HostSimulatorWindow(SimulatedAutomation& host) : m_host(host) {
    setObjectName(QStringLiteral("HostSimulator"));
    setWindowTitle(QStringLiteral("Host simulator — work list"));
    auto* layout = new QVBoxLayout(this);
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("listState"));
    m_lines = new QListWidget(this);
    m_lines->setObjectName(QStringLiteral("listLines"));
    m_lines->setUniformItemSizes(true);
    auto* drop =
        new QPushButton(QStringLiteral("Close the list object (as when the host closes)"), this);
    drop->setObjectName(QStringLiteral("dropList"));
    layout->addWidget(m_state);
    layout->addWidget(m_lines, 1);
    layout->addWidget(drop);
    connect(drop, &QPushButton::clicked, this, [this] { m_host.dropCurrentList(); });
    resize(640, 360);
    m_host.setListener([this] { refresh(); });
    refresh();
}

void HostSimulatorWindow::refresh() {
    const SimulatedHostState& state = m_host.state();
    m_state->setText(QStringLiteral("List %1, %2 line(s)")
                         .arg(state.running ? QStringLiteral("running") : QStringLiteral("stopped"))
                         .arg(state.lines.size()));
    // Lines are added, not rebuilt, so a long list costs linear time.
    if (state.clears != m_clearsShown) {
        m_lines->clear();
        m_clearsShown = state.clears;
    }
    for (auto i = static_cast<std::size_t>(m_lines->count()); i < state.lines.size(); ++i) {
        const std::string& line = state.lines[i];
        const std::string readable = describeWorkListLine(line);
        auto* item = new QListWidgetItem(
            QString::fromUtf8(readable.data(), static_cast<qsizetype>(readable.size())), m_lines);
        item->setToolTip(toQString(line));
    }
    if ((state.listVisible || state.hostVisible) && !isVisible())
        show();
}

} // namespace lumetra
