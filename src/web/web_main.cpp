// ＣＲぽぷちゃんシミュレーション in the browser: the core compiled to
// WebAssembly, driven by the page (page.js). The page builds the window from
// the core's tables, passes the user's commands and the passing milliseconds
// on, and shows the state this module hands it as JSON and the two pixel
// surfaces as RGBA.
//
// Message boxes: the core asks them synchronously. The page shows them as
// modal boxes and the module waits for the answer, suspended by Asyncify, so
// that the handler that asked goes on where it stood, as on the desktop.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/bgm.h"
#include "common/json_text.h"
#include "parlour/controller.h"
#include "parlour/decided_spins.h"
#include "parlour/face.h"
#include "parlour/formdigi_model.h"
#include "parlour/help_windows.h"
#include "premises/dialog.h"

using namespace popchan;

// The page's side: a box over the current figures, and the answer when it closes.
EM_ASYNC_JS(int, page_box, (const char* text, const char* title, int icon, int yes_no), {
    return await Module.page.box(UTF8ToString(text), UTF8ToString(title), icon, yes_no);
});
EM_JS(void, page_refresh, (), { Module.page.refresh(); });
// The premises dialog's lists get their corrected texts (a JSON array).
EM_JS(void, page_premise_texts, (const char* texts),
      { Module.page.premiseTexts(JSON.parse(UTF8ToString(texts))); });
// The music player (music.js): 0 nothing open, 1 playing, 2 open and stopped.
EM_JS(int, page_music_open, (const char* path),
      { return Module.page.music.open(UTF8ToString(path)); });
EM_JS(int, page_music_play, (), { return Module.page.music.play(); });
EM_JS(void, page_music_stop, (), { Module.page.music.stop(); });
EM_JS(void, page_music_close, (), { Module.page.music.close(); });
EM_JS(int, page_music_mode, (), { return Module.page.music.mode(); });

