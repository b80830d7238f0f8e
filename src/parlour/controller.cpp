#include "parlour/controller.h"

#include <array>
#include <cmath>
#include <string>

#include "parlour/face.h"
#include "parlour/formdigi_model.h"

namespace popchan {

namespace {

using Kind = Request::Kind;

// A menu item, or a numbered family of them ("h2_" for h2_0 … h2_3), with
// what it does with its number.
struct Command {
    std::string_view name;
    Request (*run)(FormDigiModel& m, int i);
    int first = -1, last = -1; // the family's numbers; -1 for a single item
};

Request none() {
    return {};
}
Request open(SubWindow w) {
    return {Kind::Open, w};
}

// A model handler with nothing for the front end to do.
template <void (FormDigiModel::*handler)()> Request only(FormDigiModel& m, int) {
    (m.*handler)();
    return none();
}

constexpr Command kCommands[] = {
    {"a2",
     [](FormDigiModel& m, int) {
         m.a2_Click();
         return open(SubWindow::Premises);
     }},
    {"a3", only<&FormDigiModel::a3_Click>},
    {"a4", only<&FormDigiModel::a4_Click>},
    {"a5", [](FormDigiModel& m, int) { return m.a5_Click() ? Request{Kind::Close} : none(); }},
    {"b2", only<&FormDigiModel::b2_Click>},
    {"b4_",
     [](FormDigiModel& m, int i) {
         m.b4_Click(Int16(i));
         return none();
     },
     1, 2},
    {"g2_",
     [](FormDigiModel&, int i) {
         return Request{Kind::Layout, {}, i};
     },
     0, int(kLayouts.size()) - 1},
    {"g3",
     [](FormDigiModel& m, int) {
         m.set_on_top(!m.screen.menus.g3_checked);
         return Request{Kind::OnTop, {}, 0, m.screen.menus.g3_checked};
     }},
    {"f2", only<&FormDigiModel::f2_Click>},
    {"f3", only<&FormDigiModel::f3_Click>},
    {"h2_",
     [](FormDigiModel& m, int i) {
         m.h2_Click(i);
         return none();
     },
     0, int(FormDigiModel::kSpeeds.size()) - 1},
    {"d2", [](FormDigiModel&, int) { return open(SubWindow::Help); }},
    {"d3", [](FormDigiModel&, int) { return open(SubWindow::Siyou); }},
    {"d4", [](FormDigiModel&, int) { return open(SubWindow::Setumei); }},
    {"d6", only<&FormDigiModel::d6_Click>},
    {"d7", [](FormDigiModel&, int) { return open(SubWindow::Sales); }},
};

} // namespace

Request choose(FormDigiModel& model, std::string_view name) {
    for (const Command& c : kCommands) {
        if (c.first < 0 && name == c.name) return c.run(model, 0);
        if (c.first >= 0 && name.size() == c.name.size() + 1 && name.starts_with(c.name)) {
            const int i = name.back() - '0';
            if (i >= c.first && i <= c.last) return c.run(model, i);
        }
    }
    return none();
}

std::int64_t Pacer::due(const FormDigiModel& model, double now, bool box_open,
                        std::uint64_t boxes_closed) {
    if (box_open) return 0; // a handler waits for its box: time stands still
    if (!model.clock().any_running() || !last_ || boxes_closed != closed_seen_) {
        restart(now, boxes_closed);
        return 0;
    }
    const double behind = now - *last_;
    const double whole = std::floor(behind);
    if (!(whole >= 1)) return 0;
    const double taken = std::min<double>(whole, kMaxCatchUpMs);
    // A longer stall is not made up: the count goes on from now.
    last_ = behind > kMaxCatchUpMs ? now : *last_ + taken;
    return std::int64_t(taken) * model.speed();
}

} // namespace popchan
