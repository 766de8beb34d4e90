#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <QWindow>

#include "DarkPalette.h"
#include "Form1Window.h"
#include "TaviLink.h"
#include "Twips.h"
#include "UserInterfaceServices.h"
#include "frmAbout.h"

using brackwin::frmAbout;
using brackwin::TaviLink;
using brackwin::TwipsToPixels;

namespace {

// Records what the window hands to the desktop; everything else does nothing.
class FakeServices : public brackwin::UserInterfaceServices {
  public:
    std::optional<QString> ChooseFileToOpen(QWidget*, const QString&, const QString&,
                                            const QString&) override {
        return std::nullopt;
    }
    void ShowMessage(QWidget*, const QString&, const QString&) override {}
    void ClearClipboard() override {}
    bool SetClipboardText(const QString&) override { return true; }
    void OpenUrl(const QUrl& target) override { opened.append(target); }

    QList<QUrl> opened;
};

const QString kDisclaimer = QStringLiteral(
    "このソフトウェアの使用に関して、直接的または間接的に生じる一切の損害について、作者は如何なる"
    "責任も負いません。このことは、このソフトウェアの使用をもって同意されたものと見なします。");

QIcon TestIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::red);
    return QIcon(pixmap);
}

int AboutWindowCount() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<frmAbout*>(widget) != nullptr) {
            ++count;
        }
    }
    return count;
}

}  // namespace

class TestFrmAbout : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void showsEveryTextExactly();
    void titleAndLinksKeepTheirFonts();
    void textsFitTheirBoxes();
    void hasAFixedDialogFrame();
    void placesControlsInTwips_data();
    void placesControlsInTwips();
    void drawsTheEtchedSeparator();
    void showsTheIconInsideItsBorder();
    void existsOnlyOnce();
    void closesAndIsDestroyed_data();
    void closesAndIsDestroyed();
    void buildsAFreshWindowAfterClosing();
    void startsWithFocusOnOkAndTabsThroughTheLinks();
    void darkPaletteKeepsTitleAndLinksReadable();
    void linksAreLinksToAScreenReader();
    void linkClickHandsTargetToDesktop_data();
    void linkClickHandsTargetToDesktop();
    void linkOpensOnlyWhenReleasedOverIt();
    void spaceOpensTheFocusedLinkAndEnterStillPressesOk();
    void versionOpensOneModelessWindowWithTheMainIcon();
    void exitInTheMainWindowClosesIt();
    void closingTheMainWindowLeavesItOpen();

  private:
    frmAbout* Open();
    template <typename T>
    T* Find(const char* name);

    FakeServices services_;
    QPointer<frmAbout> window_;
};

void TestFrmAbout::init() {
    services_.opened.clear();
    brackwin::UserInterfaceServices::Install(&services_);
}

void TestFrmAbout::cleanup() {
    if (frmAbout* open = frmAbout::Current()) {
        open->close();
    }
    QTRY_COMPARE(AboutWindowCount(), 0);
    brackwin::UserInterfaceServices::Install(nullptr);
}

frmAbout* TestFrmAbout::Open() {
    frmAbout::ShowAbout(TestIcon());
    window_ = frmAbout::Current();
    return window_;
}

