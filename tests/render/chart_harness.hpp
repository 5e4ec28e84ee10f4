// One chart through the whole chain: voziv writes it, the records are
// checked against the data, Ghostscript renders it and extracts its text,
// and both are checked against the records.
#pragma once

#include <string>
#include <vector>

#include "chart_checks.hpp"
#include "chart_model.hpp"

namespace voziv::testing {

enum class Mode { Portrait, Landscape, Eps };

// A paper size in millimetres, as the standards give it.
struct Paper {
    double widthMm, heightMm;
    double width() const { return widthMm * 72 / 25.4; }
    double height() const { return heightMm * 72 / 25.4; }
};

inline constexpr Paper a3{297, 420}, a4{210, 297}, b4{257, 364}, b5{182, 257},
    usLetter{215.9, 279.4};

// What the options of a case should have set.
struct Expected {
    Mode mode = Mode::Portrait;
    double paperWidth = a4.width();  // points; the box of a figure
    double paperHeight = a4.height();
    double margin = 50;
    std::string fontname = "Times-Roman";
    double fontsize = 8;
    double linewidth = 0.5;
    long long ncols = 7;
    int colorStep = 0;
    bool byName = false;
};

Expected onPaper(Paper paper, Expected expected = {});

// Which of the checks after the records to run, and at what resolution.
struct Checks {
    bool pixels = true;
    double dpi = 144;
    bool labels = true;
    bool ownPage = false;  // render on the page the document asks for, not a fixed one
};

// Runs voziv with the arguments on the input and checks everything against
// the model and the expected settings.
void checkChart(const std::vector<std::string>& args, const std::string& input,
                const Expected& expected, const ChartModel& model, const Checks& checks = {});

// The layout that the expected settings give.
Layout layoutFor(const Expected& expected);

}  // namespace voziv::testing