namespace {

class PageDialogs final : public Dialogs {
  public:
    void message(const std::string& text, const std::string& title, MessageIcon icon) override {
        page_refresh();
        page_box(text.c_str(), title.c_str(), int(icon), 0);
    }
    bool ask_yes_no(const std::string& text, const std::string& title, MessageIcon icon) override {
        page_refresh();
        return page_box(text.c_str(), title.c_str(), int(icon), 1) == 1;
    }
};

// The music plays in the page, each piece from its start.
class PageMusic final : public MediaDevice {
  public:
    bool open(const std::string& path) override { return page_music_open(path.c_str()) != 0; }
    bool play() override { return page_music_play() != 0; }
    void stop() override { page_music_stop(); }
    void close() override { page_music_close(); }
    std::optional<std::string> mode() override {
        switch (page_music_mode()) {
        case 1:
            return "playing";
        case 2:
            return "stopped";
        default:
            return std::nullopt;
        }
    }
    void seek_to_start() override {} // play() starts at the beginning
};

PageDialogs dialogs;
PageMusic music;
std::unique_ptr<FormDigiModel> model;
std::string text; // the last JSON handed out
std::vector<std::uint8_t> rgba;
std::vector<PictureFile> pictures;
std::vector<std::string> missing;

std::string flag(bool on) {
    return on ? "true" : "false";
}

template <class Items, class F> std::string array(const Items& items, F&& each) {
    std::string out = "[";
    for (const auto& item : items)
        out += (out.size() > 1 ? "," : "") + each(item);
    return out + "]";
}

std::string parts_json() {
    return array(main_window_parts(), [](const Part& p) {
        return "{\"kind\":" + std::to_string(int(p.kind)) + ",\"name\":" + json_string(p.name) +
               ",\"parent\":" + json_string(p.parent) + ",\"text\":" + json_string(p.text) +
               ",\"font\":" + std::to_string(p.font) + ",\"width\":" + std::to_string(p.width) +
               ",\"height\":" + std::to_string(p.height) + ",\"left\":" + std::to_string(p.left) +
               ",\"top\":" + std::to_string(p.top) + ",\"border\":" + flag(p.border) +
               ",\"grey\":" + flag(p.grey_back) + ",\"right\":" + flag(p.align_right) +
               ",\"wrap\":" + flag(p.wrap) + "}";
    });
}

std::string menus_json() {
    return array(main_window_menus(), [](const MenuItem& m) {
        return "{\"kind\":" + std::to_string(int(m.kind)) + ",\"name\":" + json_string(m.name) +
               ",\"caption\":" + json_string(m.caption) + ",\"checkable\":" + flag(m.checkable) +
               ",\"shortcut\":" + json_string(m.shortcut) + "}";
    });
}

std::string layouts_json() {
    return array(kLayouts, [](const Size& s) {
        return "[" + std::to_string(s.width) + "," + std::to_string(s.height) + "]";
    });
}

std::string state_json() {
    const FormDigiScreen& s = model->screen;
    std::string labels = "{";
    for (const auto& [name, value] : filled_labels(*model))
        labels += (labels.size() > 1 ? "," : "") + json_string(name) + ":" + json_string(value);
    labels += "}";

    auto object = [](const std::vector<std::pair<std::string, bool>>& items) {
        std::string out = "{";
        for (const auto& [name, on] : items)
            out += (out.size() > 1 ? "," : "") + json_string(name) + ":" + flag(on);
        return out + "}";
    };
    const std::string visible = object(shown_parts(s)), menus = object(enabled_menus(s)),
                      checked = object(checked_menus(s));

    const ReachList& r = model->reach.list();
    return "{\"revision\":" + std::to_string(s.revision) + ",\"labels\":" + labels +
           ",\"visible\":" + visible + ",\"enabled\":" + menus + ",\"checked\":" + checked +
           ",\"rireki\":" + json_strings(s.rireki) +
           ",\"reach\":{\"lines\":" + json_strings(r.lines) +
           ",\"selected\":" + std::to_string(r.selected) +
           ",\"scroll_to\":" + std::to_string(r.scroll_to) +
           ",\"redraws\":" + std::to_string(r.redraws) +
           "},\"running\":" + flag(model->clock().any_running()) +
           ",\"speed\":" + std::to_string(model->speed()) +
           ",\"now\":" + std::to_string(model->clock().now()) + ",\"surfaces\":[" +
           std::to_string(model->digi.PictureWaku.revision()) + "," +
           std::to_string(model->graph.surface().revision()) + "]}";
}

std::string place(const Place& p) {
    return "[" + std::to_string(p.width) + "," + std::to_string(p.height) + "," +
           std::to_string(p.left) + "," + std::to_string(p.top) + "]";
}

std::string premises_face_json() {
    const PremiseTexts texts = start_texts();
    std::string rows = "[";
    for (int r = 0; r < kPremiseRows; ++r) {
        const PremiseRowFace& f = premise_rows()[r];
        rows += (r ? "," : "") + std::string("{\"label\":") + json_string(f.label) +
                ",\"name\":" + json_string(f.name) + ",\"labelPlace\":" + place(f.label_place) +
                ",\"listPlace\":" + place(f.list_place) +
                ",\"items\":" + json_strings(list_items(PremiseRow(r))) +
                ",\"text\":" + json_string(texts[r]) + "}";
    }
    return "{\"title\":" + json_string(kZenteiTitle) + ",\"client\":" + place(kZenteiClient) +
           ",\"panel\":" + place(kZenteiPanel) + ",\"font\":" + std::to_string(kZenteiFont) +
           ",\"rowFont\":" + std::to_string(kZenteiRowFont) + ",\"rows\":" + rows +
           "],\"picture\":" + place(kZenteiPicture) + ",\"ok\":" + json_string(kZenteiOk) +
           ",\"okPlace\":" + place(kZenteiOkPlace) +
           ",\"okFont\":" + std::to_string(kZenteiOkFont) + "}";
}

const char* hand_out(std::string s) {
    text = std::move(s);
    return text.c_str();
}

const Surface& surface(int which) {
    return which == 0 ? model->digi.PictureWaku : model->graph.surface();
}

} // namespace