template <typename T>
T* TestFrmAbout::Find(const char* name) {
    return window_ ? window_->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

void TestFrmAbout::showsEveryTextExactly() {
    QVERIFY(Open());
    auto* lblTitle = Find<QLabel>("lblTitle");
    auto* lblVersion = Find<QLabel>("lblVersion");
    auto* frame1 = Find<QGroupBox>("Frame1");
    auto* frame2 = Find<QGroupBox>("Frame2");
    auto* homeLink = Find<TaviLink>("TAVI_HP_LINK");
    auto* mailLink = Find<TaviLink>("TAVI_LINK_MAIL");
    auto* label1 = Find<QLabel>("Label1");
    auto* cmdOK = Find<QPushButton>("cmdOK");
    QVERIFY(lblTitle && lblVersion && frame1 && frame2 && homeLink && mailLink && label1 && cmdOK);

    QCOMPARE(window_->windowTitle(), QStringLiteral("Brackwinのﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(lblTitle->text(), QStringLiteral("Brackwin"));
    QCOMPARE(lblVersion->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.0.0"));
    QCOMPARE(frame1->title(), QStringLiteral("最新版・サポート情報"));
    QCOMPARE(frame2->title(), QStringLiteral("作者連絡先"));
    QCOMPARE(homeLink->caption(),
             QStringLiteral("「Brackwin ホームページ」\r\nhttps://brackwin.example.org/"));
    QCOMPARE(homeLink->url(), QStringLiteral("https://brackwin.example.org/"));
    QCOMPARE(mailLink->caption(), QStringLiteral("brackwin@example.org"));
    QCOMPARE(mailLink->url(), QStringLiteral("mailto:brackwin@example.org"));
    QCOMPARE(label1->text(), kDisclaimer);
    QVERIFY(label1->wordWrap());
    QCOMPARE(cmdOK->text(), QStringLiteral("OK"));
    QVERIFY(cmdOK->isDefault());
}

void TestFrmAbout::titleAndLinksKeepTheirFonts() {
    QVERIFY(Open());
    auto* lblTitle = Find<QLabel>("lblTitle");
    auto* homeLink = Find<TaviLink>("TAVI_HP_LINK");
    auto* mailLink = Find<TaviLink>("TAVI_LINK_MAIL");
    QVERIFY(lblTitle && homeLink && mailLink);

    const QString msPGothic = QStringLiteral("ＭＳ Ｐゴシック");
    const QString expectedFamily =
        QFontDatabase::hasFamily(msPGothic) ? msPGothic : QStringLiteral("IPAPGothic");

    QCOMPARE(QFontInfo(lblTitle->font()).family(), expectedFamily);
    QCOMPARE(lblTitle->font().pointSizeF(), 11.25);
    QCOMPARE(lblTitle->font().weight(), QFont::Bold);
    QCOMPARE(lblTitle->palette().color(QPalette::WindowText), QColor(Qt::black));
    for (TaviLink* link : {homeLink, mailLink}) {
        QCOMPARE(QFontInfo(link->font()).family(), expectedFamily);
        QCOMPARE(link->font().pointSizeF(), 9.75);
        QCOMPARE(link->font().weight(), QFont::Normal);
        QVERIFY(link->font().underline());
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(link->grab().toImage().pixelColor(link->width() - 2, link->height() - 2),
                 QColor(192, 192, 192));
    }
}

// The stand-in font is taller than the design's, so the window's own font must still let the
// disclaimer and both link captions show whole inside their fixed boxes.
void TestFrmAbout::textsFitTheirBoxes() {
    QVERIFY(Open());
    auto* label1 = Find<QLabel>("Label1");
    auto* lblTitle = Find<QLabel>("lblTitle");
    auto* lblVersion = Find<QLabel>("lblVersion");
    auto* homeLink = Find<TaviLink>("TAVI_HP_LINK");
    auto* mailLink = Find<TaviLink>("TAVI_LINK_MAIL");
    QVERIFY(label1 && lblTitle && lblVersion && homeLink && mailLink);

    QVERIFY(label1->heightForWidth(label1->width()) <= label1->height());
    for (QLabel* label : {lblTitle, lblVersion}) {
        QVERIFY(label->sizeHint().height() <= label->height());
        QVERIFY(label->sizeHint().width() <= label->width());
    }
    for (TaviLink* link : {homeLink, mailLink}) {
        const QString shown = link->caption().replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const QRect needed =
            QFontMetrics(link->font())
                .boundingRect(QRect(0, 0, link->width(), link->height() * 4), Qt::AlignLeft, shown);
        QVERIFY(needed.height() <= link->height());
        QVERIFY(needed.width() <= link->width());
    }
}

void TestFrmAbout::hasAFixedDialogFrame() {
    QVERIFY(Open());
    QVERIFY(window_->parentWidget() == nullptr);
    QVERIFY(!window_->isModal());
    const Qt::WindowFlags flags = window_->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    const QSize client(TwipsToPixels(5940, window_->logicalDpiX()),
                       TwipsToPixels(4200, window_->logicalDpiY()));
    QCOMPARE(window_->size(), client);
    QCOMPARE(window_->minimumSize(), client);
    QCOMPARE(window_->maximumSize(), client);
}

void TestFrmAbout::placesControlsInTwips_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("inside");
    QTest::addColumn<QRect>("twips");

    const QString window = QStringLiteral("frmAbout");
    QTest::newRow("picIcon") << "picIcon" << window << QRect(240, 240, 540, 540);
    QTest::newRow("lblTitle") << "lblTitle" << window << QRect(1050, 240, 3885, 480);
    QTest::newRow("lblVersion") << "lblVersion" << window << QRect(1080, 720, 3885, 225);
    QTest::newRow("Frame1") << "Frame1" << window << QRect(1080, 1080, 3615, 855);
    QTest::newRow("TAVI_HP_LINK") << "TAVI_HP_LINK"
                                  << "Frame1" << QRect(120, 240, 3495, 495);
    QTest::newRow("Frame2") << "Frame2" << window << QRect(1080, 2040, 3615, 615);
    QTest::newRow("TAVI_LINK_MAIL") << "TAVI_LINK_MAIL"
                                    << "Frame2" << QRect(120, 240, 3495, 255);
    QTest::newRow("Label1") << "Label1" << window << QRect(120, 3000, 3975, 735);
    QTest::newRow("cmdOK") << "cmdOK" << window << QRect(4440, 3480, 1310, 345);
}

void TestFrmAbout::placesControlsInTwips() {
    QFETCH(QString, name);
    QFETCH(QString, inside);
    QFETCH(QRect, twips);

    QVERIFY(Open());
    auto* widget = window_->findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget()->objectName(), inside);
    const int dpiX = widget->logicalDpiX();
    const int dpiY = widget->logicalDpiY();
    const QRect expected(TwipsToPixels(twips.x(), dpiX), TwipsToPixels(twips.y(), dpiY),
                         TwipsToPixels(twips.width(), dpiX), TwipsToPixels(twips.height(), dpiY));
    QCOMPARE(widget->geometry(), expected);
}

void TestFrmAbout::drawsTheEtchedSeparator() {
    QVERIFY(Open());
    auto* white = Find<QWidget>("Line1_0");
    auto* grey = Find<QWidget>("Line1_1");
    QVERIFY(white && grey);

    const int dpiX = window_->logicalDpiX();
    const int y = TwipsToPixels(2880, window_->logicalDpiY());
    const int right = TwipsToPixels(5534, dpiX);
    QCOMPARE(white->geometry(),
             QRect(QPoint(TwipsToPixels(-15, dpiX), y), QPoint(right - 1, y + 1)));
    QCOMPARE(grey->geometry(), QRect(QPoint(TwipsToPixels(-30, dpiX), y), QPoint(right - 1, y)));
    QVERIFY(right < window_->width());

    const QImage image = window_->grab().toImage();
    QCOMPARE(image.pixelColor(0, y), QColor(128, 128, 128));
    QCOMPARE(image.pixelColor(0, y + 1), QColor(Qt::white));
    QCOMPARE(image.pixelColor(right - 1, y), QColor(128, 128, 128));
    QCOMPARE(image.pixelColor(right - 1, y + 1), QColor(Qt::white));
    QVERIFY(image.pixelColor(right, y) != QColor(128, 128, 128));
}

void TestFrmAbout::showsTheIconInsideItsBorder() {
    QVERIFY(Open());
    auto* picIcon = Find<QLabel>("picIcon");
    QVERIFY(picIcon);
    QVERIFY(picIcon->frameWidth() > 0);
    QCOMPARE(picIcon->pixmap().deviceIndependentSize().toSize(), QSize(32, 32));
    const QImage image = picIcon->grab().toImage();
    const int inside = picIcon->frameWidth();
    QCOMPARE(image.pixelColor(inside, inside), QColor(Qt::red));
    QCOMPARE(image.pixelColor(inside + 31, inside + 31), QColor(Qt::red));
    QVERIFY(!window_->windowIcon().isNull());
}

void TestFrmAbout::existsOnlyOnce() {
    frmAbout* first = Open();
    QVERIFY(first);
    auto* lblVersion = Find<QLabel>("lblVersion");
    QVERIFY(lblVersion);
    lblVersion->setText(QStringLiteral("changed"));

    frmAbout::ShowAbout(TestIcon());

    QCOMPARE(frmAbout::Current(), first);
    QCOMPARE(AboutWindowCount(), 1);
    QVERIFY(first->isVisible());
    QCOMPARE(lblVersion->text(), QStringLiteral("changed"));
}

void TestFrmAbout::closesAndIsDestroyed_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("OK clicked") << "ok";
    QTest::newRow("Enter") << "enter";
    QTest::newRow("Esc") << "escape";
    QTest::newRow("close box") << "close";
}

void TestFrmAbout::closesAndIsDestroyed() {
    QFETCH(QString, how);
    QVERIFY(Open());
    auto* cmdOK = Find<QPushButton>("cmdOK");
    QVERIFY(cmdOK);
    QVERIFY(QTest::qWaitForWindowExposed(window_));

    if (how == u"ok") {
        QTest::mouseClick(cmdOK, Qt::LeftButton);
    } else if (how == u"enter") {
        QTest::keyClick(window_, Qt::Key_Return);
    } else if (how == u"escape") {
        QTest::keyClick(window_, Qt::Key_Escape);
    } else {
        window_->windowHandle()->close();
    }

    QVERIFY(frmAbout::Current() == nullptr);
    QTRY_VERIFY(window_.isNull());
}

void TestFrmAbout::buildsAFreshWindowAfterClosing() {
    QVERIFY(Open());
    QPointer<QLabel> oldVersion = Find<QLabel>("lblVersion");
    QVERIFY(oldVersion);
    oldVersion->setText(QStringLiteral("changed"));
    QPointer<frmAbout> old = window_;
    QTest::keyClick(window_, Qt::Key_Escape);
    QTRY_VERIFY(old.isNull());

    QVERIFY(Open());
    auto* lblVersion = Find<QLabel>("lblVersion");
    QVERIFY(lblVersion);
    QCOMPARE(lblVersion->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.0.0"));
    QCOMPARE(AboutWindowCount(), 1);
}

void TestFrmAbout::startsWithFocusOnOkAndTabsThroughTheLinks() {
    QVERIFY(Open());
    auto* cmdOK = Find<QPushButton>("cmdOK");
    auto* homeLink = Find<TaviLink>("TAVI_HP_LINK");
    auto* mailLink = Find<TaviLink>("TAVI_LINK_MAIL");
    QVERIFY(cmdOK && homeLink && mailLink);
    QCOMPARE(window_->focusWidget(), cmdOK);

    QApplication::setActiveWindow(window_);
    QVERIFY(QTest::qWaitForWindowActive(window_));
    QCOMPARE(QApplication::focusWidget(), cmdOK);
    const QList<QWidget*> stops = {homeLink, mailLink, cmdOK};
    for (QWidget* next : stops) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    for (QWidget* previous : QList<QWidget*>{mailLink, homeLink, cmdOK}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), previous);
    }
}

