#include "parlour/help_windows.h"

#include "common/dialogs.h"

namespace popchan {

const char* const kSetumeiText =
    "■ＣＲぽぷちゃんについて\n"
    "　ぽぷちゃんキャラクターを使った架空のＣＲデジパチ\n"
    "■基本仕様\n"
    "　大当たり確率…通常　３１０分の１、確変　６２分の１\n"
    "　賞球数…………６＆１５\n"
    "　大当り出玉……２，１００個\n"
    "　確変突入率……１４分の７（３、５、７、１０～１３絵柄で突入）\n"
    "　確変継続回数…１回継続タイプ（ノンリミッター）\n"
    "■クレジット\n"
    "　プログラム……ＣＲぽぷちゃんシミュレーション プロジェクト\n"
    "　グラフィック…同プロジェクトの画像生成ツールで作成\n"
    "　音楽…………同プロジェクトのＭＩＤＩ生成ツールで作成\n"
    "■権利表示\n"
    "　このプログラムと画像・音楽は、ＣＲぽぷちゃんシミュレーション\n"
    "　プロジェクトの著作物です。実在の機種・メーカーとは関係ありません。";

const char* const kSiyouText =
    "１．メニュー構成\n"
    "　実行(G)　ﾀｲﾌﾟ(T)､前提(Z)､ｽﾀｰﾄ(S)､ﾘｾｯﾄ(R)､終了(Q)\n"
    "　表示(H)　ﾃﾞｼﾞﾀﾙ(D)…表示(O)､非表示(C)､ﾘｰﾁ以外(R)\n"
    "　　　　　 表示画面(G)\n"
    "　　　　　 　　…標準(S)､ﾃﾞｼﾞﾀﾙのみ(D)、〃+履歴(R)､〃+状況(J)､〃+ｸﾞﾗﾌ(G)\n"
    "　　　　　 常に前面に表示(A)\n"
    "　ｻｳﾝﾄﾞ(S) あり(O)､なし(C)\n"
    "　ﾍﾙﾌﾟ(H)  ﾍﾙﾌﾟ(H) ､使い方(T)､CRぽぷちゃんについて(P)､作者ｿﾌﾄ紹介(E)、\n"
    "　　　　　 ﾊﾞｰｼﾞｮﾝ情報(A)\n"
    "２．実行方法\n"
    "　前提入力後、スタートでシミュレーションが開始されます。\n"
    "　デジタル画面下のグラフは一日の収支状況を現します。\n"
    "　最初からやり直す場合は実行メニューのリセットをクリックします。\n"
    "　終了する場合は実行メニューの終了をクリックします。\n"
    "３．デジタル表示\n"
    "　デジタル表示を非表示にすると、選択した場合以外のデジタル表示が停止します。\n"
    "　リーチ以外及び大当たり以外非表示の２通りが選択出来ます。\n"
    "　標準は表示になっています。\n"
    "４．サウンド\n"
    "　サウンドの有無を選択出来ます。\n"
    "　標準はありになっています。\n";

const InfoLayout kSetumei = {
    "setumeif", "ＣＲぽぷちゃんについて", 523, 346,     {24, 24, 473, 297}, {0, 0, 473, 233},
    {16, 248},  {376, 248, 73, 33},       12,  "ＯＫ！"};
const InfoLayout kSiyou = {"siyouf",
                           "ＣＲぽぷちゃんシミュレーションの使い方",
                           570,
                           388,
                           {16, 16, 530, 353},
                           {0, 0, 537, 290},
                           {32, 296},
                           {430, 296, 65, 33},
                           14,
                           "OK!"};

const char* const kSalesHtml =
    "<h3>popchan-batch</h3>"
    "<p>ＣＲぽぷちゃんの台とホールの一日を、画面なしで何千日分も一気に"
    "シミュレーションするコマンドラインツールです。</p>"
    "<p>このプログラムと同じ抽選と収支計算で、前提条件ごとに"
    "「勝てる日はどのくらいあるか」「一日の収支はどのくらいばらつくか」を"
    "集計します。</p>"
    "<p><code>popchan-batch --days 10000 --seed 1 --plot plot.svg</code></p>"
    "<p>収支の平均・標準偏差・分位点、勝率、時給、リーチ別の信頼度を表示し、"
    "CSV や JSON、グラフ (SVG) にも出力できます。"
    "<code>popchan-batch --help</code> で使い方を表示します。</p>";

std::string help_missing(const std::string& file) {
    return "ヘルプファイル " + file + " が見つかりません。プログラムと同じフォルダーに " +
           kHelpFile + " を置いてください。";
}

void Show_Version(Dialogs& dialogs) {
    const std::string text =
        std::string("This simulation was written in C++ with Qt for Linux desktops.\n\n\n") +
        kVersionTitle + "  was produced by the CR Popchan Simulation project.\n\n" +
        "Copyright (C) 2000 CR Popchan Simulation project. All rights reserved.\n";
    dialogs.message(text, kVersionTitle, MessageIcon::Information);
}

} // namespace popchan
