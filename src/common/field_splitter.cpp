#include "common/field_splitter.h"

namespace lumetra {

FieldSplitter::FieldSplitter(std::string_view separators, std::string_view text) : m_text(text) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < m_text.size(); ++i) {
        if (separators.find(m_text[i]) != std::string_view::npos) {
            m_bounds.emplace_back(start, i - start);
            start = i + 1;
        }
    }
    m_bounds.emplace_back(start, m_text.size() - start);
}

std::string FieldSplitter::field(std::size_t n) const {
    if (n < 1 || n > m_bounds.size())
        return {};
    const auto [start, length] = m_bounds[n - 1];
    return m_text.substr(start, length);
}

} // namespace lumetra