// Under a dark palette the title and the links take the palette's own pairs: black text and
// the fixed grey would be unreadable or glaring there.
void TestFrmAbout::darkPaletteKeepsTitleAndLinksReadable() {
    const QPalette original = QApplication::palette();
    QApplication::setPalette(brackwin::DarkPalette());
    QVERIFY(Open());
    auto* lblTitle = Find<QLabel>("lblTitle");
    auto* homeLink = Find<TaviLink>("TAVI_HP_LINK");
    QVERIFY(lblTitle && homeLink);
    QCOMPARE(lblTitle->palette().color(QPalette::WindowText), QColor(Qt::white));
    // The link colour has a contrast of only 3.6 on the base: the base's text stands in.
    const QImage link = homeLink->grab().toImage();
    QCOMPARE(link.pixelColor(link.width() - 2, link.height() - 2), QColor(42, 42, 42));
    bool textDrawn = false;
    for (int y = 0; y < link.height() && !textDrawn; ++y) {
        for (int x = 0; x < link.width() && !textDrawn; ++x) {
            textDrawn = link.pixelColor(x, y) == QColor(Qt::white);
        }
    }
    QVERIFY(textDrawn);

    QApplication::setPalette(original);
    QTRY_COMPARE(lblTitle->palette().color(QPalette::WindowText), QColor(Qt::black));
    const QImage light = homeLink->grab().toImage();
    QCOMPARE(light.pixelColor(light.width() - 2, light.height() - 2), QColor(192, 192, 192));
}

