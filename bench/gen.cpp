// Writes du output for a made-up directory tree, the same bytes for the same
// arguments, so that every program in the benchmark reads the same input.
//
//     gen real|wide|deep LINES [SEED] > input
//
// real: a tree under /data as du writes it, children before their parent:
//       names of 5 to 30 bytes, a heavy-tailed number of subdirectories, at
//       most 15 levels below /data, every count at least the sum of its
//       subdirectories' counts, siblings with distinct counts, all below 2^31.
// wide: /data/wide with LINES - 1 subdirectories.
// deep: a chain of LINES nested directories as a relative path: the deepest
//       directory's line first, then the top one's. (Every line of such a
//       chain would make the input quadratic in its depth.)
//
// Names hold only letters, digits, "_", "-" and ".", so that no program has
// to escape them.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace voziv::bench {

namespace {

// xoshiro256**, seeded through splitmix64: fast, and the same everywhere.
struct Random {
    std::uint64_t s[4];

    explicit Random(std::uint64_t seed) {
        for (auto& word : s) {
            seed += 0x9e3779b97f4a7c15u;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
            z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
            word = z ^ (z >> 31);
        }
    }
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    std::uint64_t next() {
        std::uint64_t result = rotl(s[1] * 5, 7) * 9;
        std::uint64_t t = s[1] << 17;
        s[2] ^= s[0], s[3] ^= s[1], s[1] ^= s[2], s[0] ^= s[3];
        s[2] ^= t;
        s[3] = rotl(s[3], 45);
        return result;
    }
    // Uniform in [0, n).
    std::uint64_t below(std::uint64_t n) { return next() % n; }
    // Uniform in (0, 1].
    double unit() { return (static_cast<double>(next() >> 11) + 1.0) * 0x1.0p-53; }
    // Pareto with minimum 1 and the given tail index: heavy-tailed.
    double pareto(double alpha) { return std::pow(unit(), -1.0 / alpha); }
};

// Output through one large buffer; stdio per line would dominate the run.
struct Writer {
    std::string buffer;
    void flush() {
        if (std::fwrite(buffer.data(), 1, buffer.size(), stdout) != buffer.size()) {
            std::perror("gen: write");
            std::exit(1);
        }
        buffer.clear();
    }
    void line(std::int64_t count, std::string_view path) {
        char digits[24];
        int n = std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(count));
        buffer.append(digits, static_cast<std::size_t>(n));
        buffer += '\t';  // du separates count and path with a tab
        buffer.append(path);
        buffer += '\n';
        if (buffer.size() >= (1u << 20)) flush();
    }
};

