// What every run of the program sets up before its first window: the fonts
// the windows name, Japanese texts for the standard buttons, and the screen's
// twips per pixel.
#pragma once

#include <string>

class QApplication;
class QString;

namespace popchan {

void setup_application(QApplication& app);

// The folder of the music and the help: beside the program in the build tree,
// or the shared data folder of an installed program, found from the program's
// folder by the path between them (../../share/popchan from lib/popchan).
std::string data_location(const QString& program_dir, const QString& installed_data);
std::string data_location(); // for this program, from where it runs

} // namespace popchan
