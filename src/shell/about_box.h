#pragma once

#include <QDialog>

namespace lumetra {

// frmAbout: the product line and an "&Ok" button, centred on the screen.
class AboutBox final : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
};

} // namespace lumetra
