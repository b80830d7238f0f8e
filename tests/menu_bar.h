// The menu bar as the tests expect it, from tests/menu_bar.txt, one table for
// the core's, the window's and the page's tests.
#pragma once

#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace popchan::testing {

// Its lines as written, without the comments.
inline std::vector<std::string> menu_bar_lines() {
    std::ifstream in(POPCHAN_MENU_BAR);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') lines.push_back(line);
    return lines;
}

// An entry's name and caption ("A g2_2  〃 + 履歴(&R&ｽ)": the caption keeps its blank).
inline std::pair<std::string, std::string> menu_entry(const std::string& line) {
    const std::size_t blank = line.find(' ', 2);
    return {line.substr(2, blank - 2), line.substr(blank + 1)};
}

// The captions of the menus and items by name.
inline std::map<std::string, std::string> entry_captions() {
    std::map<std::string, std::string> out;
    for (const std::string& line : menu_bar_lines())
        if (line[0] == 'A' || line[0] == 'M') out.insert(menu_entry(line));
    return out;
}

// The submenus by caption, with their entries' captions in order (separators
// as "-").
inline std::map<std::string, std::vector<std::string>> submenus() {
    std::map<std::string, std::vector<std::string>> out;
    std::vector<std::string> open;
    for (const std::string& line : menu_bar_lines()) {
        if (line == "]") {
            open.pop_back();
            continue;
        }
        const std::string caption = line == "-" ? "-" : menu_entry(line).second;
        if (!open.empty()) out[open.back()].push_back(caption);
        if (line[0] == 'M') open.push_back(caption);
    }
    return out;
}

} // namespace popchan::testing
