#include "ghostscript.hpp"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <stdexcept>

#include "run_program.hpp"
#include "temp_dir.hpp"

namespace voziv::testing {

namespace {

// Lines that Ghostscript writes on every run without -q. Anything else on
// its standard output is an error report or a warning (a substituted font,
// a missing resource), which -q would hide.
bool isBanner(const std::string& line) {
    for (const char* prefix : {"GPL Ghostscript ", "Copyright (C) ", "This software is supplied ",
                               "see the file COPYING "}) {
        if (line.starts_with(prefix)) return true;
    }
    return line.starts_with("Loading ") && line.ends_with(" done.");
}

std::string complaintsIn(const std::string& out) {
    std::istringstream lines(out);
    std::string line, complaints;
    while (std::getline(lines, line)) {
        if (!isBanner(line)) complaints += line + "\n";
    }
    return complaints;
}

std::string number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

// Runs Ghostscript; a machine without it fails the test that needs it.
bool launch(const std::vector<std::string>& argv, ProgramResult& result) {
    try {
        result = runProgram(argv);
        return true;
    } catch (const std::exception&) {
        ADD_FAILURE() << "cannot run Ghostscript (" << argv[0]
                      << "): install it, the render tests need it";
        return false;
    }
}

// Runs Ghostscript on the document with the device arguments and returns
// what it wrote to its output file.
std::string runOn(const std::string& document, const Medium& medium,
                  const std::vector<std::string>& device) {
    TempDir dir;
    writeFile(dir / "chart.ps", document);
    std::vector<std::string> argv{ghostscriptBinary(), "-dSAFER", "-dBATCH", "-dNOPAUSE"};
    argv.insert(argv.end(), device.begin(), device.end());
    if (medium.epsCrop) {
        argv.push_back("-dEPSCrop");
    } else if (medium.ownPage) {
        argv.push_back("-sPAPERSIZE=11x17");
    } else {
        argv.push_back("-dDEVICEWIDTHPOINTS=" + number(medium.width));
        argv.push_back("-dDEVICEHEIGHTPOINTS=" + number(medium.height));
        argv.push_back("-dFIXEDMEDIA");
    }
    argv.push_back("-sOutputFile=" + (dir / "out").string());
    argv.push_back((dir / "chart.ps").string());
    ProgramResult r;
    if (!launch(argv, r)) return {};
    EXPECT_EQ(r.status, 0) << "Ghostscript failed:\n" << r.out << r.err;
    EXPECT_EQ(r.err, "") << "Ghostscript wrote to standard error";
    EXPECT_EQ(complaintsIn(r.out), "") << "Ghostscript reported problems";
    if (r.status != 0 || !std::filesystem::exists(dir / "out")) return {};
    return readFile(dir / "out");
}

void appendUtf8Decoded(std::string_view text, std::u32string& out) {
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra && i + static_cast<std::size_t>(k) < text.size(); ++k)
            cp = (cp << 6) |
                 (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3F);
        out += cp;
        i += static_cast<std::size_t>(extra) + 1;
    }
}

// The value of an XML attribute, with its entities resolved.
std::u32string attribute(const std::string& line, const std::string& name) {
    std::string key = " " + name + "=\"";
    std::size_t start = line.find(key);
    if (start == std::string::npos) return {};
    start += key.size();
    std::size_t stop = line.find('"', start);
    std::string_view raw(line.data() + start, stop - start);
    std::u32string value;
    while (!raw.empty()) {
        std::size_t amp = raw.find('&');
        appendUtf8Decoded(raw.substr(0, amp), value);
        if (amp == std::string_view::npos) break;
        std::size_t semi = raw.find(';', amp);
        std::string_view entity = raw.substr(amp + 1, semi - amp - 1);
        if (entity == "quot")
            value += U'"';
        else if (entity == "amp")
            value += U'&';
        else if (entity == "lt")
            value += U'<';
        else if (entity == "gt")
            value += U'>';
        else if (entity == "apos")
            value += U'\'';
        else if (entity.starts_with("#x"))
            value += static_cast<char32_t>(std::stoul(std::string(entity.substr(2)), nullptr, 16));
        else if (entity.starts_with("#"))
            value += static_cast<char32_t>(std::stoul(std::string(entity.substr(1))));
        else
            throw std::runtime_error("unknown entity in txtwrite output: " + std::string(entity));
        raw.remove_prefix(semi + 1);
    }
    return value;
}

std::string narrow(const std::u32string& text) {
    std::string out;
    for (char32_t c : text)
        out += static_cast<char>(c);
    return out;
}

std::array<double, 4> boxOf(const std::string& line) {
    std::istringstream numbers(narrow(attribute(line, "bbox")));
    std::array<double, 4> box{};
    numbers >> box[0] >> box[1] >> box[2] >> box[3];
    return box;
}

std::string calibrationDocument(const std::string& font) {
    std::string ps = "%!\n/" + font + " findfont 2 scalefont setfont\n";
    for (int b = 0; b < 256; ++b) {
        char line[64];
        std::snprintf(line, sizeof line, "10 %d moveto (A\\%03oB) show\n", 830 - 3 * b, b);
        ps += line;
    }
    return ps + "showpage\n";
}

}  // namespace

