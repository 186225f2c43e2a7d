// lumetra-editor: a stand-in for the machine control's program editor. It shows the
// keys it receives, and appends them to $LUMETRA_EDITOR_LOG when that is set, so the
// editor hand-off can be watched and tested.
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

class EditorWindow final : public QMainWindow {
public:
    EditorWindow() {
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
    }

private:
    QPlainTextEdit* m_keys = nullptr;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    EditorWindow window;
    window.show();
    return QApplication::exec();
}
