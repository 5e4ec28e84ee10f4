#include "tree/insert.hpp"

#include "tree/child_index.hpp"
#include "tree/node.hpp"

namespace voziv {

void insertPath(ChildIndex& index, std::span<const std::string_view> components,
                std::int64_t count) {
    Node* node = usageTree.root;
    for (std::string_view component : components)
        node = findOrAddChild(index, node, component);
    node->size = count;
}

}  // namespace voziv
