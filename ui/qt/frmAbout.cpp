#include "frmAbout.h"

#include <QCloseEvent>
#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include "AboutContents.h"
#include "PaletteColours.h"
#include "TaviLink.h"
#include "Twips.h"
#include "Utf8Text.h"
#include "WidgetSetup.h"

namespace brackwin {

namespace {

// One line of the etched separator, `thickness` pixels high, from x1 up to x2 at height y, all
// three in twips of the window's client area.
void AddSeparatorLine(QWidget* window, const char* name, const QColor& colour, int x1, int x2,
                      int y, int thickness) {
    auto* line = Named(new QWidget(window), name);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    line->setAutoFillBackground(true);
    const int left = TwipsToPixels(x1, window->logicalDpiX());
    line->setGeometry(left, TwipsToPixels(y, window->logicalDpiY()),
                      TwipsToPixels(x2, window->logicalDpiX()) - left, thickness);
}

QLabel* AddLabel(QWidget* window, const char* name) {
    auto* label = Named(new QLabel(window), name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

QPointer<frmAbout> frmAbout::open_;

void frmAbout::ShowAbout(const QIcon& icon) {
    if (open_) {
        open_->raise();
        open_->activateWindow();
        return;
    }
    open_ = new frmAbout(icon);
    open_->Form_Load();
    open_->show();
}

frmAbout* frmAbout::Current() {
    return open_;
}

frmAbout::frmAbout(const QIcon& icon)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      icon_(icon) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(icon);
    // The design's family at 8.25 pt rather than 9: the stand-in's lines are taller, and only
    // then does the disclaimer fit its box in four lines.
    setFont(MsPGothicFont(8.25));
    setFixedSize(TwipsToPixels(5940, logicalDpiX()), TwipsToPixels(4200, logicalDpiY()));

    picIcon = AddLabel(this, "picIcon");
    picIcon->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    PlaceInTwips(picIcon, 240, 240, 540, 540);

    lblTitle = AddLabel(this, "lblTitle");
    QFont titleFont = MsPGothicFont(11.25);
    titleFont.setWeight(QFont::Bold);
    lblTitle->setFont(titleFont);
    PlaceInTwips(lblTitle, 1050, 240, 3885, 480);

    lblVersion = AddLabel(this, "lblVersion");
    PlaceInTwips(lblVersion, 1080, 720, 3885, 225);

    Frame1 = Named(new QGroupBox(QStringLiteral("最新版・サポート情報"), this), "Frame1");
    PlaceInTwips(Frame1, 1080, 1080, 3615, 855);
    TAVI_HP_LINK = Named(new TaviLink(Frame1), "TAVI_HP_LINK");
    PlaceInTwips(TAVI_HP_LINK, 120, 240, 3495, 495);

    Frame2 = Named(new QGroupBox(QStringLiteral("作者連絡先"), this), "Frame2");
    PlaceInTwips(Frame2, 1080, 2040, 3615, 615);
    TAVI_LINK_MAIL = Named(new TaviLink(Frame2), "TAVI_LINK_MAIL");
    PlaceInTwips(TAVI_LINK_MAIL, 120, 240, 3495, 255);

    // The grey line lies over the white one's upper row, which leaves the etched look.
    AddSeparatorLine(this, "Line1_0", Qt::white, -15, 5534, 2880, 2);
    AddSeparatorLine(this, "Line1_1", QColor(128, 128, 128), -30, 5534, 2880, 1);

    Label1 = AddLabel(this, "Label1");
    Label1->setWordWrap(true);
    PlaceInTwips(Label1, 120, 3000, 3975, 735);

    cmdOK = Named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    PlaceInTwips(cmdOK, 4440, 3480, 1310, 345);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    SetTabOrder({cmdOK, picIcon, lblTitle, lblVersion, Frame1, TAVI_HP_LINK, Frame2, TAVI_LINK_MAIL,
                 Label1});
    cmdOK->setFocus();
    ApplyColours();
}

void frmAbout::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        ApplyColours();
    }
}

// The title is black where that is readable on the window; the links colour themselves.
void frmAbout::ApplyColours() {
    QPalette title = lblTitle->palette();
    SetPair(title, QPalette::WindowText, QPalette::Window, PaletteColours().title);
    lblTitle->setPalette(title);
}

void frmAbout::Form_Load() {
    const AboutContents contents = MakeAboutContents();
    picIcon->setPixmap(icon_.pixmap(32, 32));
    setWindowTitle(FromUtf8(contents.caption));
    lblVersion->setText(FromUtf8(contents.version));
    lblTitle->setText(FromUtf8(contents.title));
    TAVI_HP_LINK->setUrl(FromUtf8(contents.homePage.url));
    TAVI_HP_LINK->setCaption(FromUtf8(contents.homePage.caption));
    TAVI_LINK_MAIL->setUrl(FromUtf8(contents.mail.url));
    TAVI_LINK_MAIL->setCaption(FromUtf8(contents.mail.caption));
    Label1->setText(FromUtf8(contents.disclaimer));
}

void frmAbout::cmdOK_Click() {
    close();
}

void frmAbout::reject() {
    cmdOK_Click();
}

void frmAbout::closeEvent(QCloseEvent* event) {
    if (open_ == this) {
        open_ = nullptr;
    }
    event->accept();
}

}  // namespace brackwin
