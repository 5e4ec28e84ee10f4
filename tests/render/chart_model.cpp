#include "chart_model.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>

namespace voziv::testing {

namespace {

// The written heights and tops have two decimals.
constexpr double rounding = 0.005 + 1e-9;

std::vector<std::string> componentsOf(std::string path) {
    if (path.starts_with("/")) path = "." + path;
    if (path == "./") path = ".";
    std::vector<std::string> parts;
    std::size_t begin = 0;
    for (;;) {
        std::size_t slash = path.find('/', begin);
        parts.push_back(path.substr(begin, slash - begin));
        if (slash == std::string::npos) return parts;
        begin = slash + 1;
    }
}

// A sibling list whose records are being read.
struct OpenList {
    std::size_t node = 0;    // the parent in the model
    double height = 0;       // the parent's exact height
    double nextTop = 0;      // where the next child's top should be
    long long hueSteps = 0;  // the next child's place in the list
    const std::string* previousName = nullptr;
    long long previousSize = 0;
    std::set<std::string> seen;
};

OpenList openList(std::size_t node, double height, double top) {
    OpenList list;
    list.node = node;
    list.height = height;
    list.nextTop = top;
    return list;
}

std::string hexOf(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x21 && c < 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02x", c);
            out += code;
        }
    }
    return out;
}

}  // namespace

std::size_t ChartModel::childOf(std::size_t parent, const std::string& name) {
    auto found = nodes[parent].children.find(name);
    if (found != nodes[parent].children.end()) return found->second;
    nodes.push_back({name, 0, parent, {}});
    nodes[parent].children[name] = nodes.size() - 1;
    return nodes.size() - 1;
}

std::vector<std::string> pathsOfDuOutput(const std::string& output, char terminator) {
    std::vector<std::string> paths;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find(terminator, start);
        if (end == std::string::npos) end = output.size();
        std::size_t tab = output.find('\t', start);
        if (tab == std::string::npos || tab > end)
            throw std::runtime_error("du line without a tab");
        paths.push_back(output.substr(tab + 1, end - tab - 1));
        start = end + 1;
    }
    return paths;
}

ChartModel modelOfDuOutput(const std::string& output, char terminator) {
    ChartModel model;
    model.nodes.push_back({"..", 0, 0, {}});
    std::size_t start = 0;
    for (const std::string& path : pathsOfDuOutput(output, terminator)) {
        long long count = std::atoll(output.c_str() + start);
        std::size_t node = 0;
        for (const std::string& part : componentsOf(path))
            node = model.childOf(node, part);
        model.nodes[node].size = count;
        start = output.find(terminator, start) + 1;
    }
    return model;
}

void chooseModelRoot(ChartModel& model, const std::string& rootPath, const std::string& title) {
    std::size_t node = 0;
    if (!rootPath.empty()) {
        for (const std::string& part : componentsOf(rootPath))
            node = model.childOf(node, part);
    }
    ModelNode& root = model.nodes[node];
    if (root.size == 0) {
        for (const auto& [name, child] : root.children)
            root.size += model.nodes[child].size;
    }
    model.root = node;
    model.title = title;
}

int expectRecordsMatch(const ChartDocument& chart, const ChartModel& model,
                       const RecordRules& rules) {
    int failures = 0;
    auto fail = [&](std::size_t index, const std::string& what) {
        ++failures;
        if (failures <= 20) ADD_FAILURE() << "record " << index << ": " << what;
    };
    if (chart.records.empty()) {
        ADD_FAILURE() << "no records";
        return 1;
    }
    const ModelNode& root = model.nodes[model.root];
    const Record& first = chart.records[0];
    if (first.depth != 0 || first.label != labelFor(root.name, root.size))
        fail(0, "root record is " + hexOf(first.label) + ", expected " +
                    hexOf(labelFor(root.name, root.size)));
    if (std::abs(first.height - chart.height) > rounding ||
        std::abs(first.top - chart.height) > rounding)
        fail(0, "root does not fill the drawing's height");
    if (first.hue != 0 || first.saturation != 0 || first.brightness != 1)
        fail(0, "root is not white");

    std::vector<OpenList> lists;
    lists.push_back(openList(model.root, chart.height, chart.height));
    for (std::size_t i = 1; i < chart.records.size(); ++i) {
        const Record& r = chart.records[i];
        if (r.depth < 1 || static_cast<std::size_t>(r.depth) > lists.size()) {
            fail(i, "depth " + std::to_string(r.depth) + " does not follow its parent");
            return failures;
        }
        lists.resize(static_cast<std::size_t>(r.depth));
        OpenList& list = lists.back();
        const ModelNode& parent = model.nodes[list.node];
        std::string name;
        long long size = 0;
        if (!splitLabel(r.label, name, size)) {
            fail(i, "label without a count: " + hexOf(r.label));
            return failures;
        }
        auto child = parent.children.find(name);
        if (child == parent.children.end()) {
            fail(i, "no node " + hexOf(name) + " under " + hexOf(parent.name));
            return failures;
        }
        const ModelNode& node = model.nodes[child->second];
        if (!list.seen.insert(name).second) fail(i, "second record for " + hexOf(name));
        if (parent.size == 0) fail(i, "a record below a node of size 0");
        if (size != node.size)
            fail(i, hexOf(name) + " shows " + std::to_string(size) + " blocks, has " +
                        std::to_string(node.size));
        double height =
            static_cast<double>(node.size) * list.height / static_cast<double>(parent.size);
        if (std::abs(r.height - height) > rounding + 1e-9 * height)
            fail(i, hexOf(name) + " is " + std::to_string(r.height) + " high, expected " +
                        std::to_string(height));
        if (std::abs(r.top - list.nextTop) > rounding + 1e-9 * chart.height)
            fail(i, hexOf(name) + " has its top at " + std::to_string(r.top) + ", expected " +
                        std::to_string(list.nextTop));
        if (list.previousName != nullptr) {
            bool ordered =
                rules.byName ? *list.previousName < name : list.previousSize >= node.size;
            if (!ordered)
                fail(i, hexOf(name) + " is out of order after " + hexOf(*list.previousName));
        }
        double hue = rules.colorStep == 0
                         ? 0
                         : static_cast<double>((list.hueSteps * rules.colorStep) & 32767) / 32768.0;
        double lit = rules.colorStep == 0 ? 0 : 1;
        if (std::abs(r.hue - hue) > 5e-7 || r.saturation != lit || r.brightness != 1)
            fail(i, hexOf(name) + " has colour " + std::to_string(r.hue) + " " +
                        std::to_string(r.saturation) + " " + std::to_string(r.brightness) +
                        ", expected hue " + std::to_string(hue));
        list.previousName = &child->first;
        list.previousSize = node.size;
        double top = list.nextTop;
        list.nextTop -= height;
        ++list.hueSteps;
        lists.push_back(openList(child->second, height, top));
    }
    // Every node whose ancestors from the root all have blocks has a record.
    std::size_t expected = 1;
    std::vector<std::size_t> pending{model.root};
    while (!pending.empty()) {
        const ModelNode& node = model.nodes[pending.back()];
        pending.pop_back();
        if (node.size == 0) continue;
        for (const auto& [name, child] : node.children) {
            ++expected;
            pending.push_back(child);
        }
    }
    if (chart.records.size() != expected) {
        ++failures;
        ADD_FAILURE() << chart.records.size() << " records, expected " << expected;
    }
    return failures;
}

}  // namespace voziv::testing
