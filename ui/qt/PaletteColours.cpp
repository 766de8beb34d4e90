#include "PaletteColours.h"

#include <QApplication>

namespace brackwin {

namespace {

Rgb ToRgb(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return {static_cast<std::uint8_t>(rgb.red()), static_cast<std::uint8_t>(rgb.green()),
            static_cast<std::uint8_t>(rgb.blue())};
}

ColourPair PairOf(const QPalette& palette, QPalette::ColorRole text,
                  QPalette::ColorRole background) {
    return {ToRgb(palette.color(QPalette::Active, text)),
            ToRgb(palette.color(QPalette::Active, background))};
}

}  // namespace

WindowColours PaletteColours() {
    const QPalette palette = QApplication::palette();
    SystemColours system{};
    system.window = PairOf(palette, QPalette::Text, QPalette::Base);
    system.selection = PairOf(palette, QPalette::HighlightedText, QPalette::Highlight);
    system.dialog = PairOf(palette, QPalette::WindowText, QPalette::Window);
    system.menuBar =
        PairOf(QApplication::palette("QMenuBar"), QPalette::WindowText, QPalette::Window);
    system.link = ToRgb(palette.color(QPalette::Active, QPalette::Link));
    return ChooseColours({system, IsDark(system.dialog)});
}

QColor ToQColor(Rgb colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

void SetPair(QPalette& palette, QPalette::ColorRole textRole, QPalette::ColorRole backgroundRole,
             const ColourPair& pair) {
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, textRole, ToQColor(pair.text));
        palette.setColor(group, backgroundRole, ToQColor(pair.background));
    }
}

}  // namespace brackwin
