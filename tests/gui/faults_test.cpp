// Damaged or missing files: each gives its defined behaviour and never a crash.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/formdigi.h"
#include "app/pictures.h"
#include "core/fakes.h"

using namespace popchan;
using popchan::testing::ScriptedDialogs;

namespace {

// A copy of the program's pictures with one damaged and one missing, in a
// folder of this process's own: ctest runs the cases side by side.
std::string damaged_pictures() {
    const QString dir = QDir::tempPath() + "/popchan-damaged-pictures-" +
                        QString::number(QCoreApplication::applicationPid());
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    for (const QString& name : QDir(":/pictures").entryList())
        QFile::copy(":/pictures/" + name, dir + "/" + name);
    QFile::remove(dir + "/pat3.png");
    QFile::setPermissions(dir + "/digipat0.png", QFile::WriteOwner | QFile::ReadOwner);
    std::ofstream(dir.toStdString() + "/digipat0.png") << "not a picture";
    return dir.toStdString();
}

} // namespace

TEST(Faults, DamagedPicturesAreNamedOnceAtStartUpAndTheDayRunsOn) {
    FormDigi::set_picture_location(damaged_pictures());
    ScriptedDialogs dialogs;
    {
        FormDigi w(&dialogs, nullptr, std::make_unique<MachineRandom>(4, false));
        w.show();
        QApplication::processEvents();
        EXPECT_EQ(w.missing_pictures(), (std::vector<std::string>{"digipat0.png", "pat3.png"}));
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_NE(dialogs.boxes[0].text.find("digipat0.png、pat3.png"), std::string::npos);
        EXPECT_EQ(dialogs.boxes[0].icon, MessageIcon::Warning);
        w.menu("a3")->trigger();
        w.model().advance(300000); // spins, reaches and angels with missing pictures
        w.refresh();
        EXPECT_GT(w.model().day.kaiten_total, 10);
        EXPECT_EQ(dialogs.boxes.size(), 1u);
    }
    FormDigi::set_picture_location(":/pictures");
}

TEST(Faults, APictureOfTheWrongSizeIsRefused) {
    Pictures p;
    Surface startup(115, 96);
    const std::string dir = damaged_pictures();
    QFile::remove(QString::fromStdString(dir + "/patbox2.png"));
    QFile::copy(":/pictures/startup.png", QString::fromStdString(dir + "/patbox2.png"));
    QFile::remove(QString::fromStdString(dir + "/pat8.png"));
    QFile::copy(":/pictures/pat0.png", QString::fromStdString(dir + "/pat8.png"));
    const auto failed = load_pictures(p, startup, dir);
    EXPECT_NE(std::find(failed.begin(), failed.end(), "pat8.png"), failed.end());
    EXPECT_EQ(std::find(failed.begin(), failed.end(), "patbox2.png"), failed.end()); // same size
}

// The music and the help: beside the program in the build tree, else in the
// installed data folder, else looked for beside the program (whose missing
// files the boxes then name).
TEST(Faults, TheMusicAndHelpAreFoundBesideTheProgramOrInTheInstalledDataFolder) {
    struct Case {
        bool beside, installed;
        const char* found;
    };
    for (const Case c :
         {Case{true, true, "/usr/lib/popchan"}, Case{false, true, "/usr/share/popchan"},
          Case{false, false, "/usr/lib/popchan"}}) {
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        const QString program = root.path() + "/usr/lib/popchan";
        const QString data = root.path() + "/usr/share/popchan";
        QDir().mkpath(program);
        QDir().mkpath(data);
        if (c.beside) std::ofstream((program + "/korinu.html").toStdString()) << "help";
        if (c.installed) std::ofstream((data + "/korinu.html").toStdString()) << "help";
        EXPECT_EQ(data_location(program, "../../share/popchan"),
                  (root.path() + c.found).toStdString())
            << c.beside << c.installed;
    }
}
