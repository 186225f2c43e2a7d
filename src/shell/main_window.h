// The main window frmMain: shows what the core tells it and forwards every event.
#pragma once

#include "platform/panel.h"
#include "shell/application.h"

#include <QMainWindow>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace lumetra {

class OneLineLabel;

class MainWindowEvents {
public:
    virtual ~MainWindowEvents() = default;
    virtual void optionClicked(Option option) = 0;
    virtual void entryOpened() = 0;
    virtual EntryOutcome entryFinished(const std::string& typed) = 0;
    virtual void pollTick() = 0;
    virtual void showSerialSettings() = 0;
    virtual void showFieldSelection() = 0;
    virtual void showExclusionInsertion() = 0;
    virtual void closeRequested() = 0;
    // The operator clicked the problem indicator or pressed a key.
    virtual void problemAcknowledged() = 0;
    virtual void exitNow() = 0;
};

class MainWindow final : public QMainWindow, public Panel {
    Q_OBJECT
public:
    explicit MainWindow(MainWindowEvents& events);

    void setStatusText(std::string_view text) override;
    void setProblem(std::string_view text, std::string_view history) override;
    void setPortCaption(std::string_view text, std::string_view detail) override;
    void setScanDisplay(std::string_view text) override;
    void setActivity(bool visible, std::string_view caption) override;
    void setEntryText(std::string_view text) override;
    void setIndicatorVisible(int index, bool visible) override;
    void setAutoFieldVisible(bool visible) override;
    void setListProgress(std::size_t added, std::size_t total) override;
    void setExclusionCaption(std::optional<std::string_view> caption) override;
    int optionValue(Option option) const override;
    void setOptionValue(Option option, int value) override;
    void useSuffixVariantLayout() override;
    void setPollInterval(int milliseconds) override;
    void centre() override;

    void showAbout();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenu();
    void wireEvents();
    void finishEntry();
    void closeEntryAsEmpty();
    void shareStatusStrip();
    void setEntryOpen(bool open);
    QCheckBox* box(Option option) const;

    MainWindowEvents& m_events;
    QCheckBox* m_autoClear = nullptr;
    QCheckBox* m_overwrite = nullptr;
    QCheckBox* m_showEditor = nullptr;
    QCheckBox* m_autoStart = nullptr;
    QLineEdit* m_entry = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_endEdit = nullptr;
    QWidget* m_strip = nullptr;
    OneLineLabel* m_status = nullptr;
    OneLineLabel* m_problem = nullptr;
    OneLineLabel* m_portCaption = nullptr;
    QLabel* m_listProgress = nullptr;
    OneLineLabel* m_scanDisplay = nullptr;
    QLabel* m_activity = nullptr;
    std::array<QLabel*, 5> m_indicators{};
    QLabel* m_autoField = nullptr;
    QLabel* m_exclusion = nullptr;
    QTimer* m_timer = nullptr;
};

} // namespace lumetra
