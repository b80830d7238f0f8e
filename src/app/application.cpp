#include "app/application.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QPalette>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleOption>
#include <QTranslator>
#include <algorithm>

#include "common/numbers.h"
#include "parlour/face.h"
#include "shell/info_windows.h"
#include "widgets/layout.h"

namespace popchan {

namespace {

// Menu captions carry two access keys, a letter and a half-width kana
// ("常に前面表示(&A&ﾁ)"). The menu sizes an item from its caption with every
// "&" taken out, but the style, when it checks whether the caption fits,
// still counts the "&" that stands before the kana (the marks are only
// recognised within one script) and so cuts the caption short with "…".
// Items are widened by the width of the marks, so the caption fits by both
// reckonings and shows whole.
class MenuCaptionStyle : public QProxyStyle {
  public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
            item && type == CT_MenuItem) {
            const QString caption = item->text.section('\t', 0, 0);
            const QFontMetrics fm(item->font);
            const int marks =
                fm.horizontalAdvance(caption) -
                fm.boundingRect(QRect(), Qt::TextSingleLine | Qt::TextShowMnemonic, caption)
                    .width();
            s.rwidth() += std::max(marks, 0);
        }
        return s;
    }
};

} // namespace

void setup_application(QApplication& app) {
    // The windows name the usual Japanese desktop fonts; Debian's IPA fonts
    // stand in for them, so Latin and Japanese glyphs come from one font.
    QFont::insertSubstitution("ＭＳ Ｐゴシック", "IPAPGothic");
    QFont::insertSubstitution("ＭＳ ゴシック", "IPAGothic");
    QFont::insertSubstitution("ＭＳ 明朝", "IPAMincho");
    QFont::insertSubstitution("ＭＳ Ｐ明朝", "IPAPMincho");
    QApplication::setFont(QFont("ＭＳ Ｐゴシック", 9));
    QApplication::setStyle(new MenuCaptionStyle);
    // The colours are the core's, those the page takes as well.
    QPalette palette = QApplication::style()->standardPalette();
    const auto set = [&palette](std::initializer_list<QPalette::ColorRole> roles, unsigned rgb,
                                QPalette::ColorGroup group = QPalette::All) {
        for (const QPalette::ColorRole role : roles)
            palette.setColor(group, role, QColor::fromRgb(rgb));
    };
    set({QPalette::Window, QPalette::Button}, kLook.face);
    set({QPalette::WindowText, QPalette::Text, QPalette::ButtonText}, kLook.text, QPalette::Active);
    set({QPalette::WindowText, QPalette::Text, QPalette::ButtonText}, kLook.text,
        QPalette::Inactive);
    set({QPalette::WindowText, QPalette::Text, QPalette::ButtonText}, kLook.disabled_text,
        QPalette::Disabled);
    set({QPalette::Base}, kLook.base, QPalette::Active);
    set({QPalette::Base}, kLook.base, QPalette::Inactive);
    set({QPalette::Light}, kLook.light);
    set({QPalette::Dark}, kLook.dark);
    set({QPalette::Highlight}, kLook.highlight, QPalette::Active);
    set({QPalette::Highlight}, kLook.highlight, QPalette::Inactive);
    set({QPalette::HighlightedText}, kLook.highlighted_text);
    QApplication::setPalette(palette);
    QApplication::setWindowIcon(QIcon(":/pictures/icon.png"));

    // Qt's own texts (the line editors' menus) in Japanese.
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese), "qtbase", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);

    const QScreen* screen = QApplication::primaryScreen();
    const double dpi_x = screen ? screen->logicalDotsPerInchX() : 96;
    const double dpi_y = screen ? screen->logicalDotsPerInchY() : 96;
    set_twips_per_px(to_int16(1440 / dpi_x), to_int16(1440 / dpi_y));
}

std::string data_location(const QString& program_dir, const QString& installed_data) {
    const QDir beside(program_dir);
    const QDir installed(beside.filePath(installed_data));
    const bool only_installed = !beside.exists(kHelpFile) && installed.exists(kHelpFile);
    return QDir::cleanPath((only_installed ? installed : beside).absolutePath()).toStdString();
}

std::string data_location() {
    return data_location(QCoreApplication::applicationDirPath(), POPCHAN_INSTALLED_DATA);
}

} // namespace popchan
