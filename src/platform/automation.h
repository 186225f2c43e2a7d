// Automation objects created by class name and called by member name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace lumetra {

// The host's automation classes by name, as the host registers them.
namespace host_class {
inline constexpr std::string_view kApplication = "Pelitrax.Application";
inline constexpr std::string_view kWorkList = "Velmora.ExeList";
inline constexpr std::string_view kConsoleApplication = "Pultano.Application";
inline constexpr std::string_view kConsoleWorkList = "Pultano.ExeList";
} // namespace host_class

using Variant = std::variant<bool, std::int16_t, std::int32_t, std::string>;

class AutomationObject {
public:
    virtual ~AutomationObject() = default;
    // Each raises UnexpectedError when the object does not answer.
    virtual void call(std::string_view member, const std::vector<Variant>& arguments) = 0;
    virtual void set(std::string_view property, const Variant& value) = 0;
};

class Automation {
public:
    virtual ~Automation() = default;
    // Raises UnexpectedError when no object of the class can be created.
    virtual std::shared_ptr<AutomationObject> create(std::string_view className) = 0;
};

} // namespace lumetra
