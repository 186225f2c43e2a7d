// The awk-style field parser: a set of separator characters, fields numbered from 1,
// every separator ends a field (so a run of two separators holds an empty field),
// and a field past the last is empty.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumetra {

class FieldSplitter {
public:
    FieldSplitter(std::string_view separators, std::string_view text);

    // Field n, counted from 1; empty for n < 1 or n past the last field.
    std::string field(std::size_t n) const;
    std::size_t count() const { return m_bounds.size(); }

private:
    std::string m_text;
    std::vector<std::pair<std::size_t, std::size_t>> m_bounds; // start, length
};

} // namespace lumetra
