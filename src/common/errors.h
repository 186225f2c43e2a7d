// An error raised by an operation, reported as "Unexpected error # <n> occured: <text>"
// by the start-up error handler.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace lumetra {

// What a failed call on an automation object means for the object: whether it is gone
// (its server ended or disconnected it: a new one is needed), or alive but refusing the
// call (busy, rejected), or something else.
enum class CallFailure { Other, ObjectGone, Rejected };

class UnexpectedError : public std::runtime_error {
public:
    UnexpectedError(int number, const std::string& description,
                    CallFailure failure = CallFailure::Other)
        : std::runtime_error(description), m_number(number), m_failure(failure) {}
    int number() const { return m_number; }
    CallFailure failure() const { return m_failure; }

private:
    int m_number;
    CallFailure m_failure;
};

// Error numbers of this program's own reporting.
namespace error_number {
inline constexpr int kOverflow = 6;
inline constexpr int kInvalidPropertyValue = 380;
inline constexpr int kCannotCreateObject = 429;
inline constexpr int kUnknownMember = 438;
inline constexpr int kObjectNotSet = 91;
inline constexpr int kPortOpenFailed = 8002;
inline constexpr int kInternal = 51;
} // namespace error_number

// The text of the unexpected-error message.
inline std::string unexpectedErrorText(int number, std::string_view description) {
    return "Unexpected error # " + std::to_string(number) + " occured: " + std::string(description);
}

// What creating or calling an automation object raises, whichever kind of host answers.
inline UnexpectedError cannotCreateObject(const std::string& detail = {}) {
    return {error_number::kCannotCreateObject,
            "ActiveX component can't create object" + (detail.empty() ? "" : " (" + detail + ")")};
}
inline UnexpectedError unknownMember() {
    return {error_number::kUnknownMember, "Object doesn't support this property or method"};
}

} // namespace lumetra
