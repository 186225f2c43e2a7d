#include "shell/main_window.h"

#include "common/status_texts.h"
#include "platform/qt/one_line_label.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_widgets.h"
#include "shell/about_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

namespace lumetra {

namespace {

constexpr std::array<const char*, 5> kIndicatorCaptions = {"Load List", "Program", "Dimensions",
                                                           "Vars A-D", "Vars E-I"};

// The window does not move while indicators come and go.
void keepPlaceWhenHidden(QWidget& widget) {
    QSizePolicy policy = widget.sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget.setSizePolicy(policy);
}

} // namespace

MainWindow::MainWindow(MainWindowEvents& events) : m_events(events) {
    setObjectName(fromAscii("frmMain"));
    setWindowTitle(fromAscii("Lumetra"));
    buildControls();
    buildMenu();
    wireEvents();
}

void MainWindow::buildControls() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    auto makeBox = [&](const char* name, const char* caption) {
        auto* check = new QCheckBox(fromAscii(caption), central);
        check->setObjectName(fromAscii(name));
        layout->addWidget(check);
        return check;
    };
    m_autoClear = makeBox("AClear", "Automatic Clear on Scan");
    m_overwrite = makeBox("Overwrite", "Overwrite Existing Programs With Program From 2D Barcode");
    m_showEditor = makeBox("ShowEd", "Show Program in Editor");
    m_autoStart = makeBox("AutoStart", "  Machine Auto Start");
    m_overwrite->setChecked(true);
    m_autoStart->setChecked(true);

    auto* entryRow = new QHBoxLayout;
    m_entry = new QLineEdit(central);
    m_entry->setObjectName(fromAscii("txtEtichetta"));
    m_edit = new QPushButton(fromAscii("Edit"), central);
    m_edit->setObjectName(fromAscii("cmdEdit"));
    m_endEdit = new QPushButton(fromAscii("OK"), central);
    m_endEdit->setObjectName(fromAscii("cmdEndEdit"));
    m_endEdit->setDefault(true);
    entryRow->addWidget(m_entry, 1);
    entryRow->addWidget(m_edit);
    entryRow->addWidget(m_endEdit);
    layout->addLayout(entryRow);
    setEntryOpen(false);

    auto* indicatorRow = new QHBoxLayout;
    for (std::size_t i = 0; i < m_indicators.size(); ++i) {
        auto* indicator = new QLabel(fromAscii(kIndicatorCaptions[i]), central);
        indicator->setObjectName(QStringLiteral("LabID%1").arg(i));
        indicator->setFrameShape(QFrame::Panel);
        keepPlaceWhenHidden(*indicator);
        indicator->setVisible(false);
        indicatorRow->addWidget(indicator);
        m_indicators[i] = indicator;
    }
    indicatorRow->addStretch(1);
    layout->addLayout(indicatorRow);

    m_autoField = new QLabel(fromAscii("Automatic Field Selection"), central);
    m_autoField->setObjectName(fromAscii("LabelAFS"));
    m_autoField->setVisible(false);
    keepPlaceWhenHidden(*m_autoField);
    layout->addWidget(m_autoField);

    m_exclusion = new QLabel(central);
    m_exclusion->setObjectName(fromAscii("ExLab"));
    layout->addWidget(m_exclusion);

    auto* scanRow = new QHBoxLayout;
    m_scanDisplay = new OneLineLabel(central);
    m_scanDisplay->setObjectName(fromAscii("ComDisplay"));
    m_activity = new QLabel(fromAscii("X"), central);
    m_activity->setObjectName(fromAscii("DSpin"));
    m_activity->setFont(QFont(fromAscii("Arial")));
    m_activity->setVisible(false);
    keepPlaceWhenHidden(*m_activity);
    scanRow->addWidget(m_scanDisplay, 1);
    scanRow->addWidget(m_activity);
    layout->addLayout(scanRow);

