#include "interface/qt/window_main.h"

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

void applyDesktopLook(QApplication& app) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
    QFont::insertSubstitutions(
        QStringLiteral("MS Sans Serif"),
        {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Arial"),
         QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    app.setFont(font);
    QPalette pal = app.style()->standardPalette();
    pal.setColor(QPalette::Button, QColor(212, 208, 200));
    pal.setColor(QPalette::Window, QColor(212, 208, 200));
    // Disabled texts in the grey of the classic desktop, readable on silver.
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(QPalette::Disabled, role, QColor(128, 128, 128));
    app.setPalette(pal);
}

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
    applyDesktopLook(app);
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
