// Test doubles for the core's interfaces.
#pragma once

#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/instance_guard.h"
#include "platform/panel.h"

#include <array>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace lumetra::testing {

struct FakePanel : Panel {
    std::vector<std::string> statuses;
    std::string portCaption;
    std::string portDetail;
    std::string problem;
    std::string problemHistory;
    std::string scanDisplay;
    std::string entryText;
    bool activityVisible = false;
    std::string activityCaption;
    std::array<bool, 5> indicators{};
    bool autoField = false;
    std::vector<std::pair<std::size_t, std::size_t>> progress;
    std::optional<std::string> exclusion;
    std::map<Option, int> options{
        {Option::AClear, 0}, {Option::Overwrite, 1}, {Option::ShowEd, 0}, {Option::AutoStart, 1}};
    bool suffixLayout = false;
    int pollInterval = 1000;
    int centred = 0;

    void setStatusText(std::string_view text) override { statuses.emplace_back(text); }
    void setPortCaption(std::string_view text, std::string_view detail) override {
        portCaption = text;
        portDetail = detail;
    }
    void setProblem(std::string_view text, std::string_view history) override {
        problem = text;
        problemHistory = history;
    }
    void setScanDisplay(std::string_view text) override { scanDisplay = text; }
    void setEntryText(std::string_view text) override { entryText = text; }
    void setActivity(bool visible, std::string_view caption) override {
        activityVisible = visible;
        if (visible)
            activityCaption = caption;
    }
    void setIndicatorVisible(int index, bool visible) override {
        indicators.at(static_cast<std::size_t>(index)) = visible;
    }
    void setAutoFieldVisible(bool visible) override { autoField = visible; }
    void setListProgress(std::size_t added, std::size_t total) override {
        progress.emplace_back(added, total);
    }
    void setExclusionCaption(std::optional<std::string_view> caption) override {
        exclusion = caption ? std::optional<std::string>(*caption) : std::nullopt;
    }
    int optionValue(Option option) const override { return options.at(option); }
    void setOptionValue(Option option, int value) override { options[option] = value; }
    void useSuffixVariantLayout() override { suffixLayout = true; }
    void setPollInterval(int milliseconds) override { pollInterval = milliseconds; }
    void centre() override { ++centred; }

    std::string status() const { return statuses.empty() ? std::string{} : statuses.back(); }
};

struct ShownMessage {
    std::string text;
    Icon icon;
    Buttons buttons;
    std::string title;
};

struct FakeDialogs : Dialogs {
    std::vector<ShownMessage> shown;
    std::deque<Answer> answers; // taken in order; OK when none is left

    Answer message(std::string_view text, Icon icon, Buttons buttons,
                   std::string_view title) override {
        shown.push_back({std::string(text), icon, buttons, std::string(title)});
        if (answers.empty())
            return Answer::Ok;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Pauses take no time; they are counted.
struct FakePump : EventPump {
    int processed = 0;
    std::vector<int> sleeps;
    bool ended = false;
    std::function<void()> duringEvents; // what a window event does, if anything
    void processEvents() override {
        ++processed;
        if (duringEvents)
            duringEvents();
    }
    void sleepMilliseconds(int milliseconds) override { sleeps.push_back(milliseconds); }
    bool endRequested() const override { return ended; }
};

// Pauses that take their time, for tests with real windows and processes.
struct SleepingPump : EventPump {
    void processEvents() override {}
    void sleepMilliseconds(int milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    bool endRequested() const override { return false; }
};

struct FakeGuard : InstanceGuard {
    bool alone = true;
    bool acquire() override { return alone; }
};

} // namespace lumetra::testing

#include "platform/serial_port.h"
#include "scanner/scan_handlers.h"

namespace lumetra::testing {

// A port whose input arrives in the chunks a test queues, one chunk per tick at most.
struct FakeSerialPort : SerialPort {
    bool open_ = false;
    int openedPort = 0;
    LineSettings openedSettings;
    std::string refusal; // when set, open raises with this description and kind
    PortProblem refusalKind = PortProblem::DeviceMissing;
    std::deque<std::string> incoming;
    std::string pending; // what the port holds right now
    std::string written;
    std::optional<std::string> failure;

    void open(int portNumber, const LineSettings& settings) override;
    std::string deviceOf(int portNumber) const override {
        return "/dev/ttyS" + std::to_string(portNumber - 1);
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    std::size_t bytesWaiting() override { return pending.size(); }
    std::string readAll() override { return std::exchange(pending, {}); }
    bool write(std::string_view bytes) override {
        if (!open_)
            return false;
        written += bytes;
        return true;
    }
    std::optional<std::string> takeFailure() override {
        return std::exchange(failure, std::nullopt);
    }
    std::vector<SerialDevice> systemDevices() const override { return {}; }
    // Moves the next queued chunk into the port (as if it had just arrived).
    void arrive() {
        if (!incoming.empty()) {
            pending += incoming.front();
            incoming.pop_front();
        }
    }
};

struct RecordingHandlers : ScanHandlers {
    std::vector<std::string> calls; // "label:<text>", "program:<text>", "expand:<text>"
    std::string expansion;
    bool processLabelScan(const std::string& text) override {
        calls.push_back("label:" + text);
        return true;
    }
    void importProgramBarcode(std::string_view text) override {
        calls.push_back("program:" + std::string(text));
    }
    std::string expandPayload(const std::string& text) override {
        calls.push_back("expand:" + text);
        return expansion;
    }
};

} // namespace lumetra::testing
