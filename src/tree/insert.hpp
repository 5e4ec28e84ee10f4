#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace voziv {

struct Node;

// The child of parent named name; a new one is put at the head of parent's
// child list when there is none yet.
Node* findOrAddChild(Node* parent, std::string_view name);

// Enters one path below the top node and gives its last node the count; a
// later line with the same path replaces the earlier count.
void insertPath(std::span<const std::string_view> components, std::int64_t count);

}  // namespace voziv
