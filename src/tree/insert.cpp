#include "tree/insert.hpp"

#include "tree/child_index.hpp"
#include "tree/node.hpp"

namespace voziv {

namespace {

Node* findListedChild(const Node* parent, std::string_view name) {
    for (Node* node = parent->child; node != nullptr; node = node->next) {
        if (hasName(node, name)) return node;
    }
    return nullptr;
}

}  // namespace

Node* findOrAddChild(Node* parent, std::string_view name) {
    std::uint64_t hash = 0;
    Node* found = parent->childIndex != 0 ? findIndexedChild(parent, name, hash)
                                          : findListedChild(parent, name);
    if (found != nullptr) return found;
    Node* node = newNode(name);
    node->next = parent->child;
    parent->child = node;
    parent->unsorted = 1;
    if (++parent->nchild == 2) parentsOfSeveral().push_back(parent);
    indexNewChild(parent, node, hash);
    return node;
}

void insertPath(std::span<const std::string_view> components, std::int64_t count) {
    Node* node = usageTree.root;
    for (std::string_view component : components)
        node = findOrAddChild(node, component);
    node->size = count;
    node->named = 1;
}

}  // namespace voziv
