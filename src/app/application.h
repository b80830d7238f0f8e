// What every run of the program sets up before its first window: the fonts
// the windows name, Japanese texts for the standard buttons, and the screen's
// twips per pixel.
#pragma once

class QApplication;

namespace popchan {

void setup_application(QApplication& app);

} // namespace popchan
