#include "ReadableLabel.h"

#include <QAccessibleWidget>

#include "AccessibleFactory.h"

namespace brackwin {

namespace {

// The label as static text whose content is the label's text, read only.
class ReadableLabelAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit ReadableLabelAccessible(ReadableLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return Text();
        }
        return QAccessibleWidget::text(t);
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override {
        const QString all = Text();
        if (startOffset < 0 || endOffset < startOffset || endOffset > all.size()) {
            return {};
        }
        return all.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(Text().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = offset;
        *endOffset = offset;
        return {};
    }

  private:
    QString Text() const { return static_cast<const QLabel*>(widget())->text(); }
};

}  // namespace

ReadableLabel::ReadableLabel(QWidget* parent) : QLabel(parent) {
    QAccessible::installFactory(MakeAccessible<ReadableLabel, ReadableLabelAccessible>);
}

void ReadableLabel::ShowText(const QString& shown) {
    const QString old = text();
    setText(shown);
    if (QAccessible::isActive() && old != shown) {
        QAccessibleTextUpdateEvent event(this, 0, old, shown);
        QAccessible::updateAccessibility(&event);
    }
}

}  // namespace brackwin