    auto* strip = new QFrame(central);
    m_strip = strip;
    strip->setObjectName(fromAscii("picStatusBar"));
    strip->setFrameShape(QFrame::StyledPanel);
    strip->installEventFilter(this);
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(4, 2, 4, 2);
    m_status = new OneLineLabel(fromAscii("Ready."), strip);
    m_status->setObjectName(fromAscii("lblStatusBar"));
    m_problem = new OneLineLabel(strip);
    m_problem->setObjectName(fromAscii("problemIndicator"));
    m_problem->setFrameShape(QFrame::Panel);
    m_problem->setStyleSheet(QStringLiteral("color: #a00000; font-weight: bold"));
    m_problem->setCursor(Qt::PointingHandCursor);
    m_problem->setOnClick([this] { m_events.problemAcknowledged(); });
    m_problem->setVisible(false);
    m_portCaption = new OneLineLabel(strip);
    m_portCaption->setObjectName(fromAscii("lblCurSettings"));
    m_listProgress = new QLabel(strip);
    m_listProgress->setObjectName(fromAscii("listProgress"));
    m_listProgress->setVisible(false);
    stripLayout->addWidget(m_status, 1);
    stripLayout->addWidget(m_problem);
    stripLayout->addWidget(m_listProgress);
    stripLayout->addWidget(m_portCaption);
    layout->addWidget(strip);

    setCentralWidget(central);
    resize(560, 320);

    m_timer = new QTimer(this);
    m_timer->setObjectName(fromAscii("Timer1"));
    m_timer->setInterval(1000);
    m_timer->start();
}

void MainWindow::buildMenu() {
    auto addMenu = [&](const char* name, const char* caption) {
        QMenu* menu = menuBar()->addMenu(fromAscii(caption));
        menu->setObjectName(fromAscii(name));
        return menu;
    };
    auto addItem = [&](QMenu* menu, const char* name, const char* caption, auto handler) {
        QAction* action = menu->addAction(fromAscii(caption));
        action->setObjectName(fromAscii(name));
        connect(action, &QAction::triggered, this, handler);
    };
    QMenu* file = addMenu("mnuFile", "&File");
    addItem(file, "mnuExit", "E&xit", [this] { m_events.exitNow(); });
    QMenu* options = addMenu("mnuOptions", "&Options");
    addItem(options, "mnuSetttings", "&Settings", [this] { m_events.showSerialSettings(); });
    addItem(options, "MnuAutoFld", "&Auto Field Select", [this] { m_events.showFieldSelection(); });
    addItem(options, "ExIns", "&Exclusion Insertion",
            [this] { m_events.showExclusionInsertion(); });
    QMenu* help = addMenu("mnuHelp", "&?");
    addItem(help, "mnuAbout", "&About Lumetra ...", [this] { showAbout(); });
}

void MainWindow::wireEvents() {
    for (const Option option : {Option::AClear, Option::Overwrite})
        connect(box(option), &QCheckBox::clicked, this, [this, option] {
            // A grayed box set from the INI file becomes a plain box at the first click,
            // so a click only ever writes " 1" or " 0".
            QCheckBox* check = box(option);
            check->setTristate(false);
            if (check->checkState() == Qt::PartiallyChecked)
                check->setCheckState(Qt::Checked);
            m_events.optionClicked(option);
        });
    connect(m_edit, &QPushButton::clicked, this, [this] {
        setEntryOpen(true);
        m_entry->setFocus();
        m_events.entryOpened();
    });
    connect(m_endEdit, &QPushButton::clicked, this, &MainWindow::finishEntry);
    // Any key the operator presses acknowledges the problem shown, Escape closes an open entry.
    qApp->installEventFilter(this);
    // cmdEndEdit is the window's default button: Enter presses it from any control.
    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* enter = new QShortcut(QKeySequence(key), this);
        enter->setContext(Qt::WindowShortcut);
        connect(enter, &QShortcut::activated, this, [this] {
            if (m_endEdit->isEnabled())
                m_endEdit->click();
        });
    }
    // Qt never fires a timer again while its own timeout is being handled: queued, a tick
    // returns to the event loop first, so ticks go on during the pauses of a scan handled
    // by an earlier tick.
    connect(
        m_timer, &QTimer::timeout, this, [this] { m_events.pollTick(); }, Qt::QueuedConnection);
}

void MainWindow::setEntryOpen(bool open) {
    m_entry->setEnabled(open);
    m_edit->setEnabled(!open);
    m_endEdit->setEnabled(open);
}

