// How the display draws each masked picture, for the contact sheet and for the
// generator's own check of the mask convention.
#pragma once

#include "pictures.h"

#include <QPoint>
#include <QRect>
#include <QStringList>
#include <vector>

namespace pictures {

// One masked draw: the part `from` of a sprite through the same-sized part of a
// mask at `mask_from`.
struct Read {
    QString sprite;
    QRect from;
    QString mask;
    QPoint mask_from;
};

struct ReadGroup {
    QString title;
    std::vector<Read> reads;
};

std::vector<ReadGroup> display_reads();

// What breaks the mask convention in any read, or an opaque picture, one line each.
QStringList convention_faults(const Pictures& all);

} // namespace pictures
