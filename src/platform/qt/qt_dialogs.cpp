#include "platform/qt/qt_dialogs.h"

#include "common/status_texts.h"
#include "platform/qt/qt_text.h"

#include <QMessageBox>

namespace lumetra {

Answer QtDialogs::message(std::string_view text, Icon icon, Buttons buttons,
                          std::string_view title) {
    QMessageBox box(m_parent);
    box.setWindowTitle(toQString(title.empty() ? texts::kTitle : title));
    box.setText(toQString(text));
    switch (icon) {
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::None:
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case Buttons::RetryCancel:
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Retry);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Retry:
        return Answer::Retry;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return Answer::Ok;
    }
}

} // namespace lumetra
