#pragma once

#include <QPalette>
#include <functional>

class QWidget;

namespace nomaro {

// Applies the colours a widget draws by itself now and again at each change of the palette of a
// source widget (the widget itself when none is given), as when the desktop switches between a
// light and a dark theme while the program runs. A widget under a style sheet learns of no
// change of palette, so it follows the parent of its sheet.
void followPalette(QWidget *widget, std::function<void(QWidget *widget, const QPalette &palette)> apply,
                   QWidget *source = nullptr);

} // namespace nomaro
