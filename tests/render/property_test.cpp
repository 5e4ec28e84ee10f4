// Random trees of random byte names through the binary: every document
// renders without a complaint, and the text Ghostscript draws is the names
// and counts of the tree.
#include <gtest/gtest.h>

#include <random>

#include "chart_harness.hpp"

namespace voziv::testing {
namespace {

struct RandomNode {
    std::string name;
    long long own = 0;
    std::vector<std::size_t> children;
};

struct RandomChart {
    std::string input;  // as du writes it, post-order
    char terminator = '\n';
    std::vector<std::string> args;
    Expected expected;
};

// A name of random bytes: anything but "/", NUL and, for newline records,
// the line feed. A record's last name may not end in a carriage return
// there either, since the reader drops one before the line end.
std::string randomName(std::mt19937_64& rng, char terminator) {
    std::uniform_int_distribution<int> length(1, 12), byte(1, 255);
    std::string name;
    int n = length(rng);
    while (static_cast<int>(name.size()) < n) {
        char c = static_cast<char>(byte(rng));
        if (c == '/' || (terminator == '\n' && c == '\n')) continue;
        name += c;
    }
    if (terminator == '\n' && name.back() == '\r') name.back() = 'r';
    if (name == "." || name == "..") name += "x";
    return name;
}

// Nodes in the order they were made; a node's parent comes before it.
std::vector<RandomNode> randomTree(std::mt19937_64& rng, char terminator) {
    std::uniform_int_distribution<int> count(2, 24), depthLimit(1, 6);
    std::uniform_int_distribution<long long> own(0, 999);
    std::vector<RandomNode> nodes{{".", own(rng), {}}};
    std::vector<int> depth{0};
    int limit = depthLimit(rng);
    int n = count(rng);
    while (static_cast<int>(nodes.size()) < n) {
        std::size_t parent = std::uniform_int_distribution<std::size_t>(0, nodes.size() - 1)(rng);
        if (depth[parent] >= limit) continue;
        std::string name = randomName(rng, terminator);
        bool taken = false;
        for (std::size_t sibling : nodes[parent].children)
            taken = taken || nodes[sibling].name == name;
        if (taken) continue;
        nodes[parent].children.push_back(nodes.size());
        nodes.push_back({name, own(rng) % 7 == 0 ? 0 : own(rng), {}});
        depth.push_back(depth[parent] + 1);
    }
    return nodes;
}

// du's lines for the tree: each directory after everything below it, with
// its own blocks and all below.
std::string duLinesOf(const std::vector<RandomNode>& nodes, char terminator) {
    std::vector<long long> total(nodes.size());
    std::vector<std::string> path(nodes.size());
    path[0] = nodes[0].name;
    for (std::size_t i = 0; i < nodes.size(); ++i)
        for (std::size_t child : nodes[i].children)
            path[child] = path[i] + "/" + nodes[child].name;
    for (std::size_t i = nodes.size(); i-- > 0;) {
        total[i] += nodes[i].own;
        for (std::size_t child : nodes[i].children)
            total[i] += total[child];
    }
    // Post-order without recursion: a node is written once its children are.
    std::string out;
    std::vector<std::pair<std::size_t, std::size_t>> stack{{0, 0}};
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next < nodes[node].children.size()) {
            std::size_t child = nodes[node].children[next++];
            stack.push_back({child, 0});
            continue;
        }
        out += std::to_string(total[node]) + "\t" + path[node] + terminator;
        stack.pop_back();
    }
    return out;
}

RandomChart randomChart(unsigned seed) {
    std::mt19937_64 rng(0x766f7a6976ULL + seed);
    RandomChart chart;
    chart.terminator = seed % 2 == 0 ? '\0' : '\n';
    chart.input = duLinesOf(randomTree(rng, chart.terminator), chart.terminator);
    switch (seed % 5) {
        case 1:
            chart.args = {"-sa", "-color"};
            chart.expected = {.colorStep = 4096, .byName = true};
            break;
        case 2:
            chart.args = {"-land"};
            chart.expected = {.mode = Mode::Landscape, .ncols = 10};
            break;
        case 3:
            chart.args = {"-ncols", "3", "-ncolor", "5"};
            chart.expected = {.ncols = 3, .colorStep = 32768 / 5};
            break;
        default:
            break;
    }
    return chart;
}

class RandomTrees : public ::testing::TestWithParam<unsigned> {};

TEST_P(RandomTrees, RenderAndShowTheirNames) {
    RandomChart chart = randomChart(GetParam());
    ChartModel model = modelOfDuOutput(chart.input, chart.terminator);
    chooseModelRoot(model, ".", ".");
    checkChart(chart.args, chart.input, chart.expected, model, {.dpi = 36});
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomTrees, ::testing::Range(0u, 40u));

}  // namespace
}  // namespace voziv::testing
