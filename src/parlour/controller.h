// What every front end does with the main window's core: the menu items by
// name, each the model's handler or a request that the front end carries out
// (a window to open, a layout, the window on top, the window to close), and
// the pace of the clock. A front end only carries out requests and feeds the
// real time in.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace popchan {

class FormDigiModel;

// The windows a menu item opens.
enum class SubWindow {
    Premises, // a2: the premises dialog
    Help,     // d2: the help document
    Siyou,    // d3: how to use it
    Setumei,  // d4: about the machine
    Sales,    // d7: the author's other software
};

// The windows' names, as a front end that is handed them by name reads them.
inline constexpr std::array<std::string_view, 5> kSubWindowNames = {"premises", "help", "siyou",
                                                                    "setumei", "sales"};

// What the front end is asked to do after a menu item.
struct Request {
    enum class Kind {
        None,
        Open,   // open `window`, or bring it to the front
        Layout, // apply the client size kLayouts[index], the top-left corner kept
        OnTop,  // keep the main window above the others, or not (`on`)
        Close,  // close the main window: the program ends
    };
    Kind kind = Kind::None;
    SubWindow window = SubWindow::Premises;
    int index = 0;
    bool on = false;
    bool operator==(const Request&) const = default;
};

// The kinds' names, in the order of Request::Kind.
inline constexpr std::array<std::string_view, 5> kRequestNames = {"none", "open", "layout",
                                                                  "on_top", "close"};

// Runs the menu item `name` ("a3", "h2_1", "g2_4", …): the model's handler,
// and what the front end is to do. An unknown name does nothing.
Request choose(FormDigiModel& model, std::string_view name);

// Turns the real milliseconds of a front end's clock into the model's: those
// that passed since the last call, at most a quarter second at once, times
// the play speed. While a box is open nothing passes; the first call, and the
// first after the clock stood or a box closed, start the count afresh (as
// restart does), so no burst of catch-up ticks follows.
class Pacer {
  public:
    static constexpr int kMaxCatchUpMs = 250; // a longer stall (real time) is not made up

    // The model's milliseconds due at the real time `now`, in milliseconds
    // from any fixed origin; `boxes_closed` counts the boxes closed so far.
    std::int64_t due(const FormDigiModel& model, double now, bool box_open,
                     std::uint64_t boxes_closed);
    // Starts the count afresh at `now`.
    void restart(double now, std::uint64_t boxes_closed) {
        last_ = now;
        closed_seen_ = boxes_closed;
    }

  private:
    std::optional<double> last_; // the real time handed over so far
    std::uint64_t closed_seen_ = 0;
};

} // namespace popchan
