// Sprites and their masks. The display draws the mask with "destination = source
// AND NOT destination" and then the sprite with "destination = source XOR
// destination": a mask is black where the picture is opaque and white where it is
// transparent, and a sprite is white wherever its mask is white.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

namespace pictures {

struct Masked {
    QImage sprite;
    QImage mask;
};

// Cuts a drawing on a transparent canvas out along its own silhouette.
Masked cut_out(const QImage& drawing);
// Cuts a drawing out along a separately drawn silhouette: opaque where the
// silhouette covers at least half a pixel, white elsewhere.
Masked cut_out(const QImage& drawing, const QImage& silhouette);

// Puts a sprite over its mask (rows 0..h-1 sprite, h..2h-1 mask).
QImage stacked(const Masked& m);
// Copies a picture into a bigger one at `at`, pixels as they are.
void place(QImage& dest, const QImage& src, QPoint at);
// Copies a sprite/mask pair into a sheet, the sprite at `at` and the mask at `mask_at`.
void paste(QImage& sheet, const Masked& m, QPoint at, QPoint mask_at);

// The display's masked draw of the part `from` of a sprite and its mask at `at`.
void masked_draw(QImage& dest, QPoint at, const QImage& sprite, const QImage& mask,
                 const QRect& from, QPoint mask_from);

// Why a sprite and its mask break the convention, or an empty string.
QString mask_fault(const QImage& sprite, const QImage& mask);

} // namespace pictures
