#pragma once

#include <cstddef>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>

namespace vantero::cli {

// The names of `items` in one text: `name` of each (a function or a member),
// `separator` between two of them and `last`, when given, before the last one
// ("a, b and c").
template <typename Items, typename Name = std::identity>
std::string joined(const Items& items, Name name = {}, std::string_view separator = ", ",
                   std::string_view last = {}) {
    std::string list;
    const auto count = static_cast<std::size_t>(std::size(items));
    std::size_t i = 0;
    for (const auto& item : items) {
        if (i > 0) {
            list += i + 1 == count && !last.empty() ? last : separator;
        }
        list += std::invoke(name, item);
        ++i;
    }
    return list;
}

} // namespace vantero::cli
