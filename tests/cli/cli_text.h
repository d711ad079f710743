// A command's output taken apart as the tests read it: its lines, and a CSV line's cells.
#pragma once

#include <sstream>
#include <string>
#include <vector>

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

}  // namespace tarn::test
