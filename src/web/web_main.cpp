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

#include <nlohmann/json.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/bgm.h"
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
EM_JS(int, page_music_is_open, (), { return Module.page.music.isOpen() ? 1 : 0; });
EM_JS(int, page_music_is_playing, (), { return Module.page.music.isPlaying() ? 1 : 0; });

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
        if (!page_music_is_open()) return std::nullopt;
        return page_music_is_playing() ? kModePlaying : kModeStopped;
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
Pacer pacer; // the real milliseconds of the page's frames made the model's

using Json = nlohmann::ordered_json;

// The kinds of parts and menu items, and the boxes' icons, by the names the
// page reads, in the order of their enums.
constexpr const char* kPartKinds[] = {"panel", "label", "list", "surface", "picture"};
constexpr const char* kMenuKinds[] = {"menu", "action", "separator", "end"};
constexpr const char* kIcons[] = {"none", "information", "warning", "question"};

Json place(const Place& p) {
    return {p.width, p.height, p.left, p.top};
}

std::string css_colour(unsigned rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", rgb);
    return text;
}

// The desktop's look: its colours by name, its measures in pixels, its marks.
Json look_json() {
    const Look& l = kLook;
    return {{"colours",
             {{"face", css_colour(l.face)},
              {"machine", css_colour(l.machine)},
              {"text", css_colour(l.text)},
              {"disabled-text", css_colour(l.disabled_text)},
              {"base", css_colour(l.base)},
              {"light", css_colour(l.light)},
              {"dark", css_colour(l.dark)},
              {"list-frame", css_colour(l.list_frame)},
              {"list-frame-machine", css_colour(l.list_frame_machine)},
              {"highlight", css_colour(l.highlight)},
              {"highlighted-text", css_colour(l.highlighted_text)},
              {"menu-bar-line", css_colour(l.menu_bar_line)},
              {"scroll-bar", css_colour(l.scroll_bar)},
              {"scroll-bar-frame", css_colour(l.scroll_bar_frame)}}},
            {"measures",
             {{"menu-bar-height", l.menu_bar_height},
              {"panel-frame", l.panel_frame},
              {"list-frame-width", l.list_frame_width},
              {"scroll-bar-width", l.scroll_bar_width},
              {"item-margin", l.item_margin},
              {"list-line-height", l.list_line_height},
              {"wrapped-line-height", l.wrapped_line_height}}},
            {"marks", {{"check", l.check_mark}, {"radio", l.radio_mark}}}};
}

// What the page builds its windows from: the main window's parts, menus and
// layouts, the face grey, the boxes' buttons, and the pictures of the windows.
Json face_json() {
    Json parts = Json::array(), menus = Json::array(), layouts = Json::array();
    for (const Part& p : main_window_parts())
        parts.push_back({{"kind", kPartKinds[int(p.kind)]},
                         {"name", p.name},
                         {"parent", p.parent},
                         {"text", p.text},
                         {"font", p.font},
                         {"width", p.width},
                         {"height", p.height},
                         {"left", p.left},
                         {"top", p.top},
                         {"border", p.border},
                         {"grey", p.grey_back},
                         {"right", p.align_right},
                         {"wrap", p.wrap},
                         {"lineLengths", p.line_lengths}});
    for (const MenuItem& m : main_window_menus())
        menus.push_back({{"kind", kMenuKinds[int(m.kind)]},
                         {"name", m.name},
                         {"caption", m.caption},
                         {"checkable", m.checkable},
                         {"radio", m.radio},
                         {"shortcut", m.shortcut}});
    for (const Size& s : kLayouts)
        layouts.push_back({s.width, s.height});
    return {{"parts", parts},
            {"menus", menus},
            {"layouts", layouts},
            {"look", look_json()},
            {"box", {{"ok", kBoxOk}, {"yes", kBoxYes}, {"no", kBoxNo}}},
            {"ended", {{"text", kEndedText}, {"restart", kRestartCaption}}},
            {"icons", kIcons}};
}

Json state_json() {
    const FormDigiScreen& s = model->screen;
    Json labels = Json::object(), visible = Json::object(), enabled = Json::object(),
         checked = Json::object();
    for (const auto& [name, value] : filled_labels(*model))
        labels[name] = value;
    for (const auto& [name, on] : shown_parts(s))
        visible[name] = on;
    for (const auto& [name, on] : enabled_menus(s))
        enabled[name] = on;
    for (const auto& [name, on] : checked_menus(s))
        checked[name] = on;
    const ReachList& r = model->reach.list();
    return {{"revision", s.revision},
            {"labels", labels},
            {"visible", visible},
            {"enabled", enabled},
            {"checked", checked},
            {"rireki", s.rireki},
            {"reach",
             {{"lines", r.lines},
              {"selected", r.selected},
              {"scroll_to", r.scroll_to},
              {"redraws", r.redraws}}},
            {"running", model->clock().any_running()},
            {"speed", model->speed()},
            {"now", model->clock().now()},
            {"surfaces", {model->digi.PictureWaku.revision(), model->graph.surface().revision()}}};
}

