// Every picture of the program, by file name.
#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace pictures {

struct Picture {
    QString name; // file name without ".png"
    QImage image;
};
using Pictures = std::vector<Picture>;

Pictures symbol_pictures();  // digipat0, digipat1
Pictures reach_sheets();     // pat0 .. pat5, pat7, pat9
Pictures overlay_pictures(); // pat6, pat8, patbox0 .. patbox5
Pictures plain_pictures();   // startup, dorubako, fuda0, fuda1, zentei, icon
QImage icon(int size);       // the program's icon, size x size pixels

// All the pictures at twice their size with their names, and each sprite sheet
// drawn through its mask over the display's light cyan.
QImage contact_sheet(const Pictures& all);

} // namespace pictures