constexpr char nameBytes[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-.";
constexpr std::int64_t countLimit = std::int64_t{1} << 31;

// Appends "/" and the name of sibling number index among siblings: random
// bytes, ending in the index in base 36 so that siblings never share a name.
void appendName(std::string& path, Random& random, std::uint64_t index, std::uint64_t siblings) {
    int suffix = 1;
    for (std::uint64_t n = siblings; n >= 36; n /= 36)
        ++suffix;
    // Mostly short names, as people give them; now and then a long one.
    std::uint64_t length;
    do {
        length = 5 + static_cast<std::uint64_t>(3.0 * (random.pareto(1.6) - 1.0));
    } while (length > 30);
    if (length < static_cast<std::uint64_t>(suffix) + 1) {
        length = static_cast<std::uint64_t>(suffix) + 1;
    }
    path += '/';
    for (std::uint64_t i = 0; i < length - static_cast<std::uint64_t>(suffix); ++i)
        path += nameBytes[random.below(sizeof nameBytes - 1)];
    char digits[16];
    for (int i = suffix - 1; i >= 0; --i, index /= 36)
        digits[i] = "0123456789abcdefghijklmnopqrstuvwxyz"[index % 36];
    path.append(digits, static_cast<std::size_t>(suffix));
}

// Blocks of a directory's own files: a few for most, many for some.
std::int64_t ownBlocks(Random& random) {
    return static_cast<std::int64_t>(std::min(1.0e5, 4.0 * random.pareto(1.5)));
}

// One directory whose line is still to be written.
struct Directory {
    std::size_t pathLength;              // of the shared path, up to this directory
    std::vector<std::uint64_t> budgets;  // lines left for each subdirectory's subtree
    std::size_t nextChild = 0;
    std::int64_t sum = 0;                     // of the finished subdirectories' counts
    std::int64_t largest = -1;                // of them
    std::unordered_set<std::int64_t> counts;  // theirs, to keep them distinct
};

Directory directory(std::size_t pathLength, std::vector<std::uint64_t> budgets) {
    Directory result;
    result.pathLength = pathLength;
    result.budgets = std::move(budgets);
    return result;
}

constexpr int maxDepth = 15;
constexpr std::uint64_t maxFanOut = 5000;

// Splits the lines of a subtree below its top among its subdirectories.
std::vector<std::uint64_t> splitBudget(Random& random, std::uint64_t lines, int depth) {
    std::vector<std::uint64_t> budgets;
    if (lines <= 1) return budgets;
    std::uint64_t below = lines - 1;
    std::uint64_t fanOut;
    if (depth >= maxDepth - 1) {
        fanOut = below;  // the subdirectories are at the deepest level
    } else {
        fanOut = static_cast<std::uint64_t>(std::min(1.0e9, 3.0 * random.pareto(1.0))) - 1;
        fanOut = std::max<std::uint64_t>(1, std::min({fanOut, below, maxFanOut}));
    }
    // Uneven shares, so that subtrees of very different sizes stand side by side.
    std::vector<double> weights(fanOut);
    double total = 0;
    for (auto& w : weights)
        total += w = random.pareto(2.5);
    std::uint64_t spare = below - fanOut, given = 0;
    budgets.resize(fanOut);
    for (std::size_t i = 0; i < fanOut; ++i) {
        std::uint64_t extra =
            static_cast<std::uint64_t>(static_cast<double>(spare) * weights[i] / total);
        if (given + extra > spare) extra = spare - given;
        budgets[i] = 1 + extra;
        given += extra;
    }
    for (; given < spare; ++given)
        ++budgets[random.below(fanOut)];
    return budgets;
}

// The count a finished directory gets: its own blocks and its
// subdirectories', raised past its elder siblings' counts if it meets one.
std::int64_t distinctCount(Directory& parent, std::int64_t count) {
    for (int tries = 0; parent.counts.count(count) != 0; ++tries)
        count = tries < 8 ? count + 1 : parent.largest + 1;
    parent.counts.insert(count);
    parent.largest = std::max(parent.largest, count);
    return count;
}

void writeReal(std::uint64_t lines, Random& random, Writer& out) {
    if (lines == 0) return;
    std::string path = "/data";
    std::vector<Directory> stack;
    stack.push_back(directory(path.size(), splitBudget(random, lines, 0)));
    while (!stack.empty()) {
        Directory& top = stack.back();
        if (top.nextChild < top.budgets.size()) {
            std::uint64_t index = top.nextChild++;
            std::uint64_t budget = top.budgets[index];
            appendName(path, random, index, top.budgets.size());
            int depth = static_cast<int>(stack.size());
            stack.push_back(directory(path.size(), splitBudget(random, budget, depth)));
            continue;
        }
        std::int64_t count = top.sum + ownBlocks(random);
        std::size_t length = top.pathLength;
        stack.pop_back();
        if (!stack.empty()) {
            count = distinctCount(stack.back(), count);
            stack.back().sum += count;
        }
        if (count >= countLimit) {
            std::fprintf(stderr, "gen: a count reached 2^31; use fewer lines\n");
            std::exit(1);
        }
        path.resize(length);
        out.line(count, path);
        path.resize(stack.empty() ? 0 : stack.back().pathLength);
    }
}

void writeWide(std::uint64_t lines, Random& random, Writer& out) {
    std::string path = "/data/wide";
    std::uint64_t children = lines > 0 ? lines - 1 : 0;
    std::int64_t sum = 0;
    for (std::uint64_t i = 0; i < children; ++i) {
        appendName(path, random, i, children);
        std::int64_t count = 1 + static_cast<std::int64_t>(random.below(1000));
        sum += count;
        out.line(count, path);
        path.resize(10);
    }
    if (lines > 0) out.line(sum + ownBlocks(random), path);
}

void writeDeep(std::uint64_t lines, Random& random, Writer& out) {
    std::string path;
    for (std::uint64_t i = 0; i < lines; ++i) {
        if (i > 0) path += '/';
        path += 'd';
        for (std::uint64_t n = i, k = 0; k < 5; ++k, n /= 36)
            path += "0123456789abcdefghijklmnopqrstuvwxyz"[n % 36];
    }
    if (lines == 0) return;
    std::int64_t deepest = ownBlocks(random);
    out.line(deepest, path);
    if (lines > 1) out.line(deepest + ownBlocks(random), std::string_view(path).substr(0, 6));
}

int usage() {
    std::fprintf(stderr, "usage: gen real|wide|deep LINES [SEED]\n");
    return 2;
}

}  // namespace

int run(int argc, char** argv) {
    if (argc < 3 || argc > 4) return usage();
    std::string_view shape = argv[1];
    char* end = nullptr;
    std::uint64_t lines = std::strtoull(argv[2], &end, 10);
    if (*end != '\0') return usage();
    std::uint64_t seed = argc == 4 ? std::strtoull(argv[3], nullptr, 10) : 1;
    Random random(seed);
    Writer out;
    if (shape == "real") {
        writeReal(lines, random, out);
    } else if (shape == "wide") {
        writeWide(lines, random, out);
    } else if (shape == "deep") {
        writeDeep(lines, random, out);
    } else {
        return usage();
    }
    out.flush();
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace voziv::bench

int main(int argc, char** argv) {
    return voziv::bench::run(argc, argv);
}