Rgb Image::at(int x, int y) const {
    const unsigned char* p = rgb.data() + 3 * (static_cast<std::size_t>(y) * width + x);
    return {p[0], p[1], p[2]};
}

Image parsePpm(const std::string& bytes) {
    // P6, then width, height and maximum value, each after white space and
    // comments, then one white space byte and the pixels.
    std::size_t at = 2;
    auto field = [&]() {
        for (;;) {
            while (at < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[at])))
                ++at;
            if (at < bytes.size() && bytes[at] == '#') {
                at = bytes.find('\n', at);
                continue;
            }
            break;
        }
        int value = 0;
        auto result = std::from_chars(bytes.data() + at, bytes.data() + bytes.size(), value);
        at = static_cast<std::size_t>(result.ptr - bytes.data());
        return value;
    };
    if (!bytes.starts_with("P6")) throw std::runtime_error("not a raw PPM image");
    Image image;
    image.width = field();
    image.height = field();
    if (field() != 255) throw std::runtime_error("PPM with more than 8 bits per channel");
    ++at;
    std::size_t size = 3 * static_cast<std::size_t>(image.width) * image.height;
    if (bytes.size() - at < size) throw std::runtime_error("short PPM image");
    image.rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                     bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
    return image;
}

std::vector<TextSpan> parseTxtwrite(const std::string& xml) {
    std::vector<TextSpan> spans;
    std::istringstream lines(xml);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.starts_with("<span ")) {
            std::array<double, 4> box = boxOf(line);
            spans.push_back({box[0], box[1], box[2], box[3], narrow(attribute(line, "font")), {}});
        } else if (line.starts_with("<char ") && !spans.empty()) {
            spans.back().text += attribute(line, "c");
        }
    }
    return spans;
}

std::string ghostscriptBinary() {
    const char* path = std::getenv("VOZIV_GHOSTSCRIPT");
    return path != nullptr && *path != '\0' ? path : "gs";
}

Image renderImage(const std::string& document, const Medium& medium, double dpi) {
    std::string ppm = runOn(
        document, medium,
        {"-sDEVICE=ppmraw", "-r" + number(dpi), "-dGraphicsAlphaBits=1", "-dTextAlphaBits=1"});
    if (ppm.empty()) return {};
    return parsePpm(ppm);
}

std::pair<double, double> pdfPageSize(const std::string& document) {
    std::string pdf = runOn(document, {.ownPage = true}, {"-sDEVICE=pdfwrite"});
    std::size_t box = pdf.find("/MediaBox [");
    if (box == std::string::npos) return {0, 0};
    std::istringstream numbers(pdf.substr(box + 11, 64));
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    numbers >> x0 >> y0 >> x1 >> y1;
    return {x1 - x0, y1 - y0};
}

std::vector<TextSpan> extractText(const std::string& document, const Medium& medium) {
    return parseTxtwrite(runOn(document, medium, {"-sDEVICE=txtwrite", "-dTextFormat=0", "-r72"}));
}

const GlyphMap& glyphMapFor(const std::string& font) {
    static std::map<std::string, GlyphMap> maps;
    auto found = maps.find(font);
    if (found != maps.end()) return found->second;
    GlyphMap& map = maps[font];
    std::vector<TextSpan> spans = extractText(calibrationDocument(font), {false, 595.0, 842.0});
    for (const TextSpan& span : spans) {
        int b = static_cast<int>((span.y0 - 12.0) / 3.0 + 0.5);
        if (b < 0 || b > 255 || span.text.size() < 2 || span.text.front() != U'A' ||
            span.text.back() != U'B') {
            ADD_FAILURE() << "unexpected span in the glyph calibration: " << printable(span.text);
            continue;
        }
        map[static_cast<std::size_t>(b)] = span.text.substr(1, span.text.size() - 2);
    }
    EXPECT_EQ(spans.size(), 256u) << "txtwrite lost bytes of the glyph calibration";
    // One character for every byte, so that a byte lost or added always
    // shows in the text. (A few bytes without a glyph come out as the same
    // character as another byte's glyph; the records check those bytes.)
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(map[static_cast<std::size_t>(b)].size(), 1u) << "byte " << b << " in " << font;
    return map;
}

std::u32string txtwriteText(const GlyphMap& map, const std::string& bytes) {
    std::u32string text;
    for (char c : bytes)
        text += map[static_cast<unsigned char>(c)];
    return text;
}

double emHeight(const std::string& font, double size) {
    static std::map<std::pair<std::string, double>, double> heights;
    auto key = std::make_pair(font, size);
    auto found = heights.find(key);
    if (found != heights.end()) return found->second;
    std::string program = "/" + font + " findfont " + number(size) +
                          " scalefont setfont newpath 0 0 moveto (M) false charpath pathbbox = "
                          "pop pop pop";
    ProgramResult r;
    if (!launch({ghostscriptBinary(), "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-dNODISPLAY", "-c",
                 program},
                r))
        return 0;
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    return heights[key] = std::atof(r.out.c_str());
}

std::string printable(const std::u32string& text) {
    std::string out;
    for (char32_t c : text) {
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char code[16];
            std::snprintf(code, sizeof code, "\\u{%x}", static_cast<unsigned>(c));
            out += code;
        }
    }
    return out;
}

}  // namespace voziv::testing
