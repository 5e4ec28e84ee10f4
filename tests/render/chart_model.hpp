// What a chart should show, built by the tests from data they know (the
// tree they made, the lines du wrote) and not from the document, and the
// check of a document's block records against it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "chart_document.hpp"

namespace voziv::testing {

struct ModelNode {
    std::string name;
    long long size = 0;
    std::size_t parent = 0;
    std::map<std::string, std::size_t> children;  // by name, to the node's index
};

struct ChartModel {
    std::vector<ModelNode> nodes;  // nodes[0] is the top above every path
    std::size_t root = 0;          // the node the chart starts from
    std::string title;             // the path the title should show

    std::size_t childOf(std::size_t parent, const std::string& name);  // made when missing
};

// Enters du's output (count, tab, path; lines ended by terminator) into a
// model. An absolute path hangs under "." as the chart's reader enters it.
ChartModel modelOfDuOutput(const std::string& output, char terminator);

// Chooses the root: the node at the path du was run on (empty for the top,
// as for several relative arguments). A root that du gave no count to holds
// its children's sum; title is the path the title should show.
void chooseModelRoot(ChartModel& model, const std::string& rootPath, const std::string& title);

struct RecordRules {
    int colorStep = 0;  // hue step between siblings, 0 for white
    bool byName = false;
};

// Checks the records against the model: one record for the root and for
// every node below it whose ancestors all have blocks, each with its name,
// its count, its share of its parent's height, stacked from the parent's
// top in sibling order, coloured by its place in the list. Failures are
// recorded with gtest; returns the number of failures found.
int expectRecordsMatch(const ChartDocument& chart, const ChartModel& model,
                       const RecordRules& rules);

// The paths of the du output: the bytes after the tab of each line.
std::vector<std::string> pathsOfDuOutput(const std::string& output, char terminator);

}  // namespace voziv::testing
