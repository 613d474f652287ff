#include "interface/qt/window_main.h"
#include "platform/qt/desktop_look.h"

#include <QFont>
#include <QIcon>
#include <QStyle>
#include <QStyleFactory>
#include <iostream>
#include <string>
#include <vector>

#include "interface/form_pelko.h"
#include "interface/qt/binding.h"
#include "interface/qt/dialogs.h"
#include "interface/qt/form_pelko_window.h"
#include "interface/qt/form_protokoll_window.h"
#include "interface/qt/host.h"
#include "platform/display.h"
#include "platform/paths.h"

namespace pelko::qt {

int windowMain(int argc, const char* const* argv, const HotelAdapterRegistry& adapters) {
    std::string program = argc > 0 && argv[0] ? argv[0] : "Pelko_Programm";
    std::string platformArg = "-platform";
    std::string platforms = plat::windowPlatforms();
    std::vector<char*> args{program.data()};
    if (!platforms.empty()) {
        args.push_back(platformArg.data());
        args.push_back(platforms.data());
    }
    args.push_back(nullptr);
    int qargc = static_cast<int>(args.size()) - 1;
    QApplication app(qargc, args.data());
    if (!platforms.empty() && app.platformName() == QStringLiteral("offscreen")) {
        std::cerr << "Pelko_Programm: der Bildschirm ist nicht erreichbar (DISPLAY oder "
                     "WAYLAND_DISPLAY).\n"
                     "Ohne Fenster: Pelko_Programm --headless, oder --run VERB (--help).\n";
        return 2;
    }
    app.setApplicationName(QString::fromUtf8(kApplicationTitle));
    app.setQuitOnLastWindowClosed(false);
    plat::qt::applyDesktopLook(app);
    QString icon = toQ(plat::siblingWithExtension(".ICO"));
    if (plat::fileExists(fromQ(icon))) app.setWindowIcon(QIcon(icon));

    Dialogs dialogs;
    ProcessDriverLauncher driver;
    Host host;
    FormEnvironment env;
    env.dialogs = &dialogs;
    env.driver = &driver;
    env.host = &host;
    env.adapters = &adapters;
    TFormPelko form(env);
    FormPelkoWindow window(form);
    FormProtokollWindow protokoll(form.FormProtokoll);
    dialogs.setOwner(&window);
    host.setWindow(&window);

    guarded([&] { form.FormCreate(); });
    window.show();
    guarded([&] { form.FormShow(); });
    window.startTimer();
    return app.exec();
}

}  // namespace pelko::qt