void TestFrmAbout::linksAreLinksToAScreenReader() {
    QVERIFY(Open());
    auto* homeLink = Find<TaviLink>("TAVI_HP_LINK");
    QVERIFY(homeLink);
    QAccessibleInterface* link = QAccessible::queryAccessibleInterface(homeLink);
    QCOMPARE(link->role(), QAccessible::Link);
    QCOMPARE(link->text(QAccessible::Name),
             QStringLiteral("「Brackwin ホームページ」\nhttps://brackwin.example.org/"));
    QVERIFY(link->state().focusable);
    QVERIFY(link->actionInterface());
    link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(services_.opened, QList<QUrl>{QUrl(QStringLiteral("https://brackwin.example.org/"))});
}

void TestFrmAbout::linkClickHandsTargetToDesktop_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QUrl>("target");
    QTest::newRow("home page") << "TAVI_HP_LINK"
                               << QUrl(QStringLiteral("https://brackwin.example.org/"));
    QTest::newRow("mail") << "TAVI_LINK_MAIL"
                          << QUrl(QStringLiteral("mailto:brackwin@example.org"));
}

void TestFrmAbout::linkClickHandsTargetToDesktop() {
    QFETCH(QString, link);
    QFETCH(QUrl, target);
    QVERIFY(Open());
    auto* widget = window_->findChild<TaviLink*>(link);
    QVERIFY(widget);
    QVERIFY(QTest::qWaitForWindowExposed(window_));

    QTest::mouseClick(widget, Qt::LeftButton);

    QCOMPARE(services_.opened, QList<QUrl>{target});
    QVERIFY(frmAbout::Current() != nullptr);
}