extern "C" {

// A new day at the parlour: the machine's own generator, or with `seed` (the
// page's ?seed=) a seeded one that plays the same day as the desktop program.
EMSCRIPTEN_KEEPALIVE void web_start(const char* seed) {
    model = std::make_unique<FormDigiModel>(dialogs, &music, seeded_random(seed));
    model->Form_Load(15, 15, "music");
    pictures = picture_files(model->digi.pictures, model->digi.PictureWaku);
    missing.clear();
}

EMSCRIPTEN_KEEPALIVE double web_music_gain() {
    return kMusicGain;
}

EMSCRIPTEN_KEEPALIVE const char* web_parts() {
    return hand_out(parts_json());
}
EMSCRIPTEN_KEEPALIVE const char* web_menus() {
    return hand_out(menus_json());
}
EMSCRIPTEN_KEEPALIVE const char* web_layouts() {
    return hand_out(layouts_json());
}
EMSCRIPTEN_KEEPALIVE const char* web_state() {
    return hand_out(state_json());
}

// The display's picture files: their names and sizes, a buffer the page
// fills with one picture's RGBA, and the check that takes it in.
EMSCRIPTEN_KEEPALIVE const char* web_picture_files() {
    return hand_out(array(pictures, [](const PictureFile& f) {
        return "{\"name\":" + json_string(f.name) +
               ",\"width\":" + std::to_string(f.target->width()) +
               ",\"height\":" + std::to_string(f.target->height()) + "}";
    }));
}
EMSCRIPTEN_KEEPALIVE std::uint8_t* web_picture_buffer(int index) {
    const Surface& s = *pictures.at(index).target;
    rgba.assign(std::size_t(s.width()) * s.height() * 4, 0);
    return rgba.data();
}
// `loaded` false: the file was missing or damaged, and stays white.
EMSCRIPTEN_KEEPALIVE void web_picture_take(int index, int loaded) {
    const PictureFile& f = pictures.at(index);
    if (!loaded) {
        missing.push_back(f.name + ".png");
        return;
    }
    Pixel* out = f.target->data();
    for (std::size_t i = 0; i < rgba.size() / 4; ++i)
        out[i] = (Pixel(rgba[4 * i + 3]) << 24) | (Pixel(rgba[4 * i]) << 16) |
                 (Pixel(rgba[4 * i + 1]) << 8) | Pixel(rgba[4 * i + 2]);
    f.target->touch();
}
// Said once when the window is up, as on the desktop.
EMSCRIPTEN_KEEPALIVE void web_pictures_done() {
    if (!missing.empty())
        dialogs.message(missing_pictures_message(missing), kAppTitle, MessageIcon::Warning);
}

// What the page checks every frame, without the whole state: the window's
// revision, each surface's, whether the clock runs, and the speed.
EMSCRIPTEN_KEEPALIVE double web_revision() {
    return double(model->screen.revision + model->reach.list().redraws);
}
EMSCRIPTEN_KEEPALIVE double web_surface_revision(int which) {
    return double(surface(which).revision());
}
EMSCRIPTEN_KEEPALIVE int web_running() {
    return model->clock().any_running() ? 1 : 0;
}

// A surface (0 the display, 1 the graph) as RGBA rows.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* web_surface(int which) {
    const Surface& s = surface(which);
    rgba.resize(std::size_t(s.width()) * s.height() * 4);
    const Pixel* in = s.data();
    for (std::size_t i = 0; i < rgba.size() / 4; ++i) {
        rgba[4 * i] = std::uint8_t(in[i] >> 16);
        rgba[4 * i + 1] = std::uint8_t(in[i] >> 8);
        rgba[4 * i + 2] = std::uint8_t(in[i]);
        rgba[4 * i + 3] = 255;
    }
    return rgba.data();
}

// For the tests: simulated milliseconds pass at once.
EMSCRIPTEN_KEEPALIVE void web_advance(double ms) {
    model->advance(std::int64_t(ms));
}

// A frame of the page at the real millisecond `now`, `boxes_closed` boxes
// closed so far: the pacer's milliseconds pass. 1 when any passed.
EMSCRIPTEN_KEEPALIVE int web_frame(double now, double boxes_closed) {
    static Pacer pacer;
    const std::int64_t due = pacer.due(*model, now, false, std::uint64_t(boxes_closed));
    if (due > 0) model->advance(due);
    return due > 0 ? 1 : 0;
}

