// pelko-screenshots: draws the programs' windows with sample settings and
// saves them as PNG files, for the documentation:
//   main-window.png         the main window, settings unlocked
//   main-window-locked.png  the same window locked
//   log-viewer.png          the transmission log viewer
//   driver-window.png       the driver's status window with its Abort button
// Usage: pelko-screenshots OUTPUT_DIR (run it with QT_QPA_PLATFORM=offscreen
// or under a virtual X server). Nothing is sent anywhere: the driver is a
// stand-in that reports success, and the windows draw into images.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "driver/messages.h"
#include "driver/qt/desktop_front_end.h"
#include "driver/status_window.h"
#include "interface/form_pelko.h"
#include "interface/qt/binding.h"
#include "interface/qt/form_pelko_window.h"
#include "interface/qt/form_protokoll_window.h"
#include "interface/qt/host.h"
#include "interface/qt/window_main.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/qt/desktop_look.h"
#include "platform/regional.h"

namespace {

// Boxes are answered at once and written to standard error.
class QuietDialogs : public pelko::DialogPort {
  public:
    pelko::DialogAnswer ask(const pelko::DialogRequest& r) override {
        std::fprintf(stderr, "%s: %s\n", r.caption.c_str(), r.text.c_str());
        pelko::DialogAnswer a;
        a.button = r.kind == pelko::DialogRequest::Kind::Input ? pelko::DialogAnswer::Button::Cancel
                                                               : pelko::DialogAnswer::Button::Ok;
        return a;
    }
};

// Stands in for the driver: leaves the end file "000" of the process day.
class SuccessfulDriver : public pelko::DriverLauncher {
  public:
    bool run(const std::string&, const std::string& workDir) override {
        std::string day = plat::formatDateTime("yyyymmdd", plat::now());
        std::ofstream(plat::joinPath(workDir, "LOG/" + day + ".END")) << "000";
        return true;
    }
};

void write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool save(QWidget* w, const QString& dir, const char* name) {
    QApplication::processEvents();
    QString path = QDir(dir).filePath(QString::fromLatin1(name));
    bool ok = w->grab().save(path, "PNG");
    std::fprintf(stderr, "%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pelko-screenshots OUTPUT_DIR\n");
        return 2;
    }
    ::setenv("PELKO_CLOCK", "2026-12-11 11:00:05", 1);
    ::setenv("LANG", "de_DE.UTF-8", 1);
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_TIME");
    plat::reloadRegional();
    plat::resetClock();
    QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(out);

    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Pelko-Programm"));
    plat::qt::applyDesktopLook(app);

    QTemporaryDir tmp;
    std::string prog = tmp.filePath(QStringLiteral("prog")).toStdString();
    std::string w = tmp.filePath(QStringLiteral("w")).toStdString();
    QDir().mkpath(QString::fromStdString(prog));
    QDir().mkpath(QString::fromStdString(w + "/LOG"));
    write(prog + "/Pelko_Hilfe.html", "<html></html>");
    write(prog + "/Pelko_Programm.INI",
          "[Spezial]\r\nProcessTag=20261211\r\n"
          "[HOTEL]\r\nSoftware=2\r\nHotelVerzeichnis=/srv/hotel/transfer\r\nAnzahlZimmer=7\r\n"
          "[ECR]\r\nPort=17\r\nBaud=0\r\nKassenNr=2\r\nKundenID=4711\r\nBerichtsNr=01\r\n"
          "UmsatzBerNr=010\r\nEthernetIP1=192\r\nEthernetIP2=168\r\nEthernetIP3=1\r\n"
          "EthernetIP4=50\r\nUmsBerAuto=1\r\nZeit1=11:00:00\r\nZeit2=14:30:00\r\n"
          "Zeit3=18:00:00\r\nZeit4=22:00:00\r\nZeit5=23:45:00\r\n");
    write(w + "/VZIMMER.CSV",
          "250;1;101;0;\"Mueller\"\r\n250;2;102;0;\"\"\r\n250;3;103;0;\"Schmidt\"\r\n"
          "250;4;201;0;\"\"\r\n250;5;202;0;\"Weber\"\r\n250;6;203;0;\"\"\r\n");
    write(w + "/LOG/20261211.LOG",
          "11.12.2026;06:00:12;START;\"<1.20> Session Started\";0;\"OK\"\r\n"
          "11.12.2026;06:00:12;PORT;\"9999\";0;\"OK\"\r\n"
          "11.12.2026;06:00:12;IP;\"192.168.1.50\";0;\"OK\"\r\n"
          "11.12.2026;06:00:12;REGISTER;\"1\";0;\"OK\"\r\n"
          "11.12.2026;06:00:13;UPLOAD;\"VZIMMERS.CSV\";0;\"OK\"\r\n"
          "11.12.2026;06:00:14;END;\"Session Ended\";0;\"OK\"\r\n\r\n"
          "11.12.2026;11:00:00;START;\"<1.20> Session Started\";0;\"OK\"\r\n"
          "11.12.2026;11:00:00;PORT;\"9999\";0;\"OK\"\r\n"
          "11.12.2026;11:00:00;IP;\"192.168.1.50\";0;\"OK\"\r\n"
          "11.12.2026;11:00:00;REGISTER;\"1\";0;\"OK\"\r\n"
          "11.12.2026;11:00:00;COMMAND;\"LI4711\";0;\"OK\"\r\n"
          "11.12.2026;11:00:00;NEWFILE;\"VZimmerBericht.csv\";0;\"OK\"\r\n"
          "11.12.2026;11:00:03;COMMAND;\"RuZ001001001\";0;\"OK\"\r\n"
          "11.12.2026;11:00:03;COMMAND;\"LO\";0;\"OK\"\r\n"
          "11.12.2026;11:00:04;END;\"Session Ended\";0;\"OK\"\r\n\r\n");
    if (!QDir::setCurrent(QString::fromStdString(w))) return 1;

    QuietDialogs dialogs;
    SuccessfulDriver driver;
    pelko::qt::Host host;
    pelko::FormEnvironment env;
    env.dialogs = &dialogs;
    env.driver = &driver;
    env.host = &host;
    env.settingsFile = prog + "/Pelko_Programm.INI";
    env.programDir = prog;
    pelko::TFormPelko form(env);
    pelko::qt::FormPelkoWindow window(form);
    pelko::qt::FormProtokollWindow protokoll(form.FormProtokoll);
    host.setWindow(&window);
    form.FormCreate();
    window.show();
    form.FormShow();
    // The run of report time 1 has been evaluated, and one tick has passed.
    form.reportSlot = 1;
    form.jobKind = pelko::kJobRoomReport;
    form.DriverStarten();
    form.countdown = 42;
    form.Timer1Timer();

    bool ok = save(&window, out, "main-window.png");
    form.BitBtnVerschliesenClick();
    ok = save(&window, out, "main-window-locked.png") && ok;
    form.BitBtnProtokollClick();
    ok = save(&protokoll, out, "log-viewer.png") && ok;
    protokoll.hide();
    window.hide();

    tarvik::qt::DesktopFrontEnd frontEnd;
    tarvik::StatusWindow status(frontEnd);
    tarvik::MessageTable messages;
    status.prepare("LOG/20261211", messages);
    status.showRegister(1);
    status.setCommand("RUZ001001001");
    status.setStatus(messages.text(tarvik::kMsgReceiving));
    status.setRecords("37");
    status.show();
    status.setAbortShown(true);
    ok = save(frontEnd.window(), out, "driver-window.png") && ok;
    status.close();
    return ok ? 0 : 1;
}
