// converter-core: the hotel software converters without the program around
// them, on the files of a day that hotel-day wrote. Every lookup reads the
// real files (guest file, VBED.CSV, VMWST.CSV, VART.CSV, VZtxt.CSV) as in the
// program; only the receipt counter stays in memory instead of being stored
// in the settings file at every room, so the figures show what the
// conversion itself costs.
//
//   converter-core --dir DIR [--repeat N] [--only LIST]
//
// DIR holds work/ and hotel/ as hotel-day writes them; the booking files go
// to DIR/hotel. LIST: comma-separated from hs3, velox, hotline, protel-room,
// protel-revenue (default all). Prints one line per converter:
//   <converter> median_ms=... min_ms=... cpu_ms=... messages=N
// (wall-clock time, and the processor time the conversion took).
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "interface/adapters/HotlineFiles.h"
#include "interface/adapters/Hs3Files.h"
#include "interface/adapters/ProtelGuests.h"
#include "interface/adapters/ProtelRevenue.h"
#include "interface/adapters/ProtelRoomBook.h"
#include "interface/adapters/ProtelTables.h"
#include "interface/adapters/VeloxFiles.h"
#include "interface/registerfiles/register_tables.h"
#include "platform/paths.h"
#include "platform/regional.h"

namespace {

struct Context {
    std::string work;
    std::string hotel;
    long receipt = 0;
    int messages = 0;
    regfiles::MessageSink sink() {
        return [this](const std::string& text) {
            if (messages++ < 3) std::cerr << "converter-core: " << text << "\n";
        };
    }
    regfiles::RoomReportConverter::Setup setup(const std::string& booking) {
        regfiles::RoomReportConverter::Setup s;
        s.workingDirectory = work;
        s.bookingPath = plat::joinPath(hotel, booking);
        s.bookingName = booking;
        s.showStop = sink();
        return s;
    }
    std::string hotelFile(const char* name) const { return plat::joinPath(hotel, name); }
};

void runHs3(Context& c) {
    std::string mwst;
    regfiles::lookUpVatRate(c.work, mwst, c.sink());
    hs3::Converter::Steps steps;
    steps.guestOf = [&c](const std::string& room) {
        regfiles::GastDaten g;
        if (hs3::findGuest(c.hotelFile(hs3::kGuestFile), room, g) == hs3::LookupResult::CannotOpen)
            c.sink()(regfiles::cannotReadMessage(hs3::kGuestFile));
        return g;
    };
    steps.operatorName = [&c](const std::string& nr) {
        std::string name;
        regfiles::lookUpOperatorName(c.work, nr, name, c.sink());
        return name;
    };
    steps.nextReceipt = [&c] { return ++c.receipt; };
    hs3::Converter conv(c.setup(hs3::kBookingFile), std::move(steps), mwst,
                        plat::regional().decimalSeparator);
    conv.run();
}

void runVelox(Context& c) {
    velox::Converter::Steps steps;
    steps.readVatRate = [&c] {
        std::string mwst;
        return regfiles::lookUpVatRate(c.work, mwst, c.sink());
    };
    steps.guestOf = [&c](const std::string& room) {
        regfiles::GastDaten g;
        if (velox::findGuest(c.hotelFile(velox::kGuestFile), room, g) ==
            velox::LookupResult::CannotOpen)
            c.sink()(regfiles::cannotReadMessage(velox::kGuestFile));
        return g;
    };
    steps.lookUpOperator = [&c](const std::string& nr) {
        std::string name;
        regfiles::lookUpOperatorName(c.work, nr, name, c.sink());
    };
    steps.nextReceipt = [&c] { return ++c.receipt; };
    velox::Converter conv(c.setup(velox::kBookingFile), std::move(steps));
    conv.convert();
}

void runHotline(Context& c) {
    hotline::Converter::Steps steps;
    steps.guestOf = [&c](const std::string& room) {
        regfiles::GastDaten g;
        if (hotline::findGuest(c.hotelFile(hotline::kGuestFile), room, g) ==
            hotline::LookupResult::CannotOpen)
            c.sink()(regfiles::cannotReadMessage(hotline::kGuestFile));
        return g;
    };
    steps.lookUpOperator = [&c](const std::string& nr) {
        std::string name;
        regfiles::lookUpOperatorName(c.work, nr, name, c.sink());
    };
    hotline::Converter conv(c.setup(hotline::kBookingFile), std::move(steps),
                            plat::regional().decimalSeparator);
    conv.convert();
}

void runProtelRoom(Context& c) {
    protel::RoomBookConverter::Steps steps;
    steps.guestOf = [&c](const std::string& room) {
        regfiles::GastDaten g;
        if (protel::findGuest(c.hotelFile(protel::kGuestFile), room, g) ==
            protel::LookupResult::CannotOpen)
            c.sink()(regfiles::cannotReadMessage(protel::kGuestFile));
        return g;
    };
    steps.operatorLookup = [&c](const std::string& nr) {
        std::string name;
        regfiles::lookUpOperatorName(c.work, nr, name, c.sink());
    };
    steps.nextReceipt = [&c] { return ++c.receipt; };
    steps.zText = [&c](std::string& number) { protel::translateZText(c.work, number, c.sink()); };
    steps.article = [&c](std::string& number, std::string& group) {
        protel::translateArticle(c.work, number, group, c.sink());
    };
    protel::RoomBookConverter conv(c.setup(protel::kBookingFile), std::move(steps));
    conv.run();
}

void runProtelRevenue(Context& c) {
    protel::RevenueConverter::Setup s;
    s.workingDirectory = c.work;
    s.revenuePath = c.hotelFile(protel::kRevenueFile);
    s.registers = 1;
    s.showStop = c.sink();
    s.zText = [&c](std::string& number) { protel::translateZText(c.work, number, c.sink()); };
    s.article = [&c](std::string& number, std::string& group) {
        protel::translateArticle(c.work, number, group, c.sink());
    };
    protel::RevenueConverter conv(std::move(s));
    conv.run();
}

// The processor time of this process so far (user and system), in ms.
double cpuMs() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The median; sorts `v`.
double median(std::vector<double>& v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir;
    std::string only = "hs3,velox,hotline,protel-room,protel-revenue";
    int repeat = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--dir")
            dir = argv[i + 1];
        else if (a == "--repeat")
            repeat = std::max(1, std::atoi(argv[i + 1]));
        else if (a == "--only")
            only = argv[i + 1];
    }
    if (dir.empty() || argc % 2 == 0) {
        std::cerr << "usage: converter-core --dir DIR [--repeat N] [--only LIST]\n";
        return 2;
    }
    const std::vector<std::pair<std::string, std::function<void(Context&)>>> all = {
        {"hs3", runHs3},
        {"velox", runVelox},
        {"hotline", runHotline},
        {"protel-room", runProtelRoom},
        {"protel-revenue", runProtelRevenue}};
    std::vector<std::string> wanted;
    std::stringstream list(only);
    for (std::string item; std::getline(list, item, ',');) wanted.push_back(item);
    int status = 0;
    for (const std::string& name : wanted) {
        auto it =
            std::find_if(all.begin(), all.end(), [&](const auto& e) { return e.first == name; });
        if (it == all.end()) {
            std::cerr << "converter-core: unknown converter " << name << "\n";
            return 2;
        }
        std::vector<double> ms, cpu;
        int messages = 0;
        for (int r = 0; r < repeat; ++r) {
            Context c;
            c.work = plat::joinPath(dir, "work");
            c.hotel = plat::joinPath(dir, "hotel");
            const auto t0 = std::chrono::steady_clock::now();
            const double c0 = cpuMs();
            it->second(c);
            const auto t1 = std::chrono::steady_clock::now();
            ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
            cpu.push_back(cpuMs() - c0);
            messages = c.messages;
        }
        std::cout << name << " median_ms=" << median(ms) << " min_ms=" << ms.front()
                  << " cpu_ms=" << median(cpu) << " messages=" << messages << std::endl;
        if (messages) status = 1;
    }
    return status;
}
