#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace voziv {

struct ChildIndex;

// Enters one path below the top node and gives its last node the count; a
// later line with the same path replaces the earlier count.
void insertPath(ChildIndex& index, std::span<const std::string_view> components,
                std::int64_t count);

}  // namespace voziv
