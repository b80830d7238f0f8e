// The help menu's windows: about the machine, how to use the program, the
// batch tool's introduction, the help viewer, and the version box.
#pragma once

#include <QWidget>
#include <string>

#include "parlour/help_windows.h"

class QTextBrowser;
class QPlainTextEdit;

namespace popchan {

class Dialogs;

// A fixed text in a frame with a picture and an OK button that closes it.
class InfoWindow : public QWidget {
  public:
    enum class Kind { Setumeif, Siyouf };
    InfoWindow(Kind kind, QWidget* parent);
    QPlainTextEdit* text() const { return text_; }

  private:
    QPlainTextEdit* text_ = nullptr;
};

// A short introduction of the project's batch simulator.
class Salesf : public QWidget {
  public:
    explicit Salesf(QWidget* parent);
};

// The help document, opened at its contents.
class HelpViewer : public QWidget {
  public:
    HelpViewer(const std::string& file, QWidget* parent);
    QTextBrowser* browser() const { return browser_; }

  private:
    QTextBrowser* browser_ = nullptr;
};

} // namespace popchan
