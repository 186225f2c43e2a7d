// lumetra-editor: a stand-in for the machine control's program editor. It shows the
// keys it receives, and appends them to $LUMETRA_EDITOR_LOG when that is set, so the
// editor hand-off can be watched and tested. It can also behave as a slow or a short-lived
// editor does (--show-after, --quit-on-key).
#include "platform/qt/qt_widgets.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <memory>

namespace {

class EditorWindow final : public QMainWindow {
public:
    explicit EditorWindow(bool quitOnKey) : m_quitOnKey(quitOnKey) {
        setWindowTitle(QStringLiteral("Scrivon (stand-in editor)"));
        auto* central = new QWidget(this);
        auto* layout = new QVBoxLayout(central);
        layout->addWidget(new QLabel(QStringLiteral("Keys received:"), central));
        m_keys = new QPlainTextEdit(central);
        m_keys->setReadOnly(true);
        m_keys->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(m_keys);
        setCentralWidget(central);
        resize(420, 240);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        QString shown;
        if (event->key() == Qt::Key_O && (event->modifiers() & Qt::ControlModifier))
            shown = QStringLiteral("[Ctrl+O]");
        else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            shown = QStringLiteral("[Enter]");
        else
            shown = event->text();
        if (shown.isEmpty())
            return;
        m_keys->moveCursor(QTextCursor::End);
        m_keys->insertPlainText(shown);
        const QString log = qEnvironmentVariable("LUMETRA_EDITOR_LOG");
        if (!log.isEmpty()) {
            QFile file(log);
            if (file.open(QIODevice::Append))
                file.write(shown.toUtf8());
        }
        if (m_quitOnKey)
            QCoreApplication::exit(0);
    }

private:
    QPlainTextEdit* m_keys = nullptr;
    bool m_quitOnKey = false;
};

} // namespace

int main(int argc, char* argv[]) {
    // Without a display, --help and --version still answer; anything else says why.
    std::unique_ptr<QCoreApplication> app;
    if (lumetra::displayMissing())
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lumetra-editor"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMETRA_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Stand-in for the program editor: shows (and with $LUMETRA_EDITOR_LOG "
                       "set, appends to that file) the keys it receives."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption showAfter(
        QStringLiteral("show-after"), QStringLiteral("Show the window only after MS milliseconds."),
        QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption quitOnKey(QStringLiteral("quit-on-key"),
                                       QStringLiteral("End at the first key received."));
    parser.addOption(showAfter);
    parser.addOption(quitOnKey);
    parser.process(*app);
    if (lumetra::displayMissing()) {
        std::fputs("lumetra-editor: no display; set DISPLAY\n", stderr);
        return 1;
    }
    bool number = false;
    const int delay = parser.value(showAfter).toInt(&number);
    if (!number || delay < 0) {
        std::fputs("lumetra-editor: --show-after takes a number of milliseconds\n", stderr);
        return 2;
    }
    EditorWindow window(parser.isSet(quitOnKey));
    QTimer::singleShot(delay, &window, [&window] { window.show(); });
    return QApplication::exec();
}