// The help menu's windows by their names: the two information windows, the
// batch tool's introduction and the help document.
EMSCRIPTEN_KEEPALIVE const char* web_help_windows() {
    auto four = [](const int(&r)[4]) {
        return "[" + std::to_string(r[2]) + "," + std::to_string(r[3]) + "," +
               std::to_string(r[0]) + "," + std::to_string(r[1]) + "]";
    };
    auto info = [&](const InfoLayout& l, const char* text) {
        return "{\"name\":" + json_string(l.name) + ",\"caption\":" + json_string(l.caption) +
               ",\"client\":[" + std::to_string(l.width) + "," + std::to_string(l.height) +
               "],\"frame\":" + four(l.frame) + ",\"text\":" + four(l.text) + ",\"image\":[32,32," +
               std::to_string(l.image[0]) + "," + std::to_string(l.image[1]) +
               "],\"button\":" + four(l.button) +
               ",\"buttonFont\":" + std::to_string(l.button_font) +
               ",\"buttonCaption\":" + json_string(l.button_caption) +
               ",\"textFont\":" + std::to_string(kInfoTextFont) + ",\"body\":" + json_string(text) +
               "}";
    };
    const auto key = [](SubWindow w) {
        return json_string(std::string(kSubWindowNames[std::size_t(w)])) + ":";
    };
    return hand_out("{" + key(SubWindow::Setumei) + info(kSetumei, kSetumeiText) + "," +
                    key(SubWindow::Siyou) + info(kSiyou, kSiyouText) + "," + key(SubWindow::Sales) +
                    "{\"caption\":" + json_string(kSalesTitle) +
                    ",\"html\":" + json_string(kSalesHtml) + ",\"client\":[" +
                    std::to_string(kSalesWidth) + "," + std::to_string(kSalesHeight) + "]}," +
                    key(SubWindow::Help) + "{\"caption\":" + json_string(kHelpTitle) +
                    ",\"client\":[" + std::to_string(kHelpWidth) + "," +
                    std::to_string(kHelpHeight) + "]" + ",\"file\":" + json_string(kHelpFile) +
                    ",\"missing\":" + json_string(help_missing(kHelpFile)) + "}}");
}

// The premises dialog: its face, and OK with the texts of its lists, a line
// each; 1 when the record took them and the dialog closes.
EMSCRIPTEN_KEEPALIVE const char* web_premises_face() {
    return hand_out(premises_face_json());
}
EMSCRIPTEN_KEEPALIVE int web_premises_ok(const char* lines) {
    PremiseTexts texts;
    std::string all = lines;
    for (int r = 0; r < kPremiseRows; ++r) {
        const std::size_t end = all.find('\n');
        texts[r] = all.substr(0, end);
        all = end == std::string::npos ? "" : all.substr(end + 1);
    }
    return premises_ok(texts, model->premises, dialogs,
                       [&] { page_premise_texts(json_strings(texts).c_str()); })
               ? 1
               : 0;
}

// For the tests: the display shows golden frame `frame` (of 8) of a decided
// spin, of the sample spins or (`presentation`) of every reach outcome, as
// the desktop's golden-frame tests pick them. 0 when there is no such spin.
EMSCRIPTEN_KEEPALIVE int web_show_golden(int presentation, int spin, int frame) {
    const std::vector<DecidedSpin> spins = presentation ? every_reach_outcome() : sample_spins();
    if (spin < 0 || spin >= int(spins.size()) || frame < 0 || frame >= 8) return 0;
    static std::vector<Surface> frames;
    static std::pair<int, int> played{-1, -1};
    if (played != std::pair{presentation, spin}) {
        frames =
            golden_frames(spins[std::size_t(spin)], presentation != 0, model->digi.pictures, 8);
        played = {presentation, spin};
    }
    model->digi.PictureWaku.copy_from(frames.at(std::size_t(frame)));
    model->digi.PictureWaku.touch();
    return 1;
}

// A menu item chosen: what the page is to do, by name.
EMSCRIPTEN_KEEPALIVE const char* web_choose(const char* name) {
    const Request r = choose(*model, name);
    return hand_out(
        "{\"kind\":" + json_string(std::string(kRequestNames[std::size_t(r.kind)])) +
        ",\"window\":" + json_string(std::string(kSubWindowNames[std::size_t(r.window)])) +
        ",\"index\":" + std::to_string(r.index) + ",\"on\":" + (r.on ? "true" : "false") + "}");
}

} // extern "C"