void TestFrmAbout::linkOpensOnlyWhenReleasedOverIt() {
    QVERIFY(Open());
    auto* homeLink = Find<TaviLink>("TAVI_HP_LINK");
    QVERIFY(homeLink);
    QVERIFY(QTest::qWaitForWindowExposed(window_));

    QTest::mousePress(homeLink, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(homeLink, Qt::LeftButton, {}, QPoint(homeLink->width() + 5, 5));
    QTest::mouseClick(homeLink, Qt::RightButton);

    QVERIFY(services_.opened.isEmpty());
}

void TestFrmAbout::spaceOpensTheFocusedLinkAndEnterStillPressesOk() {
    QVERIFY(Open());
    auto* mailLink = Find<TaviLink>("TAVI_LINK_MAIL");
    QVERIFY(mailLink);
    QApplication::setActiveWindow(window_);
    QVERIFY(QTest::qWaitForWindowActive(window_));
    mailLink->setFocus(Qt::TabFocusReason);

    QTest::keyClick(mailLink, Qt::Key_Space);
    QCOMPARE(services_.opened, QList<QUrl>{QUrl(QStringLiteral("mailto:brackwin@example.org"))});

    QTest::keyClick(mailLink, Qt::Key_Return);
    QTRY_VERIFY(window_.isNull());
    QCOMPARE(services_.opened.size(), 1);
}

namespace {

QAction* MenuAction(brackwin::Form1Window& form, const char* name) {
    return form.findChild<QAction*>(QString::fromLatin1(name));
}

}  // namespace

void TestFrmAbout::versionOpensOneModelessWindowWithTheMainIcon() {
    brackwin::Form1Window form;
    form.show();
    QAction* mnuVersion = MenuAction(form, "mnuVersion");
    QVERIFY(mnuVersion);

    mnuVersion->trigger();
    window_ = frmAbout::Current();
    QVERIFY(window_);
    mnuVersion->trigger();

    QCOMPARE(frmAbout::Current(), window_.data());
    QCOMPARE(AboutWindowCount(), 1);
    QVERIFY(window_->parentWidget() == nullptr);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(form.isEnabled());
    QCOMPARE(window_->windowIcon().pixmap(32, 32).toImage(),
             form.windowIcon().pixmap(32, 32).toImage());
    auto* picIcon = Find<QLabel>("picIcon");
    QVERIFY(picIcon);
    QCOMPARE(picIcon->pixmap().toImage(), form.windowIcon().pixmap(32, 32).toImage());
}

void TestFrmAbout::exitInTheMainWindowClosesIt() {
    brackwin::Form1Window form;
    form.show();
    QAction* mnuVersion = MenuAction(form, "mnuVersion");
    QAction* mnuEnd = MenuAction(form, "mnuEnd");
    QVERIFY(mnuVersion && mnuEnd);
    mnuVersion->trigger();
    window_ = frmAbout::Current();
    QVERIFY(window_);

    mnuEnd->trigger();

    QVERIFY(!form.isVisible());
    QTRY_VERIFY(window_.isNull());
    QVERIFY(frmAbout::Current() == nullptr);
}

void TestFrmAbout::closingTheMainWindowLeavesItOpen() {
    brackwin::Form1Window form;
    form.show();
    QAction* mnuVersion = MenuAction(form, "mnuVersion");
    QVERIFY(mnuVersion);
    mnuVersion->trigger();
    window_ = frmAbout::Current();
    QVERIFY(window_);
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QVERIFY(form.close());
    QTest::qWait(50);

    QVERIFY(!window_.isNull());
    QVERIFY(window_->isVisible());
    QCOMPARE(frmAbout::Current(), window_.data());
}

QTEST_MAIN(TestFrmAbout)
#include "test_frmAbout.moc"
