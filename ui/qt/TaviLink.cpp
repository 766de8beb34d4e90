#include "TaviLink.h"

#include <QAccessibleWidget>
#include <QColor>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QUrl>

#include "AccessibleFactory.h"
#include "PaletteColours.h"
#include "UserInterfaceServices.h"

namespace brackwin {

QFont MsPGothicFont(qreal pointSize) {
    static const QString family = QStringLiteral("ＭＳ Ｐゴシック");
    [[maybe_unused]] static const bool substituted = [] {
        if (!QFontDatabase::hasFamily(family)) {
            QFont::insertSubstitution(family, QStringLiteral("IPAPGothic"));
        }
        return true;
    }();
    QFont font(family);
    font.setPointSizeF(pointSize);
    return font;
}

namespace {

// The caption as drawn and read: a CR LF breaks the line.
QString CaptionLines(QString caption) {
    return caption.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

class TaviLinkAccessible final : public QAccessibleWidget {
  public:
    explicit TaviLinkAccessible(TaviLink* link) : QAccessibleWidget(link, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return CaptionLines(Link()->caption());
        }
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.linked = true;
        return state;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& actionName) override {
        if (actionName == pressAction()) {
            Link()->Open();
            return;
        }
        QAccessibleWidget::doAction(actionName);
    }

  private:
    TaviLink* Link() const { return static_cast<TaviLink*>(widget()); }
};

}  // namespace

TaviLink::TaviLink(QWidget* parent) : QWidget(parent) {
    QAccessible::installFactory(MakeAccessible<TaviLink, TaviLinkAccessible>);
    QFont linkFont = MsPGothicFont(9.75);
    linkFont.setWeight(QFont::Normal);
    linkFont.setUnderline(true);
    setFont(linkFont);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void TaviLink::setUrl(const QString& url) {
    url_ = url;
}

void TaviLink::setCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void TaviLink::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const ColourPair colours = PaletteColours().link;
    painter.fillRect(rect(), ToQColor(colours.background));
    painter.setPen(ToQColor(colours.text));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, CaptionLines(caption_));
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void TaviLink::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
    }
    QWidget::mousePressEvent(event);
}

// Like a button, the link opens on release, and only when the pointer is still over it.
void TaviLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const bool open = pressed_ && rect().contains(event->position().toPoint());
        pressed_ = false;
        if (open) {
            Open();
        }
    }
    QWidget::mouseReleaseEvent(event);
}

// Space opens the focused link; Enter is left to the window, whose default button it presses.
void TaviLink::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        Open();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TaviLink::Open() {
    UserInterfaceServices::Current().OpenUrl(QUrl(url_));
}

}  // namespace brackwin
