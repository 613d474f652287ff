#include "interface/headless.h"

#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <iostream>

#include "platform/clock.h"
#include "platform/display.h"
#include "platform/paths.h"

namespace pelko::headless {
namespace {

volatile sig_atomic_t g_stop = 0;

void onSignal(int) {
    g_stop = 1;
}

void installSignalHandlers() {
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no restart: a pause ends at once
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

const char* const kUsage =
    "Aufruf: Pelko_Programm [--headless [--ticks N] | --run VERB]\n"
    "  (ohne Argument)        das Hauptfenster\n"
    "  --headless             ohne Fenster: Start, dann jede Sekunde der Timer,\n"
    "                         bis SIGINT oder SIGTERM\n"
    "  --headless --ticks N   N Timer-Ticks, dann Ende; mit PELKO_CLOCK läuft die\n"
    "                         Uhr virtuell, jeder Tick eine Sekunde, ohne Warten\n"
    "  --run VERB             Start ohne Fenster, eine Operation, Ende. VERB:\n"
    "      save                 Speichern: Einstellungen und Befehlsdateien\n"
    "      room-report          Zim.Bericht Manuell\n"
    "      send-rooms           Zim.Manuell Senden\n"
    "      fetch-program        Programm von Kasse holen\n"
    "      revenue-report       Umsatz Ber. Manuell\n"
    "      convert-room-report  Zimmer-Bericht umsetzen, ohne Kassenabfrage\n"
    "      convert-revenue      Umsatz-Bericht umsetzen, ohne Kassenabfrage\n"
    "      write-room-list      VZIMMER.CSV aus VZ.CSV und der Zimmertabelle\n"
    "Exit-Status: 0 ausgeführt und ohne Fehler, 1 Fehler, 2 Aufruf falsch.\n";

const char* const kVerbs[] = {
    "save",           "room-report",         "send-rooms",      "fetch-program",
    "revenue-report", "convert-room-report", "convert-revenue", "write-room-list"};

// An error that escapes an operation is shown like any message box, and the
// program goes on; `true` when one was shown.
template <typename Op>
bool guarded(TFormPelko& form, Op op) {
    try {
        op();
        return false;
    } catch (const std::exception& e) {
        DialogRequest r;
        r.caption = kApplicationTitle;
        r.text = e.what();
        r.icon = DialogRequest::Icon::Stop;
        form.dialogs().ask(r);
        return true;
    }
}

bool parseCount(const std::string& text, long& out) {
    if (text.empty() || text.size() > 9) return false;
    long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

}  // namespace

DialogAnswer StreamDialogs::ask(const DialogRequest& request) {
    std::string text = request.text;
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    out_ << request.caption << ": " << text << std::endl;
    DialogAnswer answer;
    if (request.kind == DialogRequest::Kind::Input) {
        answer.button = DialogAnswer::Button::Cancel;
        answer.input = request.input;
    } else {
        answer.button = request.buttons == DialogRequest::Buttons::YesNo ? DialogAnswer::Button::Yes
                                                                         : DialogAnswer::Button::Ok;
    }
    return answer;
}

bool knownVerb(const std::string& verb) {
    for (const char* v : kVerbs)
        if (verb == v) return true;
    return false;
}

bool parseArguments(int argc, const char* const* argv, Options& options, std::string& error) {
    options = Options{};
    bool headless = false, run = false, ticks = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            options.mode = Options::Mode::Help;
            return true;
        } else if (a == "--headless") {
            headless = true;
        } else if (a == "--ticks" || a.rfind("--ticks=", 0) == 0) {
            std::string value;
            if (a == "--ticks") {
                if (i + 1 >= argc) {
                    error = "--ticks braucht eine Anzahl";
                    return false;
                }
                value = argv[++i];
            } else {
                value = a.substr(8);
            }
            if (!parseCount(value, options.ticks)) {
                error = "--ticks: '" + value + "' ist keine Anzahl (0 bis 999999999)";
                return false;
            }
            ticks = true;
        } else if (a == "--run" || a.rfind("--run=", 0) == 0) {
            if (a == "--run") {
                if (i + 1 >= argc) {
                    error = "--run braucht ein VERB";
                    return false;
                }
                options.verb = argv[++i];
            } else {
                options.verb = a.substr(6);
            }
            if (!knownVerb(options.verb)) {
                error = "--run: unbekanntes VERB '" + options.verb + "'";
                return false;
            }
            run = true;
        } else {
            error = "unbekanntes Argument '" + a + "'";
            return false;
        }
    }
    if (run && (headless || ticks)) {
        error = "--run und --headless schließen sich aus";
        return false;
    }
    if (ticks && !headless) {
        error = "--ticks nur mit --headless";
        return false;
    }
    options.mode = run        ? Options::Mode::Run
                   : headless ? Options::Mode::Headless
                              : Options::Mode::Window;
    return true;
}

int runVerb(TFormPelko& form, const std::string& verb) {
    if (!knownVerb(verb)) return 2;
    bool drives = false;
    bool failed = guarded(form, [&] { runOperation(form, verb, drives); });
    if (failed || form.failuresReported() > 0) return 1;
    if (drives && form.resultCode != "000") return 1;
    return 0;
}

void runOperation(TFormPelko& form, const std::string& verb, bool& drives) {
    if (verb == "save") {
        form.BitBtnSpeichernClick();
    } else if (verb == "room-report") {
        drives = true;
        form.BitBtnManuellClick();
    } else if (verb == "send-rooms") {
        drives = true;
        form.BitBtnZimSendenClick();
    } else if (verb == "fetch-program") {
        drives = true;
        form.ProgrammHolen();
    } else if (verb == "revenue-report") {
        drives = true;
        // The button exists only with Protel: without it the registers'
        // revenue report would be fetched and cleared with nothing to take it.
        if (form.hotelSoftware() != kProtel)
            form.Meldung("Umsatz-Bericht gibt es nur mit Protel Hotelsoftware");
        else
            form.UmsatzBerichtHolen();
    } else if (verb == "convert-room-report") {
        form.ZimmerBerichtUmsetzen();
    } else if (verb == "convert-revenue") {
        form.UmsatzBerichtUmsetzen();
    } else if (verb == "write-room-list") {
        form.StringGrid1Exit();
    }
}

void runTimer(TFormPelko& form, long ticks, bool virtualClock) {
    installSignalHandlers();
    if (virtualClock) {
        for (long i = 0; i < ticks && !g_stop; ++i) {
            plat::advanceVirtualClock(1);
            if (form.Timer1.enabled()) guarded(form, [&] { form.Timer1Timer(); });
        }
        return;
    }
    const std::uint64_t interval = static_cast<std::uint64_t>(form.Timer1.interval());
    std::uint64_t due = plat::tickCount() + interval;
    for (long done = 0; !g_stop && (ticks < 0 || done < ticks);) {
        std::uint64_t now = plat::tickCount();
        if (now < due) {
            plat::sleepMs(static_cast<int>(std::min<std::uint64_t>(due - now, 100)));
            continue;
        }
        if (form.Timer1.enabled()) guarded(form, [&] { form.Timer1Timer(); });
        ++done;
        // Ticks that fell due during a long tick (a driver run) are not
        // made up: at most one follows at once.
        due += interval;
        now = plat::tickCount();
        if (due < now) due = now;
    }
}

int programMain(int argc, const char* const* argv, const HotelAdapterRegistry& adapters,
                WindowMain windowMain) {
    if (argc > 0) plat::setArgv0(argv[0]);
    Options options;
    std::string error;
    if (!parseArguments(argc, argv, options, error)) {
        std::cerr << "Pelko_Programm: " << error << "\n" << kUsage;
        return 2;
    }
    switch (options.mode) {
        case Options::Mode::Help:
            std::cout << kUsage;
            return 0;
        case Options::Mode::Window:
            if (windowMain && plat::displayPresent()) return windowMain(argc, argv, adapters);
            if (windowMain)
                std::cerr << "Pelko_Programm: kein Bildschirm für das Hauptfenster (DISPLAY, "
                             "WAYLAND_DISPLAY und QT_QPA_PLATFORM sind nicht gesetzt).\n";
            else
                std::cerr << "Pelko_Programm: das Hauptfenster gibt es nur im Desktop-Build (mit "
                             "Qt 6 und einem Bildschirm).\n";
            std::cerr << "Ohne Fenster: Pelko_Programm --headless, oder --run VERB (--help).\n";
            return 2;
        default:
            break;
    }

    bool virtualClock = false;
    if (options.mode == Options::Mode::Headless && options.ticks >= 0) {
        const char* clock = ::getenv("PELKO_CLOCK");
        if (clock && *clock) {
            plat::DateTime t;
            if (!plat::parseClockText(clock, t)) {
                std::cerr << "Pelko_Programm: PELKO_CLOCK '" << clock
                          << "' ist keine Zeit der Form YYYY-MM-DD hh:mm:ss\n";
                return 2;
            }
            plat::useVirtualClock();
            virtualClock = true;
        }
    }

    // A reader of the output that went away must not end the program.
    ::signal(SIGPIPE, SIG_IGN);
    StreamDialogs dialogs(std::cerr);
    ProcessDriverLauncher driver;
    FormEnvironment env;
    env.dialogs = &dialogs;
    env.driver = &driver;
    env.adapters = &adapters;
    TFormPelko FormPelko(env);
    FormPelko.onDriverEvaluated = [](const std::string& status) {
        std::cout << status << std::endl;
    };
    FormPelko.FormCreate();
    // An error during start-up skips the rest of it; the program goes on.
    bool startFailed = guarded(FormPelko, [&] { FormPelko.FormShow(); });
    if (options.mode == Options::Mode::Run) {
        int status = runVerb(FormPelko, options.verb);
        return startFailed && status == 0 ? 1 : status;
    }
    runTimer(FormPelko, options.ticks, virtualClock);
    return 0;
}

}  // namespace pelko::headless
