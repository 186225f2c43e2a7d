// MacFlds, "Automatic Field Selection Setup": the field slots on drawings of the
// machine table, the half limits, the default field and the mirror trigger.
#pragma once

#include "fields/field_selection_setup.h"

#include <QDialog>
#include <array>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabWidget;

namespace lumetra {

class FieldSelectionDialog final : public QDialog {
    Q_OBJECT
public:
    FieldSelectionDialog(FieldSelectionSetup& setup, QWidget* parent = nullptr);

    // Created hidden at start-up: centres itself and loads the settings.
    void loadSettings();
    // Shown modally from the menu.
    void showModal();
    // Refreshes every control from the live settings and the trigger display.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildSourceTab();
    QWidget* buildStandardTab();
    QWidget* buildFrontBackTab();
    QWidget* buildLimitsTab();
    void placeSlot(QWidget* drawing, Slot slot, int x, int y);
    void tabChanged(int index);

    FieldSelectionSetup& m_setup;
    bool m_refreshing = false;
    QTabWidget* m_tabs = nullptr;
    QRadioButton* m_programName = nullptr;
    QRadioButton* m_comment = nullptr;
    QRadioButton* m_barcode = nullptr;
    QRadioButton* m_mirror = nullptr;
    QRadioButton* m_normAndMirror = nullptr;
    QGroupBox* m_triggerFrame = nullptr;
    QLabel* m_template = nullptr;
    QLineEdit* m_triggerText = nullptr;
    QScrollBar* m_position = nullptr;
    QRadioButton* m_fromLeft = nullptr;
    QRadioButton* m_fromRight = nullptr;
    QLabel* m_leftLabel = nullptr;
    QLabel* m_rightLabel = nullptr;
    std::array<QLineEdit*, kSlotCount> m_codes{};
    std::array<QCheckBox*, kSlotCount> m_flags{};
    QLineEdit* m_halfLimitX = nullptr;
    QLineEdit* m_halfLimitY = nullptr;
    QPushButton* m_setAll = nullptr;
    QPushButton* m_clearAll = nullptr;
};

} // namespace lumetra
