// The words of a block's label: its name, or "N more" for gathered
// siblings, and its size, as the count stands or, when counts are bytes, as
// du -h writes sizes.
#pragma once

#include <cstdint>
#include <string_view>

namespace voziv {

struct Block;

// Room for any name of a gathered block and any size text.
constexpr std::size_t widestLabelPart = 48;

// The name part of the label; a gathered block's is written into room,
// which must have widestLabelPart bytes.
std::string_view labelName(const Block& block, char* room);

// The size part of the label, without parentheses, written at `at`; returns
// its end.
char* formatSize(char* at, std::int64_t size);

// A size in bytes as du -h writes it: below 1024 the bytes, then one
// decimal below 10 units and whole units from there, K, M, G, T, P, E as
// powers of 1024, always rounded up.
char* formatHumanSize(char* at, std::int64_t bytes);

}  // namespace voziv