void MainWindow::finishEntry() {
    const EntryOutcome outcome = m_events.entryFinished(fromQString(m_entry->text()));
    switch (outcome) {
    case EntryOutcome::ClosedEmpty:
    case EntryOutcome::Accepted:
        // "Edit" takes the focus: a Space meant for the next label must not click an option.
        m_entry->clear();
        setEntryOpen(false);
        m_edit->setFocus();
        break;
    case EntryOutcome::Refused:
        QApplication::beep();
        m_entry->setFocus();
        break;
    }
}

void MainWindow::closeEntryAsEmpty() {
    m_entry->clear();
    finishEntry();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_strip && event->type() == QEvent::Resize) {
        shareStatusStrip();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this)
        return false;
    m_events.problemAcknowledged();
    if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && m_endEdit->isEnabled()) {
        closeEntryAsEmpty();
        return true;
    }
    return false;
}

// The status line has the room first: the problem and the port caption are elided to a
// share of the strip and never widen the window.
void MainWindow::shareStatusStrip() {
    const int width = m_strip->contentsRect().width();
    m_problem->setMaximumWidth(width / 3);
    m_portCaption->setMaximumWidth(width / 4);
}

void MainWindow::setStatusText(std::string_view value) {
    m_status->setOneLineText(value);
}

void MainWindow::setProblem(std::string_view text, std::string_view history) {
    m_problem->setVisible(!text.empty());
    m_problem->setOneLineText(text);
    m_problem->setToolTip(toQString(history));
}

void MainWindow::setPortCaption(std::string_view value, std::string_view detail) {
    m_portCaption->setOneLineText(value);
    m_portCaption->setToolTip(toQString(detail));
}
void MainWindow::setScanDisplay(std::string_view value) {
    m_scanDisplay->setOneLineText(value);
}

void MainWindow::setEntryText(std::string_view value) {
    m_entry->setText(toQString(value));
    // The operator sees the upper-cased text while the label is processed.
    m_entry->repaint();
}

void MainWindow::setActivity(bool visible, std::string_view caption) {
    m_activity->setVisible(visible);
    if (visible)
        m_activity->setText(toQString(caption));
}

void MainWindow::setIndicatorVisible(int index, bool visible) {
    if (index >= 0 && index < static_cast<int>(m_indicators.size()))
        m_indicators[static_cast<std::size_t>(index)]->setVisible(visible);
}

void MainWindow::setAutoFieldVisible(bool visible) {
    m_autoField->setVisible(visible);
}

void MainWindow::setListProgress(std::size_t added, std::size_t total) {
    m_listProgress->setVisible(total > 0);
    m_listProgress->setText(QStringLiteral("%1 of %2 entries").arg(added).arg(total));
}

void MainWindow::setExclusionCaption(std::optional<std::string_view> caption) {
    m_exclusion->setVisible(caption.has_value());
    if (caption)
        m_exclusion->setText(toQString(*caption));
}

QCheckBox* MainWindow::box(Option option) const {
    switch (option) {
    case Option::AClear:
        return m_autoClear;
    case Option::Overwrite:
        return m_overwrite;
    case Option::ShowEd:
        return m_showEditor;
    case Option::AutoStart:
        return m_autoStart;
    }
    return m_autoClear;
}

int MainWindow::optionValue(Option option) const {
    switch (box(option)->checkState()) {
    case Qt::Unchecked:
        return 0;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Checked:
        return 1;
    }
    return 0;
}

void MainWindow::setOptionValue(Option option, int value) {
    QCheckBox* check = box(option);
    check->setTristate(value == 2);
    check->setCheckState(value == 0   ? Qt::Unchecked
                         : value == 2 ? Qt::PartiallyChecked
                                      : Qt::Checked);
}

void MainWindow::useSuffixVariantLayout() {
    // AutoStart takes the place of the hidden ShowEd.
    m_showEditor->setVisible(false);
    if (auto* layout = qobject_cast<QVBoxLayout*>(centralWidget()->layout())) {
        layout->removeWidget(m_autoStart);
        layout->insertWidget(layout->indexOf(m_showEditor), m_autoStart);
    }
}

void MainWindow::setPollInterval(int milliseconds) {
    m_timer->setInterval(milliseconds);
}

void MainWindow::centre() {
    centreWindow(*this);
}

void MainWindow::showAbout() {
    AboutBox about(this);
    about.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    m_events.closeRequested();
    event->accept();
}

} // namespace lumetra
