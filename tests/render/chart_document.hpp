// Reads a chart document back the way the interpreter does: the settings
// its definitions carry, the title string, and the block records as the
// prolog's loop takes them, token by token from behind "{ rectShow } loop".
#pragma once

#include <string>
#include <vector>

namespace voziv::testing {

struct Record {
    long long depth = 0;
    std::string label;  // the string's bytes, escapes resolved
    double height = 0;
    double top = 0;
    double hue = 0, saturation = 0, brightness = 0;
};

struct ChartDocument {
    bool eps = false;
    bool landscape = false;
    double fontsize = 0;
    std::string fontname;
    long long ncols = 0;
    double width = 0;   // of the drawing area, from the cell width definition
    double height = 0;  // of the drawing area, from the background
    double backgroundWidth = 0;
    double linewidth = 0;
    std::string title;  // the title string's bytes
    std::vector<Record> records;
    double cellwidth() const { return width / static_cast<double>(ncols); }
};

// Parses the document; a part that cannot be read is reported by throwing
// std::runtime_error with what was expected.
ChartDocument parseChart(const std::string& document);

// Reads the PostScript string literal that starts at text[at] == '(' and
// returns its bytes; at is left behind the closing parenthesis.
std::string readPsString(const std::string& text, std::size_t& at);

// The label a node should carry: its name and its count.
std::string labelFor(const std::string& name, long long size);

// Splits a label into the name and the count; false when it has no count.
bool splitLabel(const std::string& label, std::string& name, long long& size);

}  // namespace voziv::testing
