#include "reads.h"

#include "masking.h"
#include "sheet.h"
#include "symbols.h"

#include <map>

namespace pictures {

namespace {

bool opaque(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 255) return false;
        }
    }
    return true;
}

ReadGroup sheet_cells(const QString& name, int cells) {
    ReadGroup group{name + " over cyan", {}};
    for (int n = 0; n < cells; ++n)
        group.reads.push_back(
            {name, QRect(n * cell_w, 0, cell_w, cell_h), name, {n * cell_w, cell_h}});
    return group;
}

// The notice overlay scrolls: sprite columns j.. and mask columns j+115.., rows y...
ReadGroup notice_overlay() {
    ReadGroup group{"pat6 over cyan (y = 96, 64, 32, 0; j = 3, 4, 3, 4)", {}};
    const int ys[] = {96, 64, 32, 0};
    for (int i = 0; i < 4; ++i) {
        const int j = 3 + i % 2;
        group.reads.push_back({"pat6", QRect(j, ys[i], 115, 96), "pat6", {j + 115, ys[i]}});
    }
    return group;
}

ReadGroup fanfare() {
    ReadGroup group{"patbox0..4 through patbox5 over cyan", {}};
    for (int i = 0; i < 5; ++i)
        group.reads.push_back({QString("patbox%1").arg(i), QRect(0, 0, 115, 96), "patbox5", {}});
    return group;
}

} // namespace

std::vector<ReadGroup> display_reads() {
    std::vector<ReadGroup> groups{
        {"digipat0 through digipat1 over cyan",
         {{"digipat0", QRect(0, 0, symbol_w, 18 * symbol_h), "digipat1", {}}}}};
    const std::pair<const char*, int> sheets[] = {{"pat0", 5}, {"pat1", 5}, {"pat2", 4},
                                                  {"pat3", 4}, {"pat7", 4}, {"pat9", 4},
                                                  {"pat4", 1}, {"pat5", 1}};
    for (const auto& [name, cells] : sheets)
        groups.push_back(sheet_cells(name, cells));
    groups.push_back(notice_overlay());
    groups.push_back({"pat8 over cyan", {{"pat8", QRect(0, 0, 115, 30), "pat8", {0, 30}}}});
    groups.push_back(fanfare());
    return groups;
}

QStringList convention_faults(const Pictures& all) {
    std::map<QString, QImage> by_name;
    QStringList faults;
    for (const auto& picture : all) {
        by_name[picture.name] = picture.image;
        if (!opaque(picture.image)) faults << picture.name + ": not opaque";
    }
    for (const auto& group : display_reads()) {
        for (const Read& r : group.reads) {
            if (!by_name.count(r.sprite) || !by_name.count(r.mask)) {
                faults << r.sprite + ": missing";
                continue;
            }
            const QString fault =
                mask_fault(by_name[r.sprite].copy(r.from),
                           by_name[r.mask].copy(QRect(r.mask_from, r.from.size())));
            if (!fault.isEmpty()) faults << r.sprite + ": " + fault;
        }
    }
    return faults;
}

} // namespace pictures
