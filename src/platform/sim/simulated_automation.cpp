#include "platform/sim/simulated_automation.h"

#include "common/code_page.h"
#include "common/errors.h"
#include "common/field_splitter.h"
#include "common/log_text.h"
#include "platform/files.h"

#include <array>

namespace lumetra {

namespace {

constexpr int kDisconnected = -2147417848;

enum class Role { Application, WorkList, Console };

std::string argumentText(const Variant& value) {
    return std::visit(
        [](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>)
                return v ? "True" : "False";
            else if constexpr (std::is_same_v<T, std::string>)
                return v;
            else
                return std::to_string(v);
        },
        value);
}

} // namespace

class SimulatedAutomation::Object final : public AutomationObject {
public:
    Object(SimulatedAutomation& host, std::string name, Role role)
        : m_host(host), m_name(std::move(name)), m_role(role) {}

    void drop() { m_dropped = true; }

    void call(std::string_view member, const std::vector<Variant>& arguments) override {
        answer();
        SimulatedHostState& state = m_host.m_state;
        if (m_role == Role::WorkList && member == "AddLine" && arguments.size() == 1) {
            ++state.addLineCalls;
            if (state.addLineCalls == m_host.m_options.dropListAtAddLine) {
                drop();
                answer();
            }
            m_host.journal(m_name, member, arguments);
            state.lines.push_back(argumentText(arguments[0]));
        } else if (m_role == Role::WorkList && (member == "Clear" || member == "ClearList")) {
            m_host.journal(m_name, member, arguments);
            state.lines.clear();
            ++state.clears;
        } else if (m_role == Role::WorkList && (member == "Start" || member == "StartList")) {
            m_host.journal(m_name, member, arguments);
            state.running = true;
        } else if (m_role == Role::WorkList && (member == "Stop" || member == "StopList" ||
                                                member == "End" || member == "EndList")) {
            m_host.journal(m_name, member, arguments);
            state.running = false;
        } else if (m_role == Role::Application && member == "SetDeviceStatus" &&
                   arguments.size() == 2) {
            m_host.journal(m_name, member, arguments);
        } else {
            throw unknownMember();
        }
        m_host.changed();
    }

    void set(std::string_view property, const Variant& value) override {
        answer();
        if (property != "Visible")
            throw unknownMember();
        m_host.journal(m_name, std::string(property) + "=", {value});
        const bool visible = std::holds_alternative<bool>(value) && std::get<bool>(value);
        if (m_role == Role::WorkList)
            m_host.m_state.listVisible = visible;
        else
            m_host.m_state.hostVisible = visible;
        m_host.changed();
    }

private:
    void answer() const {
        if (m_dropped)
            throw UnexpectedError(kDisconnected,
                                  "Automation error: The object invoked has disconnected from its "
                                  "clients.",
                                  CallFailure::ObjectGone);
    }

    SimulatedAutomation& m_host;
    std::string m_name;
    Role m_role;
    bool m_dropped = false;
};

SimulatedAutomation::SimulatedAutomation(Options options) : m_options(std::move(options)) {
    if (!m_options.journalPath.empty())
        m_journal = openFile(m_options.journalPath, "ab");
}

SimulatedAutomation::~SimulatedAutomation() {
    if (m_journal != nullptr)
        std::fclose(m_journal);
}

std::shared_ptr<AutomationObject> SimulatedAutomation::create(std::string_view className) {
    static const std::map<std::string_view, Role> kClasses = {
        {host_class::kApplication, Role::Application},
        {host_class::kWorkList, Role::WorkList},
        {host_class::kConsoleApplication, Role::Console},
        {host_class::kConsoleWorkList, Role::WorkList},
    };
    const auto known = kClasses.find(className);
    if (m_options.absent || known == kClasses.end())
        throw cannotCreateObject();
    const int instance = ++m_instances[std::string(className)];
    auto object = std::make_shared<Object>(
        *this, std::string(className) + "#" + std::to_string(instance), known->second);
    if (known->second == Role::WorkList)
        m_currentList = object;
    return object;
}

void SimulatedAutomation::dropCurrentList() {
    if (auto list = m_currentList.lock())
        list->drop();
}

void SimulatedAutomation::journal(const std::string& object, std::string_view member,
                                  const std::vector<Variant>& arguments) {
    if (m_journal == nullptr)
        return;
    std::string line = logTimestamp() + "\t" + object + "\t" + std::string(member);
    for (const Variant& argument : arguments)
        line += "\t" + escapedLogText(argumentText(argument));
    line += "\n";
    std::fwrite(line.data(), 1, line.size(), m_journal);
    std::fflush(m_journal);
}

void SimulatedAutomation::changed() {
    if (m_listener)
        m_listener();
}

std::string describeWorkListLine(std::string_view line) {
    const FieldSplitter fields(";", line);
    std::string text;
    auto add = [&](std::string_view name, const std::string& value) {
        if (value.empty() || value == " ")
            return;
        if (!text.empty())
            text += ", ";
        text += std::string(name) + " " + value;
    };
    if (!line.empty() && line.front() == '#') {
        static const std::map<std::string, std::string_view> kTags = {
            {"161", "program"}, {"164", "repetitions"}, {"171", "field no."},
            {"284", "mirror"},  {"165", "column 4"},    {"168", "X"},
            {"169", "Y"},       {"170", "Z"},           {"282", "column 9"}};
        for (std::size_t i = 1; i <= fields.count(); ++i) {
            const std::string item = fields.field(i);
            const auto equals = item.find('=');
            if (item.size() < 2 || equals == std::string::npos)
                continue;
            const auto tag = kTags.find(item.substr(1, equals - 1));
            if (tag != kTags.end())
                add(tag->second, item.substr(equals + 1));
        }
        return codePageToUtf8(text);
    }
    static constexpr std::array<std::string_view, 19> kNames = {
        "program", "repetitions", "field",      "column 4",  "X", "Y", "Z",
        "comment", "column 9",    "exclusions", "column 11", "A", "B", "C",
        "D",       "E",           "F",          "G",         "I"};
    std::size_t name = 0;
    for (std::size_t i = 1; i <= fields.count() && name < kNames.size(); ++i, ++name) {
        add(kNames[name], fields.field(i));
    }
    return codePageToUtf8(text);
}

} // namespace lumetra
