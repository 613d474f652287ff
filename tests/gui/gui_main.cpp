// The GUI tests run on the offscreen platform: the windows are real widgets
// with real events, drawn into memory.
#include <gtest/gtest.h>

#include <QApplication>

#include "interface/qt/window_main.h"
#include "platform/qt/desktop_look.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Pelko-Programm"));
    app.setQuitOnLastWindowClosed(false);
    plat::qt::applyDesktopLook(app);
    return RUN_ALL_TESTS();
}
