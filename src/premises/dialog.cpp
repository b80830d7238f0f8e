#include "premises/dialog.h"

namespace popchan {

namespace {

// The label widths that leave room for the wider lists of the last three rows.
constexpr int label_width(int row) {
    switch (row) {
    case kRowEigyo:
        return 65;
    case kRowTimeService:
        return 97;
    case kRowHakokisei:
        return 145;
    default:
        return 153;
    }
}

constexpr PremiseRowFace row(int n, const char* label, const char* name, int left, int width) {
    return {label, name, {label_width(n), 21, 40, 24 + 32 * n}, {width, 0, left, 24 + 32 * n}};
}

} // namespace

const std::array<PremiseRowFace, kPremiseRows>& premise_rows() {
    static constexpr std::array<PremiseRowFace, kPremiseRows> rows = {
        row(kRowKakuritu, "大当たり確率 (1/?)", "entkakuritu", 191, 65),
        row(kRowDedama, "大当たり出玉", "entdedama", 191, 65),
        row(kRowKakuhenritu, "確変・時短率 (1/?)", "entkakuhenritu", 191, 65),
        row(kRowLimiter, "最高継続回数（リミッター）", "entlimiter", 191, 65),
        row(kRowKaiten, "千円あたり回転率", "entkaiten", 191, 65),
        row(kRowJikan, "一日あたりﾌﾟﾚｲ時間", "entjikan", 191, 65),
        row(kRowKankin, "換金率（円／個）", "entkankin", 191, 65),
        row(kRowGiveup, "ｷﾞﾌﾞｱｯﾌﾟ金額", "entgiveup", 191, 65),
        row(kRowEigyo, "営業形態", "enteigyo", 104, 152),
        row(kRowTimeService, "ﾗｯｷｰﾀｲﾑｻｰﾋﾞｽ", "enttimeservice", 136, 121),
        row(kRowHakokisei, "ﾄﾞﾙ箱規制（2,500個/箱）", "enthakokisei", 176, 81),
    };
    return rows;
}

bool premises_ok(PremiseTexts& texts, Premises& record, Dialogs& dialogs,
                 const std::function<void()>& show) {
    const Commit commit = convert_and_check(texts);
    texts = commit.texts;
    show();
    for (int n : commit.failed)
        dialogs.message(std::string(check_message(n)), kInputErrorTitle, MessageIcon::Warning);
    // A refused press changes nothing: a day that runs meanwhile, or one
    // started next, plays with the premises last accepted.
    if (!commit.failed.empty()) return false;
    record = commit.record;
    return true;
}

} // namespace popchan
