#include "sheet.h"

#include "masking.h"
#include "paint.h"

namespace pictures {

QImage sprite_sheet(const std::vector<CellArt>& cells) {
    QImage sheet(cell_w * int(cells.size()), 2 * cell_h, QImage::Format_ARGB32);
    for (std::size_t n = 0; n < cells.size(); ++n) {
        QImage art = transparent_canvas(cell_w, cell_h);
        {
            QPainter p(&art);
            smooth(p);
            cells[n](p);
        }
        const int x = cell_w * int(n);
        paste(sheet, cut_out(art), {x, 0}, {x, cell_h});
    }
    return sheet;
}

} // namespace pictures
