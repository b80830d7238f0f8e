#include "shell/info_windows.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "common/dialogs.h"
#include "widgets/keys.h"
#include "widgets/layout.h"

namespace popchan {

namespace {

QPushButton* ok_button(QWidget* parent, const char* caption, int font, const int (&r)[4]) {
    auto* ok = new QPushButton(caption, parent);
    ok->setObjectName("okbutton");
    Place_Text(ok, font, r[2], r[3], r[0], r[1]);
    return ok;
}

} // namespace

InfoWindow::InfoWindow(Kind kind, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    const InfoLayout& l = kind == Kind::Setumeif ? kSetumei : kSiyou;
    setObjectName(l.name);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(l.caption);
    auto* picture1 = new PictureBox(this, true);
    picture1->setObjectName("Picture1");
    Place_Picture(picture1, l.frame[2], l.frame[3], l.frame[0], l.frame[1]);
    text_ = new QPlainTextEdit(picture1);
    text_->setObjectName("TextInformation");
    text_->setReadOnly(true);
    text_->setFont(QFont("ＭＳ 明朝"));
    text_->setPlainText(kind == Kind::Setumeif ? kSetumeiText : kSiyouText);
    Place_Text(text_, kInfoTextFont, l.text[2], l.text[3], l.text[0], l.text[1]);
    auto* image1 = new PixelPicture(QString(":/pictures/%1.png").arg(kInfoPictureName), picture1,
                                    QSize(kInfoPictureSize, kInfoPictureSize));
    image1->setObjectName("Image1");
    Place_Picture(image1, kInfoPictureSize, kInfoPictureSize, l.image[0], l.image[1]);
    connect(ok_button(picture1, l.button_caption, l.button_font, l.button), &QPushButton::clicked,
            this, &QWidget::close);
    close_on_escape(this);
    apply_window_rule(this, this, l.width, l.height);
}

Salesf::Salesf(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName("salesf");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kSalesTitle);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(kSalesHtml, this);
    text->setWordWrap(true);
    text->setTextFormat(Qt::RichText);
    layout->addWidget(text);
    auto* ok = new QPushButton(QString::fromUtf8(kSalesOk), this);
    ok->setObjectName("okbutton");
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(ok, 0, Qt::AlignRight);
    close_on_escape(this);
    apply_window_rule(this, this, kSalesWidth, kSalesHeight);
}

HelpViewer::HelpViewer(const std::string& file, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("help");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kHelpTitle);
    auto* layout = new QVBoxLayout(this);
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(false);
    layout->addWidget(browser_);
    QFile help(QString::fromStdString(file));
    if (help.open(QIODevice::ReadOnly)) {
        browser_->setHtml(QString::fromUtf8(help.readAll()));
    } else {
        browser_->setPlainText(QString::fromStdString(help_missing(file)));
    }
    close_on_escape(this, QKeySequence(Qt::CTRL | Qt::Key_W));
    // Its size may change, unlike the other windows', but it opens centred as they do.
    resize(kHelpWidth, kHelpHeight);
    centre_window(this);
}

} // namespace popchan