Json premises_face_json() {
    const PremiseTexts texts = start_texts();
    Json rows = Json::array();
    for (int r = 0; r < kPremiseRows; ++r) {
        const PremiseRowFace& f = premise_rows()[r];
        rows.push_back({{"label", f.label},
                        {"name", f.name},
                        {"labelPlace", place(f.label_place)},
                        {"listPlace", place(f.list_place)},
                        {"items", list_items(PremiseRow(r))},
                        {"text", texts[r]}});
    }
    return {{"title", kZenteiTitle},
            {"client", place(kZenteiClient)},
            {"panel", place(kZenteiPanel)},
            {"font", kZenteiFont},
            {"rowFont", kZenteiRowFont},
            {"rows", rows},
            {"picture", place(kZenteiPicture)},
            {"pictureName", kZenteiPictureName},
            {"ok", kZenteiOk},
            {"okPlace", place(kZenteiOkPlace)},
            {"okFont", kZenteiOkFont}};
}

const char* hand_out(const Json& j) {
    text = j.dump(-1, ' ', false, Json::error_handler_t::replace);
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

EMSCRIPTEN_KEEPALIVE const char* web_face() {
    return hand_out(face_json());
}
EMSCRIPTEN_KEEPALIVE const char* web_state() {
    return hand_out(state_json());
}

// The display's picture files: their names and sizes, a buffer the page
// fills with one picture's RGBA, and the check that takes it in.
EMSCRIPTEN_KEEPALIVE const char* web_picture_files() {
    Json files = Json::array();
    for (const PictureFile& f : pictures)
        files.push_back(
            {{"name", f.name}, {"width", f.target->width()}, {"height", f.target->height()}});
    return hand_out(files);
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
    const std::int64_t due = pacer.due(*model, now, false, std::uint64_t(boxes_closed));
    if (due > 0) model->advance(due);
    return due > 0 ? 1 : 0;
}

// The frame loop starts again at `now` after it rested: no time passed.
EMSCRIPTEN_KEEPALIVE void web_frame_restart(double now, double boxes_closed) {
    pacer.restart(now, std::uint64_t(boxes_closed));
}

// The help menu's windows by their names: the two information windows, the
// batch tool's introduction and the help document.
EMSCRIPTEN_KEEPALIVE const char* web_help_windows() {
    // A place as the page reads it: width, height, left, top.
    const auto four = [](const int(&r)[4]) { return Json{r[2], r[3], r[0], r[1]}; };
    const auto info = [&](const InfoLayout& l, const char* body) {
        return Json{{"name", l.name},
                    {"caption", l.caption},
                    {"client", {l.width, l.height}},
                    {"frame", four(l.frame)},
                    {"text", four(l.text)},
                    {"image", {kInfoPictureSize, kInfoPictureSize, l.image[0], l.image[1]}},
                    {"imageName", kInfoPictureName},
                    {"button", four(l.button)},
                    {"buttonFont", l.button_font},
                    {"buttonCaption", l.button_caption},
                    {"textFont", kInfoTextFont},
                    {"body", body}};
    };
    const auto key = [](SubWindow w) { return std::string(kSubWindowNames[std::size_t(w)]); };
    return hand_out({{key(SubWindow::Setumei), info(kSetumei, kSetumeiText)},
                     {key(SubWindow::Siyou), info(kSiyou, kSiyouText)},
                     {key(SubWindow::Sales),
                      {{"caption", kSalesTitle},
                       {"html", kSalesHtml},
                       {"ok", kSalesOk},
                       {"client", {kSalesWidth, kSalesHeight}}}},
                     {key(SubWindow::Help),
                      {{"caption", kHelpTitle},
                       {"client", {kHelpWidth, kHelpHeight}},
                       {"file", kHelpFile},
                       {"missing", help_missing(kHelpFile)}}}});
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
                       [&] { page_premise_texts(Json(texts).dump().c_str()); })
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
    return hand_out({{"kind", kRequestNames[std::size_t(r.kind)]},
                     {"window", kSubWindowNames[std::size_t(r.window)]},
                     {"index", r.index},
                     {"on", r.on}});
}

} // extern "C"
