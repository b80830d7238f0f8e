#include "app/application.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>

#include "widgets/layout.h"
#include "common/numbers.h"

namespace popchan {

void setup_application(QApplication& app) {
    // The windows name the usual Japanese desktop fonts; Debian's IPA fonts
    // stand in for them, so Latin and Japanese glyphs come from one font.
    QFont::insertSubstitution("ＭＳ Ｐゴシック", "IPAPGothic");
    QFont::insertSubstitution("ＭＳ ゴシック", "IPAGothic");
    QFont::insertSubstitution("ＭＳ 明朝", "IPAMincho");
    QFont::insertSubstitution("ＭＳ Ｐ明朝", "IPAPMincho");
    QApplication::setFont(QFont("ＭＳ Ｐゴシック", 9));
    QApplication::setWindowIcon(QIcon(":/pictures/icon.png"));

    // "はい" and "いいえ" on the message boxes.
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese), "qtbase", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);

    const QScreen* screen = QApplication::primaryScreen();
    const double dpi_x = screen ? screen->logicalDotsPerInchX() : 96;
    const double dpi_y = screen ? screen->logicalDotsPerInchY() : 96;
    set_twips_per_px(to_int16(1440 / dpi_x), to_int16(1440 / dpi_y));
}

} // namespace popchan
