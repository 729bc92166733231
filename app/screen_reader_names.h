#pragma once

class QWidget;

namespace nomaro {

// Gives the main window's controls the names a screen reader speaks: the tool tip of a picture
// button without caption, the caption beside an edit field (linked as its label), what each view
// shows, and for each tab control the page it shows. The window itself is reported as a window.
void nameForScreenReaders(QWidget &window);

} // namespace nomaro
