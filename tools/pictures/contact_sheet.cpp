// docs/pictures.png: every picture twice its size with its name, and every masked
// picture drawn the display's way (AND NOT its mask, then XOR the sprite) over the
// display's light cyan.
#include "masking.h"
#include "paint.h"
#include "pictures.h"
#include "reads.h"

#include <QPainter>
#include <algorithm>
#include <map>

namespace pictures {

namespace {

const QColor backdrop(150, 150, 150);
const QColor cyan(128, 255, 255);
constexpr int zoom = 2, gap = 14, label_h = 16, margin = 4, flow_w = 1240;

struct Tile {
    QString label;
    QImage image; // at its own size; zoomed when painted
    QPoint at;
};

// Places tiles left to right in rows no wider than `right`.
class Flow {
  public:
    Flow(int left, int top, int right) : left_(left), right_(right), x_(left), y_(top) {}
    void add(const QString& label, const QImage& image) {
        const QSize size = image.size() * zoom + QSize(0, label_h);
        if (x_ > left_ && x_ + size.width() > right_) new_row();
        tiles_.push_back({label, image, {x_, y_}});
        x_ += size.width() + gap;
        row_h_ = std::max(row_h_, size.height());
    }
    void new_row() {
        if (x_ == left_) return;
        x_ = left_;
        y_ += row_h_ + gap;
        row_h_ = 0;
    }
    int right_edge() const { return x_; }
    int bottom() const { return y_ + row_h_; }
    const std::vector<Tile>& tiles() const { return tiles_; }

  private:
    int left_, right_, x_, y_, row_h_ = 0;
    std::vector<Tile> tiles_;
};

// The reads of a group side by side, each over its own patch of cyan.
QImage over_cyan(const ReadGroup& group, const std::map<QString, QImage>& by_name) {
    int w = margin, h = 0;
    for (const Read& r : group.reads) {
        w += r.from.width() + margin;
        h = std::max(h, r.from.height() + 2 * margin);
    }
    QImage panel = solid_canvas(w, h, cyan);
    int x = margin;
    for (const Read& r : group.reads) {
        masked_draw(panel, {x, margin}, by_name.at(r.sprite), by_name.at(r.mask), r.from,
                    r.mask_from);
        x += r.from.width() + margin;
    }
    return panel;
}

void paint_tile(QPainter& p, const Tile& tile) {
    p.setPen(QColor(20, 20, 30));
    p.setFont(ipa_font("IPAGothic", 12, false));
    p.drawText(tile.at + QPoint(0, 12), tile.label);
    p.drawImage(QRect(tile.at + QPoint(0, label_h), tile.image.size() * zoom), tile.image);
}

bool is_strip(const QString& name) {
    return name.startsWith("digipat");
}

} // namespace

QImage contact_sheet(const Pictures& all) {
    std::map<QString, QImage> by_name;
    for (const auto& picture : all)
        by_name[picture.name] = picture.image;
    const auto reads = display_reads();
    // The tall reel strips and their masked draw stand in a column of their own.
    Flow strips(gap, gap, 100000);
    for (const auto& picture : all) {
        if (is_strip(picture.name)) strips.add(picture.name, picture.image);
    }
    for (const auto& group : reads) {
        if (is_strip(group.reads.front().sprite))
            strips.add("over cyan", over_cyan(group, by_name));
    }
    const int left = strips.right_edge() + 4 * gap;
    Flow flow(left, gap, left + flow_w);
    for (const auto& picture : all) {
        if (!is_strip(picture.name)) flow.add(picture.name, picture.image);
    }
    flow.new_row();
    for (const auto& group : reads) {
        if (!is_strip(group.reads.front().sprite)) flow.add(group.title, over_cyan(group, by_name));
    }
    QImage sheet =
        solid_canvas(left + flow_w + gap, std::max(strips.bottom(), flow.bottom()) + gap, backdrop);
    QPainter p(&sheet);
    for (const Flow* f : {&strips, &flow}) {
        for (const Tile& tile : f->tiles())
            paint_tile(p, tile);
    }
    return sheet;
}

} // namespace pictures
