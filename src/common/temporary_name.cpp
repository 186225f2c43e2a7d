#include "common/temporary_name.h"

#include <cstdio>
#include <cstdlib>

namespace lumetra {

namespace {

constexpr std::string_view kTemporaryMark = ".lumetra-tmp-";

bool allOf(std::string_view text, std::string_view characters) {
    return !text.empty() && text.find_first_not_of(characters) == std::string_view::npos;
}

} // namespace

std::string temporaryFileName(long processId, std::uint64_t random) {
    char part[17];
    std::snprintf(part, sizeof part, "%016llx", static_cast<unsigned long long>(random));
    return std::string(kTemporaryMark) + std::to_string(processId) + "-" + part;
}

bool isTemporaryFileName(std::string_view fileName) {
    const auto mark = fileName.rfind(kTemporaryMark);
    if (mark == std::string_view::npos)
        return false;
    const std::string_view rest = fileName.substr(mark + kTemporaryMark.size());
    const auto dash = rest.find('-');
    if (dash == std::string_view::npos)
        return allOf(rest, "0123456789");
    return mark == 0 && allOf(rest.substr(0, dash), "0123456789") &&
           allOf(rest.substr(dash + 1), "0123456789abcdef");
}

std::optional<long> temporaryFileProcess(std::string_view fileName) {
    if (!isTemporaryFileName(fileName))
        return std::nullopt;
    const std::string digits(
        fileName.substr(fileName.rfind(kTemporaryMark) + kTemporaryMark.size()));
    return std::strtol(digits.c_str(), nullptr, 10);
}

} // namespace lumetra
