// A command's output taken apart as the tests read it: its lines, and a CSV line's cells.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace tarn::test {

inline std::vector<std::string> Lines(const std::string& s) {
    std::vector<std::string> lines;
    std::istringstream in(s);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

// The cells between commas; a line ending in a comma ends in an empty cell.
inline std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::string cell;
    std::istringstream in(line);
    while (std::getline(in, cell, ',')) cells.push_back(cell);
    if (!line.empty() && line.back() == ',') cells.push_back("");
    return cells;
}

// A refused option as every command reports it: status 64, nothing on standard output, and on
// standard error "tarn1: ..." naming `named`, then the usage.
inline void ExpectUsageError(int status, const std::string& out, const std::string& err,
                             const std::string& named, const std::string& call) {
    EXPECT_EQ(status, kCliUsage) << call;
    const std::vector<std::string> lines = Lines(err);
    ASSERT_GE(lines.size(), 2u) << err;
    EXPECT_EQ(lines[0].rfind("tarn1: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(named), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1].rfind("usage: tarn1 --events", 0), 0u) << err;
    EXPECT_TRUE(out.empty());
}

}  // namespace tarn::test
