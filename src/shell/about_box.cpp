#include "shell/about_box.h"

#include "platform/qt/qt_widgets.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace lumetra {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    centreWhenShown(*this);
    setWindowTitle(QStringLiteral("About Lumetra"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setPixmap(programIcon().pixmap(32, 32));
    auto* product = new QLabel(
        QStringLiteral("Barcode Manager, Version ") + QStringLiteral(LUMETRA_VERSION), this);
    product->setObjectName(QStringLiteral("lblVersion"));
    row->addWidget(icon);
    row->addWidget(product, 1);
    layout->addLayout(row);
    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
    adjustSize();
    centreWindow(*this);
}

} // namespace lumetra
