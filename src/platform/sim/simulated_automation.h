// The host simulator: answers the host's and the console's class names, numbers the
// instances of each class, keeps the work list it is sent, and writes every call that
// reaches one of its objects to a journal.
#pragma once

#include "platform/automation.h"

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace lumetra {

struct SimulatedHostState {
    std::vector<std::string> lines;
    bool running = false;
    bool hostVisible = false;
    bool listVisible = false;
    int addLineCalls = 0;
    int clears = 0; // how often the list was emptied
};

class SimulatedAutomation final : public Automation {
public:
    struct Options {
        std::string journalPath;   // empty: no journal
        bool absent = false;       // every creation fails, as without the host software
        int dropListAtAddLine = 0; // the list object drops before this AddLine (1 = first)
    };
    explicit SimulatedAutomation(Options options);
    ~SimulatedAutomation() override;
    SimulatedAutomation(const SimulatedAutomation&) = delete;
    SimulatedAutomation& operator=(const SimulatedAutomation&) = delete;

    std::shared_ptr<AutomationObject> create(std::string_view className) override;

    // The current list object stops answering, as when the host was closed.
    void dropCurrentList();
    const SimulatedHostState& state() const { return m_state; }
    // Called after every change of the state (the simulator's window refreshes).
    void setListener(std::function<void()> listener) { m_listener = std::move(listener); }

    class Object;

private:
    friend class Object;
    void journal(const std::string& object, std::string_view member,
                 const std::vector<Variant>& arguments);
    void changed();

    Options m_options;
    std::FILE* m_journal = nullptr;
    std::map<std::string, int, std::less<>> m_instances;
    std::weak_ptr<Object> m_currentList;
    SimulatedHostState m_state;
    std::function<void()> m_listener;
};

// A work-list line made readable: tagged and column lines alike.
std::string describeWorkListLine(std::string_view line);

} // namespace lumetra
