// lumetra-editor: a stand-in for the machine control's program editor. Like the editor,
// Ctrl+O opens a modal "Open" dialog with a name box; Enter there opens the named program
// from the program folder and shows its text, Escape closes the dialog. It shows the keys
// it receives and what the dialog did, and appends them to $LUMETRA_EDITOR_LOG when that is
// set, so the editor hand-off can be watched and tested. It can also behave as a slow or a
// short-lived editor does (--show-after, --quit-on-key).
#include "common/safe_name.h"
#include "common/text.h"
#include "platform/files.h"
#include "platform/qt/qt_widgets.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

namespace {

void appendToKeyLog(const QString& text) {
    const QString log = qEnvironmentVariable("LUMETRA_EDITOR_LOG");
    if (log.isEmpty())
        return;
    QFile file(log);
    if (file.open(QIODevice::Append))
        file.write(text.toUtf8());
}

// The text of a program in the folder. Names are code-page bytes on disk, looked up
// ignoring case and without trailing spaces and dots, as the workstation's file system does.
std::optional<QString> readProgram(const QString& folder, const QString& typed) {
    QStringEncoder toCodePage("windows-1252");
    const QByteArray encoded = toCodePage.encode(typed);
    const std::string wanted = lumetra::toUpper(
        lumetra::programFileName(std::string(encoded.constData(), encoded.size())));
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder.toStdString(), error)) {
        if (!entry.is_regular_file(error) ||
            lumetra::toUpper(entry.path().filename().string()) != wanted)
            continue;
        if (const auto bytes = lumetra::readWholeFile(entry.path().string()))
            return QStringDecoder("windows-1252").decode(QByteArray::fromStdString(*bytes));
    }
    return std::nullopt;
}

class EditorWindow final : public QMainWindow {
public:
    EditorWindow(bool quitOnKey, QString folder)
        : m_quitOnKey(quitOnKey), m_folder(std::move(folder)) {
        setWindowTitle(QStringLiteral("Scrivon (stand-in editor)"));
        auto* central = new QWidget(this);
        auto* layout = new QVBoxLayout(central);
        layout->addWidget(new QLabel(QStringLiteral("Keys received:"), central));
        m_keys = new QPlainTextEdit(central);
        m_keys->setReadOnly(true);
        m_keys->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(m_keys);
        layout->addWidget(new QLabel(QStringLiteral("Program:"), central));
        m_program = new QPlainTextEdit(central);
        m_program->setObjectName(QStringLiteral("program"));
        m_program->setReadOnly(true);
        m_program->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(m_program);
        setCentralWidget(central);
        resize(480, 360);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_O && (event->modifiers() & Qt::ControlModifier)) {
            record(QStringLiteral("[Ctrl+O]"));
            // The dialog opens after the key has been told, as the editor's does.
            QTimer::singleShot(0, this, [this] { showOpenDialog(); });
        } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            record(QStringLiteral("[Enter]"));
        } else if (!event->text().isEmpty()) {
            record(event->text());
        }
    }

private:
    void record(const QString& shown) {
        m_keys->moveCursor(QTextCursor::End);
        m_keys->insertPlainText(shown);
        appendToKeyLog(shown);
        if (m_quitOnKey)
            QCoreApplication::exit(0);
    }

    void showOpenDialog() {
        QDialog dialog(this);
        dialog.setWindowTitle(QStringLiteral("Open"));
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(new QLabel(QStringLiteral("Program name:"), &dialog));
        auto* name = new QLineEdit(&dialog);
        name->setObjectName(QStringLiteral("name"));
        layout->addWidget(name);
        QObject::connect(name, &QLineEdit::returnPressed, &dialog, &QDialog::accept);
        name->setFocus();
        if (dialog.exec() != QDialog::Accepted) {
            record(QStringLiteral("[Open cancelled]"));
            return;
        }
        const auto program = readProgram(m_folder, name->text());
        if (!program) {
            record(QStringLiteral("[Open ") + name->text() + QStringLiteral(": not found]"));
            return;
        }
        m_program->setPlainText(*program);
        setWindowTitle(QStringLiteral("Scrivon (stand-in editor) - ") + name->text());
        record(QStringLiteral("[Open ") + name->text() + QStringLiteral(": opened]"));
    }

    QPlainTextEdit* m_keys = nullptr;
    QPlainTextEdit* m_program = nullptr;
    bool m_quitOnKey = false;
    QString m_folder;
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
    parser.setApplicationDescription(QStringLiteral(
        "Stand-in for the program editor: Ctrl+O opens an Open dialog whose Enter opens the "
        "named program from the program folder; the keys received are shown (and with "
        "$LUMETRA_EDITOR_LOG set, appended to that file)."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption showAfter(
        QStringLiteral("show-after"), QStringLiteral("Show the window only after MS milliseconds."),
        QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption quitOnKey(QStringLiteral("quit-on-key"),
                                       QStringLiteral("End at the first key received."));
    const QCommandLineOption folder(
        QStringLiteral("folder"),
        QStringLiteral("The program folder (default $LUMETRA_EDITOR_FOLDER, else the current "
                       "folder)."),
        QStringLiteral("DIR"), qEnvironmentVariable("LUMETRA_EDITOR_FOLDER", QDir::currentPath()));
    parser.addOption(showAfter);
    parser.addOption(quitOnKey);
    parser.addOption(folder);
    // A usage error ends with status 2, as with the other tools (Qt's own handling gives 1).
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "lumetra-editor: %s (see --help)\n",
                     parser.errorText().toLocal8Bit().constData());
        return 2;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
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
    EditorWindow window(parser.isSet(quitOnKey), parser.value(folder));
    QTimer::singleShot(delay, &window, [&window] { window.show(); });
    return QApplication::exec();
}
