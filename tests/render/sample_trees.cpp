#include "sample_trees.hpp"

namespace voziv::testing {

namespace {

std::string line(long long count, const std::string& path) {
    return std::to_string(count) + "\t" + path + "\n";
}

}  // namespace

std::string homeTree() {
    return line(120, "/home/u/a") + line(80, "/home/u/b") + line(210, "/home/u");
}

std::string mixedTree() {
    return line(40, "./src/lib/x") + line(25, "./src/lib/y") + line(90, "./src/lib") +
           line(30, "./src/app") + line(130, "./src") + line(5, "./doc/man") + line(60, "./doc") +
           line(3, "./tmp") + line(1, "./tiny") + line(210, ".");
}

std::string wideTree(int siblings) {
    std::string out;
    long long total = 7;
    for (int k = 1; k <= siblings; ++k) {
        std::string dir = "./s" + std::to_string(k);
        long long size = 10L * k + 3;
        out += line(size / 2, dir + "/in") + line(size, dir);
        total += size;
    }
    return out + line(total, ".");
}

std::string deepTree(int depth) {
    std::string path = ".";
    for (int k = 1; k <= depth; ++k)
        path += "/d" + std::to_string(k);
    std::string out;
    for (int k = depth; k >= 0; --k) {
        out += line(3L * (depth - k + 1), path);
        path.resize(path.rfind('/') == std::string::npos ? 0 : path.rfind('/'));
        if (path.empty()) break;
    }
    return out;
}

std::string treeWithEmptyNode() {
    return line(6, "./z/x") + line(0, "./z") + line(30, "./a") + line(50, ".");
}

std::vector<std::string> oddNames() {
    return {"paren(",
            ")close",
            "(both)",
            "back\\slash",
            "\\",
            "end\\",
            "sp ace",
            "trail  ",
            "tab\tin",
            {"ctl\x01\x02\x1f", 6},
            "del\x7f",
            "utf8 \xc3\xbc\xe6\x97\xa5",
            "high\xa4\xe9\xff",
            "%comment",
            "quote\"'`",
            "<x>&amp;",
            "cr\rmid",
            "\\(\\)",
            "))((",
            "\\0117"};
}

std::vector<std::string> nulOnlyNames() {
    return {"new\nline", "tail\r", "\n", "vt\v ff\f"};
}

}  // namespace voziv::testing
