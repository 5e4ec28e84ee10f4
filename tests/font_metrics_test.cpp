// The widths labels are fitted with, against the consumer they must agree
// with: Ghostscript's stringwidth of the same text in the same standard font.
// Other font names and characters outside Latin-1 get averages, which are
// checked for sense rather than exactness.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "chart/font_metrics.hpp"
#include "run_program.hpp"

namespace voziv {
namespace {

const char* const standardFaces[] = {
    "Times-Roman", "Times-Bold",     "Times-Italic",      "Times-BoldItalic",
    "Helvetica",   "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique",
    "Courier",     "Courier-Bold",   "Courier-Oblique",   "Courier-BoldOblique",
};

struct Sample {
    std::string font;
    std::u32string text;  // printable ASCII, Latin-1 and the ellipsis only
    double size;
};

struct Measured {
    double width = 0;
    double capTop = 0;  // top of the letter M at the size
};

std::string utf8(std::u32string_view text) {
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The text as a PostScript string in the encoding of "measured" below.
std::string psLiteral(std::u32string_view text) {
    std::string out = "(";
    for (char32_t c : text) {
        char octal[8];
        std::snprintf(octal, sizeof octal, "\\%03o", c == U'\u2026' ? 128u : unsigned(c));
        out += octal;
    }
    return out + ")";
}

// The font with its own encoding for ASCII, as the chart shows it, and
// ISOLatin1Encoding above, with the ellipsis in slot 128, which that leaves
// empty.
constexpr const char* measuredFont = R"(
/measured { % name -> font
  findfont dup length dict begin
    { 1 index /FID ne { def } { pop pop } ifelse } forall
    /Encoding [ Encoding 0 128 getinterval aload pop
                ISOLatin1Encoding 128 128 getinterval aload pop ] def
    Encoding 128 /ellipsis put
  currentdict end /VozivMeasured exch definefont
} def
)";

// Measures every sample in one Ghostscript run. Ghostscript rounds each
// advance to 1/256 of a device pixel, up to 0.004 pt a glyph at 72 dpi, so
// it measures at 7200 dpi, where that rounding is far below the tolerance.
std::vector<Measured> measure(const std::vector<Sample>& samples) {
    std::string program = measuredFont;
    for (const Sample& s : samples) {
        program += "/" + s.font + " measured " + std::to_string(s.size) + " scalefont setfont " +
                   psLiteral(s.text) + " stringwidth pop =\n" +
                   "newpath 0 0 moveto (M) false charpath pathbbox = pop pop pop\n";
    }
    const char* gs = std::getenv("VOZIV_GHOSTSCRIPT");
    testing::ProgramResult r =
        testing::runProgram({gs != nullptr && *gs != '\0' ? gs : "gs", "-q", "-dSAFER", "-dBATCH",
                             "-dNOPAUSE", "-dNODISPLAY", "-r7200", "-"},
                            program);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::vector<Measured> measured;
    std::istringstream lines(r.out);
    Measured m;
    while (lines >> m.width >> m.capTop)
        measured.push_back(m);
    return measured;
}

TEST(FontMetrics, StandardFacesMeasureAsInGhostscript) {
    const std::u32string labels[] = {
        U"usr (1.2G)",
        U"node_modules (842k)",
        U"Caf\u00e9 na\u00efve \u00c6r\u00f8sk\u00f8bing \u00df\u00fe\u00ff (3M)",
        U"\u00a1\u00a9\u00ae\u00b0\u00b1\u00b5\u00b6\u00bc\u00bd\u00be\u00bf\u00d7\u00f7",
        U"A long directory name, shortened\u2026 (17.5G)",
        U"`'\"~{|}^_[\\]@#$%&*+-=<>?!",
    };
    std::vector<Sample> samples;
    for (const char* font : standardFaces) {
        for (char32_t c = 32; c < 256; ++c) {
            if (c < 127 || c >= 160) samples.push_back({font, {c}, 10});
        }
        samples.push_back({font, U"\u2026", 10});
        for (double size : {7.5, 10.0, 12.0}) {
            for (const std::u32string& label : labels)
                samples.push_back({font, label, size});
        }
    }
    std::vector<Measured> measured = measure(samples);
    ASSERT_EQ(measured.size(), samples.size()) << "Ghostscript measured too little";
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const Sample& s = samples[i];
        const FontMetrics& font = metricsFor(s.font);
        std::string where = s.font + " " + std::to_string(s.size) + " \"" + utf8(s.text) + "\"";
        EXPECT_NEAR(textWidth(font, utf8(s.text), s.size), measured[i].width, 0.01) << where;
        // Ghostscript fits the outline of M to its grid at small sizes, which
        // moves its top by up to 0.03 pt from the scaled 1000-unit one.
        EXPECT_NEAR(font.capHeight * s.size / 1000, measured[i].capTop, 0.03) << where;
    }
}

TEST(FontMetrics, OtherNamesGetAGenericFamilyOfAverageWidth) {
    struct Case {
        const char* name;
        const char* familyFirst;  // what the CSS family list starts with
        const char* generic;      // and ends with
        const char* weight;
        const char* style;
        const char* standard;  // the standard face it stands in for
    };
    const Case cases[] = {
        {"Times-BoldItalic", "Times,", "serif", "bold", "italic", "Times-BoldItalic"},
        {"Helvetica-Oblique", "Helvetica,", "sans-serif", "normal", "italic", "Helvetica-Oblique"},
        {"Courier-Bold", "Courier,", "monospace", "bold", "normal", "Courier-Bold"},
        {"Palatino-Roman", "serif", "serif", "normal", "normal", "Times-Roman"},
        {"NewCenturySchlbk-BoldItalic", "serif", "serif", "bold", "italic", "Times-BoldItalic"},
        {"times-roman", "serif", "serif", "normal", "normal", "Times-Roman"},
        {"", "serif", "serif", "normal", "normal", "Times-Roman"},
        {"Arial-BoldMT", "sans-serif", "sans-serif", "bold", "normal", "Helvetica-Bold"},
        {"Helvetica-Narrow-BoldOblique", "sans-serif", "sans-serif", "bold", "italic",
         "Helvetica-BoldOblique"},
        {"DejaVuSans-Oblique", "sans-serif", "sans-serif", "normal", "italic", "Helvetica-Oblique"},
        {"DejaVuSansMono-Bold", "monospace", "monospace", "bold", "normal", "Courier-Bold"},
        {"Courier-Light", "monospace", "monospace", "normal", "normal", "Courier"},
        {"NimbusMonoPS-Italic", "monospace", "monospace", "normal", "italic", "Courier-Oblique"},
    };
    const std::string label = "Programme (4.5G)";
    for (const Case& c : cases) {
        const FontMetrics& font = metricsFor(c.name);
        std::string family = font.cssFamily;
        EXPECT_TRUE(family.starts_with(c.familyFirst)) << c.name << ": " << family;
        EXPECT_TRUE(family.ends_with(c.generic)) << c.name << ": " << family;
        EXPECT_STREQ(font.cssWeight, c.weight) << c.name;
        EXPECT_STREQ(font.cssStyle, c.style) << c.name;
        double ratio = textWidth(font, label, 10) / textWidth(metricsFor(c.standard), label, 10);
        EXPECT_GT(ratio, 0.8) << c.name;
        EXPECT_LT(ratio, 1.25) << c.name;
    }
}

TEST(FontMetrics, CharactersWithoutWidthsCountSensibly) {
    for (const char* name : {"Times-Roman", "Helvetica-Bold", "Courier", "Palatino-Roman"}) {
        const FontMetrics& font = metricsFor(name);
        auto width = [&font](const std::string& text) { return textWidth(font, text, 10); };
        // CJK, kana and Hangul are a full em wide, whatever the font.
        EXPECT_DOUBLE_EQ(width("\u6f22\u5b57\u304b\ud55c"), 40) << name;
        EXPECT_DOUBLE_EQ(width("ab\u6f22"), width("ab") + 10) << name;
        // Other scripts count as a letter of middling width.
        for (const char* text : {"\u03b1", "\u0416", "\u20ac", "\U0001d400"}) {
            EXPECT_GE(width(text), width("i")) << name << " " << text;
            EXPECT_LE(width(text), width("W")) << name << " " << text;
        }
        // A combining accent adds nothing to its letter.
        EXPECT_DOUBLE_EQ(width("e\u0301"), width("e")) << name;
    }
}

TEST(FontMetrics, InvalidUtf8CountsEveryByteAndSwallowsNothing) {
    const FontMetrics& font = metricsFor("Times-Roman");
    const std::string broken[] = {
        "\xff",
        "\x80",
        "\xc3",
        "\xe2\x80",
        "\xc0\xaf",
        "\xe0\x80\xaf",
        "\xed\xa0\x80",
        "\xf4\x90\x80\x80",
        "\xf8\x88\x80\x80\x80",
    };
    const std::string after = "A\u00e9\u2026";
    double perByte = textWidth(font, "\x80", 10);
    for (const std::string& bytes : broken) {
        double width = textWidth(font, bytes, 10);
        EXPECT_DOUBLE_EQ(width, static_cast<double>(bytes.size()) * perByte)
            << "every byte of a bad sequence counts, none is read as a character";
        EXPECT_DOUBLE_EQ(textWidth(font, bytes + after, 10), width + textWidth(font, after, 10))
            << "the valid text after a bad sequence still counts";
    }
    // Labels are shortened by measuring their beginnings: a view cut inside
    // a character measures as a copy of it, never reading past its end.
    const std::string label = "Caf\u00e9 \u2026\u6f22\U0001f600";
    for (std::size_t n = 0; n <= label.size(); ++n) {
        std::string_view cut = std::string_view(label).substr(0, n);
        EXPECT_DOUBLE_EQ(textWidth(font, cut, 10), textWidth(font, std::string(cut), 10)) << n;
    }
    EXPECT_EQ(textWidth(font, "", 10), 0);
    // Every string of one or two bytes, in every kind of face.
    for (const char* name : {"Times-Italic", "Courier", "Helvetica-Narrow"}) {
        for (int a = 0; a < 256; ++a) {
            for (int b = -1; b < 256; ++b) {
                std::string bytes(1, static_cast<char>(a));
                if (b >= 0) bytes += static_cast<char>(b);
                double width = textWidth(metricsFor(name), bytes, 10);
                ASSERT_TRUE(std::isfinite(width) && width >= 0) << name << " " << a << " " << b;
            }
        }
    }
}

}  // namespace
}  // namespace voziv
