#include "platform/qt/qt_widgets.h"

#include <QBoxLayout>
#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace lumetra {

void centreWindow(QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->geometry();
    window.move(area.width() / 2 - window.width() / 2, area.height() / 2 - window.height() / 2);
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
