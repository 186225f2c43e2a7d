#include "platform/qt/qt_widgets.h"

#include <QBoxLayout>
#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace lumetra {

QIcon programIcon() {
    return QIcon(QStringLiteral(LUMETRA_ICON));
}

bool displayMissing() {
#ifdef Q_OS_WIN
    return false; // a Windows session always has its desktop
#else
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool x11 = platform.isEmpty() || platform == "xcb";
    return x11 && qgetenv("DISPLAY").isEmpty() && qgetenv("WAYLAND_DISPLAY").isEmpty();
#endif
}

void centreWindow(QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->geometry();
    // Never past an edge of the screen, even for a window larger than half of it.
    window.move(std::max(0, area.width() / 2 - window.frameGeometry().width() / 2),
                std::max(0, area.height() / 2 - window.frameGeometry().height() / 2));
}

namespace {

// Centres its window each time it is shown, once the layout has given it its size.
class CentreOnShow final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* window = qobject_cast<QWidget*>(watched)) {
                window->adjustSize();
                centreWindow(*window);
            }
        return false;
    }
};

} // namespace

void centreWhenShown(QWidget& window) {
    window.installEventFilter(new CentreOnShow(&window));
}

QPushButton* addOkCancelRow(QDialog& dialog, QBoxLayout& layout, const QString& okName,
                            const QString& cancelName) {
    auto* row = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setObjectName(okName);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
    cancel->setObjectName(cancelName);
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    layout.addLayout(row);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    return ok;
}

} // namespace lumetra
