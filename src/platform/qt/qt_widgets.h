// Small pieces shared by the program's windows.
#pragma once

#include <QIcon>
#include <QString>

class QBoxLayout;
class QDialog;
class QPushButton;
class QWidget;

namespace lumetra {

// True when Qt would use X11 and there is no display to open: Qt would abort.
bool displayMissing();

// The program's icon: the SVG that is installed for the desktop, built into the program.
QIcon programIcon();

// Top at half the screen height less half the window's, left likewise.
void centreWindow(QWidget& window);

// Centres a dialog each time it is shown, when its size is known.
void centreWhenShown(QWidget& window);

// A right-aligned row with the default button and the cancel button of a dialog,
// wired to accept and reject. Returns the default button.
QPushButton* addOkCancelRow(QDialog& dialog, QBoxLayout& layout, const QString& okName,
                            const QString& cancelName);

} // namespace lumetra
