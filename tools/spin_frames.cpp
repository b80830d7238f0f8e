#include "spin_frames.h"

#include <QPainter>

#include "app/pictures.h"

namespace popchan {

std::vector<QImage> golden_images(const DecidedSpin& spin, bool presentation, int count) {
    Pictures pictures;
    Surface startup(kDigiW, kDigiH);
    load_pictures(pictures, startup);
    std::vector<QImage> images;
    for (const Surface& frame : golden_frames(spin, presentation, pictures, count))
        images.push_back(QImage(reinterpret_cast<const uchar*>(frame.data()), kDigiW, kDigiH,
                                kDigiW * 4, QImage::Format_ARGB32)
                             .copy());
    return images;
}

QImage contact_sheet(const std::vector<std::pair<std::string, std::vector<QImage>>>& rows,
                     int scale) {
    const int label_h = 18, gap = 6, w = kDigiW * scale, h = kDigiH * scale;
    std::size_t columns = 0;
    for (const auto& row : rows)
        columns = std::max(columns, row.second.size());
    QImage sheet(gap + int(columns) * (w + gap), int(rows.size()) * (label_h + h + gap) + gap,
                 QImage::Format_RGB32);
    sheet.fill(QColor(64, 64, 72));
    QPainter p(&sheet);
    p.setPen(Qt::white);
    p.setFont(QFont("IPAGothic", 10));
    int y = gap;
    for (const auto& [label, frames] : rows) {
        p.drawText(gap, y + label_h - 5, QString::fromStdString(label));
        for (std::size_t i = 0; i < frames.size(); ++i)
            p.drawImage(QRect(gap + int(i) * (w + gap), y + label_h, w, h), frames[i]);
        y += label_h + h + gap;
    }
    return sheet;
}

} // namespace popchan
