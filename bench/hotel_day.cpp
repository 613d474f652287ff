// hotel-day: writes the files of one day of a hotel for the converter
// benchmarks, the same for the same seed on every machine.
//
//   hotel-day --out DIR [--seed N] [--rooms N] [--report-lines N]
//             [--guests N] [--articles N] [--journal-lines N]
//
// DIR/work   the working directory: the room report VZimmerBericht.csv, the
//            register tables VMWST.CSV, VBED.CSV, VART.CSV, VZtxt.CSV and the
//            journal VEJournal1.csv, as the driver stores them (CR LF)
// DIR/hotel  the guest files of the four hotel software packages for the same
//            guests: HS3CASH.OUT, ROOM.DAT, OSNAME.DAT, INHOUSE.DAT
//
// The room report is a run of bills (blocks) booked to rooms: an opening line
// (0/250), articles (10000), Z texts (4000), now and then a discount (1000)
// and a tip (900), and the closing total (0/99). The first bills cover every
// room once, the rest go to rooms at random, so a room comes back now and
// then. Guests live in the rooms of the report first; a guest file larger
// than the hotel has its further guests in rooms the report does not name.
// The guest files list the guests in a shuffled order. The journal is a run
// of bills with articles, Z texts, discounts, tips, given amounts and
// payments; a few bills are reactivated and closed again.
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

// splitmix64: the same numbers for the same seed everywhere.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A number from 0 to n - 1.
    long below(long n) { return static_cast<long>(next() % static_cast<std::uint64_t>(n)); }
    long between(long lo, long hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T>
    void shuffle(std::vector<T>& v) {
        for (std::size_t i = v.size(); i > 1; --i)
            std::swap(v[i - 1], v[static_cast<std::size_t>(below(static_cast<long>(i)))]);
    }

  private:
    std::uint64_t state_;
};

struct Options {
    std::string out;
    std::uint64_t seed = 1;
    long rooms = 1000;
    long reportLines = 20000;
    long guests = 1000;
    long articles = 5000;
    long journalLines = 20000;
};

const char* const kLastNames[] = {"Mueller", "Schmidt", "Schneider", "Fischer", "Weber",
                                  "Meyer",   "Wagner",  "Becker",    "Schulz",  "Hoffmann",
                                  "Koch",    "Richter", "Klein",     "Wolf",    "Neumann",
                                  "Jansen",  "Rossi",   "Dubois",    "Smith",   "Nowak"};
const char* const kFirstNames[] = {"Anna", "Hans", "Lena",  "Marco", "Eva",   "Paul", "Mia",
                                   "Jan",  "Lea",  "Tom",   "Sara",  "Ben",   "Ida",  "Max",
                                   "Nora", "Karl", "Julia", "Felix", "Maria", "Luca"};
const char* const kArticleWords[] = {"Pils",  "Weissbier", "Rotwein", "Weisswein", "Espresso",
                                     "Tee",   "Wasser",    "Saft",    "Sandwich",  "Salat",
                                     "Suppe", "Schnitzel", "Kuchen",  "Eis",       "Nuesse"};
const char* const kGroups[] = {"GET", "WEIN", "HGET", "SPEI", "SNACK", "DESS"};

template <typename T, std::size_t N>
constexpr long count(const T (&)[N]) {
    return static_cast<long>(N);
}

// Room numbers: floor 1 holds 1001 to 1100, floor 2 2001 to 2100, and so on.
std::string roomOf(long index) {
    return std::to_string((index / 100 + 1) * 1000 + index % 100 + 1);
}

std::string amountText(long cents) {
    const bool negative = cents < 0;
    if (negative) cents = -cents;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%ld,%02ld", negative ? "-" : "", cents / 100, cents % 100);
    return buf;
}

std::string pad(std::string text, std::size_t width, bool right = false) {
    if (text.size() > width) text.resize(width);
    const std::string blanks(width - text.size(), ' ');
    return right ? blanks + text : text + blanks;
}

class Writer {
  public:
    explicit Writer(const std::string& path) : path_(path), out_(path, std::ios::binary) {
        if (!out_) fail();
    }
    // A line of a text file: CR LF after it.
    void line(const std::string& text) {
        out_ << text << "\r\n";
        ++lines_;
    }
    void raw(const std::string& bytes) { out_ << bytes; }
    void close() {
        out_.close();
        if (!out_) fail();
    }
    long lines() const { return lines_; }

  private:
    [[noreturn]] void fail() {
        std::cerr << "hotel-day: cannot write " << path_ << "\n";
        std::exit(1);
    }
    std::string path_;
    std::ofstream out_;
    long lines_ = 0;
};

struct Article {
    long number;
    std::string name;
    long price;  // cents
};

struct Guest {
    std::string room;
    std::string konto;
    std::string name;  // "Lastname, Firstname"
};

constexpr long kOperators = 20;
constexpr long kZTexts = 50;
constexpr long kFirstArticle = 1001;

std::vector<Article> makeArticles(Random& rnd, long n) {
    std::vector<Article> list;
    list.reserve(static_cast<std::size_t>(n));
    for (long i = 0; i < n; ++i) {
        Article a;
        a.number = kFirstArticle + i;
        a.name = std::string(kArticleWords[rnd.below(count(kArticleWords))]) + " " +
                 std::to_string(a.number);
        a.price = rnd.between(150, 3500);
        list.push_back(a);
    }
    return list;
}

void writeTables(const std::string& work, Random& rnd, const std::vector<Article>& articles) {
    Writer vat(work + "/VMWST.CSV");
    vat.line("260;1;\"MwSt voll\";1900");
    vat.line("260;2;\"MwSt ermaessigt\";700");
    vat.line("260;3;\"ohne MwSt\";0");
    vat.close();

    Writer ops(work + "/VBED.CSV");
    for (long i = 1; i <= kOperators; ++i)
        ops.line("2000;" + std::to_string(i) + ";\"" + kFirstNames[(i - 1) % count(kFirstNames)] +
                 "\";0");
    ops.close();

    // Field 2 the article number, 5 Protel's number, 44 the group.
    Writer art(work + "/VART.CSV");
    for (const Article& a : articles) {
        std::string line = "10000;" + std::to_string(a.number) + ";\"" + a.name + "\";" +
                           std::to_string(a.price) + ";" + std::to_string(a.number + 80000);
        for (int f = 6; f <= 43; ++f) line += ";0";
        line += ";\"" + std::string(kGroups[rnd.below(count(kGroups))]) + "\"";
        art.line(line);
    }
    art.close();

    // Field 2 the Z-text number, 3 the article it stands for.
    Writer zt(work + "/VZtxt.CSV");
    for (long z = 1; z <= kZTexts; ++z) {
        const Article& a =
            articles[static_cast<std::size_t>(rnd.below(static_cast<long>(articles.size())))];
        zt.line("4000;" + std::to_string(z) + ";" + std::to_string(a.number) + ";\"Z-Text " +
                std::to_string(z) + "\"");
    }
    zt.close();
}

std::vector<Guest> makeGuests(Random& rnd, long guests, long rooms) {
    std::vector<Guest> list;
    list.reserve(static_cast<std::size_t>(guests));
    for (long i = 0; i < guests; ++i) {
        Guest g;
        // The first guests fill the rooms of the report; the others live in
        // rooms it does not name.
        g.room = roomOf(i);
        g.konto = std::to_string(100000 + i);
        g.name = std::string(kLastNames[rnd.below(count(kLastNames))]) + ", " +
                 kFirstNames[rnd.below(count(kFirstNames))];
        list.push_back(g);
    }
    (void)rooms;
    rnd.shuffle(list);
    return list;
}

void writeGuestFiles(const std::string& hotel, const std::vector<Guest>& guests) {
    // HS-3: account; room in quotes, blanks after it; name in quotes.
    Writer hs3(hotel + "/HS3CASH.OUT");
    for (const Guest& g : guests) hs3.line(g.konto + ";\"" + g.room + "  \";\"" + g.name + "\"");
    hs3.close();

    // Velox: 65 characters and a line end (one character of the 66).
    Writer velox(hotel + "/ROOM.DAT");
    for (const Guest& g : guests)
        velox.line(pad(g.room, 10) + pad(g.konto, 10) + pad(g.name, 30) + pad("20261211DZ2", 15));
    velox.close();

    // hotline: blocks of 152 characters without line ends, a blank last.
    Writer hotline(hotel + "/OSNAME.DAT");
    for (const Guest& g : guests) {
        std::string block = pad(g.room, 5, true) + pad(g.konto, 10) + pad(g.name, 20) +
                            pad("20261209 20261214 DZ 2 ERW", 116) + " ";
        hotline.raw(block);
    }
    hotline.close();

    // Protel: fields separated by "|", the room followed by its category.
    Writer protel(hotel + "/INHOUSE.DAT");
    long stay = 1;
    for (const Guest& g : guests)
        protel.line(std::to_string(stay++) + "|" + g.konto + "|" + g.room + " DZ|" + g.name +
                    "|20261209|20261214|2");
    protel.close();
}

// The room report: `lines` lines in all, a header first and a sum last.
void writeRoomReport(const std::string& work, Random& rnd, const Options& o,
                     const std::vector<Article>& articles) {
    Writer out(work + "/VZimmerBericht.csv");
    out.line("20;\"Zimmerbericht Hotelbar\";1;11-12-26;23:55:00");
    std::vector<long> firstRound(static_cast<std::size_t>(o.rooms));
    for (long i = 0; i < o.rooms; ++i) firstRound[static_cast<std::size_t>(i)] = i;
    rnd.shuffle(firstRound);
    long block = 0;
    long total = 0;
    while (true) {
        const long left = o.reportLines - 1 - out.lines();  // one line for the sum
        if (left < 3) break;
        const std::string room = roomOf(
            block < o.rooms ? firstRound[static_cast<std::size_t>(block)] : rnd.below(o.rooms));
        const std::string op = std::to_string(rnd.between(1, kOperators));
        const std::string head = "22;" + room + ";" + op + ";";
        long items = rnd.between(4, 12);
        const bool tip = rnd.chance(30);
        const bool discount = rnd.chance(10);
        long extra = 2 + (tip ? 1 : 0) + (discount ? 1 : 0);
        if (items + extra > left) {
            items = left - 2;
            extra = 2;
        }
        out.line(head + "0;250;\"Zimmer " + room + "\";1;0,00");
        long sum = 0;
        for (long i = 0; i < items; ++i) {
            const long qty = rnd.between(1, 3);
            if (rnd.chance(8)) {
                const long z = rnd.between(1, kZTexts);
                const long cents = rnd.between(150, 900);
                out.line(head + "4000;" + std::to_string(z) + ";\"Z-Text " + std::to_string(z) +
                         "\";1;" + amountText(cents));
                sum += cents;
                continue;
            }
            // One article in a hundred is not in the article table.
            const bool unknown = rnd.chance(1);
            const Article& a =
                articles[static_cast<std::size_t>(rnd.below(static_cast<long>(articles.size())))];
            const long number = unknown ? 90000 + rnd.below(1000) : a.number;
            out.line(head + "10000;" + std::to_string(number) + ";\"" + a.name + "\";" +
                     std::to_string(qty) + ";" + amountText(qty * a.price));
            sum += qty * a.price;
        }
        if (extra == 2 + (tip ? 1 : 0) + (discount ? 1 : 0)) {
            if (discount) {
                const long d = -(sum / 10);
                out.line(head + "1000;0;\"-10%\";1;" + amountText(d));
                sum += d;
            }
            if (tip) {
                const long cents = rnd.between(50, 500);
                out.line(head + "900;" + std::to_string(rnd.chance(70) ? 1 : 7) +
                         ";\"Trinkgeld\";1;" + amountText(cents));
                sum += cents;
            }
        }
        out.line(head + "0;99;\"Zimmer " + room + "\";" + std::to_string(items) + ";" +
                 amountText(sum));
        total += sum;
        ++block;
    }
    while (out.lines() < o.reportLines - 1) out.line("21;\"Leerzeile\"");
    out.line("29;\"Summe Zimmer\";" + std::to_string(block) + ";" + amountText(total));
    out.close();
}

// The journal of register 1: `lines` lines of bills.
void writeJournal(const std::string& work, Random& rnd, const Options& o,
                  const std::vector<Article>& articles) {
    Writer out(work + "/VEJournal1.csv");
    long closingKey = 500;
    long bill = 4711;
    long seconds = 11 * 3600;
    auto billLines = [&](long table, long op) {
        const std::string ck = std::to_string(closingKey++);
        const std::string b = std::to_string(bill++);
        seconds += rnd.between(20, 200);
        const long s = seconds % 86400;
        char when[16];
        std::snprintf(when, sizeof when, "%02ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
        const std::string tail =
            ";" + b + ";;;;" + std::to_string(table) + ";" + std::to_string(op) + ";";
        std::vector<std::string> lines;
        lines.push_back("103;" + ck + ";1;11-12-26;" + when + ";" + b + ";;" +
                        (rnd.chance(5) ? "65534" : "2") + ";;" + std::to_string(table) + ";" +
                        std::to_string(op) + ";0;249;\"Rechnung\";;0,00");
        const std::string body = "101;" + ck + ";1;;" + tail;
        lines.push_back(body + "0;0;\"Tisch " + std::to_string(table) + "\";;0,00");
        long sum = 0;
        const long items = rnd.between(3, 10);
        for (long i = 0; i < items; ++i) {
            if (rnd.chance(8)) {
                const long z = rnd.between(1, kZTexts);
                const long cents = rnd.between(150, 900);
                lines.push_back(body + "4000;" + std::to_string(z) + ";\"Z-Text " +
                                std::to_string(z) + "\";;" + amountText(cents));
                sum += cents;
                continue;
            }
            const Article& a =
                articles[static_cast<std::size_t>(rnd.below(static_cast<long>(articles.size())))];
            const long qty = rnd.between(1, 3);
            lines.push_back(body + "10000;" + std::to_string(a.number) + ";\"" + a.name + "\";;" +
                            amountText(qty * a.price));
            sum += qty * a.price;
        }
        if (rnd.chance(10)) {
            const long d = -(sum / 10);
            lines.push_back(body + "1000;0;\"-10%\";;" + amountText(d));
            sum += d;
        }
        if (rnd.chance(25)) {
            const long cents = rnd.between(50, 500);
            lines.push_back(body + "900;" + std::to_string(rnd.chance(70) ? 2 : 6) +
                            ";\"Trinkgeld\";;" + amountText(cents));
        }
        if (rnd.chance(10))
            lines.push_back(body + "0;98;\"Trinkgeld\";;" + amountText(-rnd.between(50, 300)));
        if (rnd.chance(30)) {
            const long given = (sum / 1000 + 1) * 1000;
            lines.push_back(body + "0;97;\"Gegeben\";;" + amountText(given));
        }
        lines.push_back(body + "700;" + std::to_string(rnd.chance(60) ? 1 : 3) + ";\"" +
                        (rnd.chance(60) ? "Bar" : "EC-Karte") + "\";;" + amountText(sum));
        return lines;
    };
    while (out.lines() < o.journalLines) {
        const long table = rnd.between(1, 60);
        const long op = rnd.between(1, kOperators);
        std::vector<std::string> lines = billLines(table, op);
        // Three bills in a hundred are reactivated and closed again.
        if (rnd.chance(3)) {
            const std::string b = std::to_string(bill - 1);
            lines.push_back("101;0;1;;;" + b + ";;;;" + std::to_string(table) + ";" +
                            std::to_string(op) + ";1300;11;\"Storno Rechnung\";;0,00");
            for (std::string& l : billLines(table, op)) lines.push_back(std::move(l));
        }
        for (const std::string& l : lines) {
            if (out.lines() >= o.journalLines) break;
            out.line(l);
        }
    }
    out.close();
}

bool makeDir(const std::string& path) {
    return ::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
}

bool readCount(const char* text, long& out) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno || !end || *end || v < 1 || v > 10000000) return false;
    out = v;
    return true;
}

const char* const kUsage =
    "usage: hotel-day --out DIR [--seed N] [--rooms N] [--report-lines N] [--guests N]\n"
    "                 [--articles N] [--journal-lines N]\n"
    "defaults: seed 1, 1000 rooms, 20000 report lines, 1000 guests, 5000 articles,\n"
    "          20000 journal lines\n";

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-h" || a == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (i + 1 >= argc) {
            std::cerr << kUsage;
            return 2;
        }
        const char* v = argv[++i];
        long n = 0;
        bool ok = true;
        if (a == "--out") {
            o.out = v;
        } else if (a == "--seed") {
            ok = readCount(v, n);
            o.seed = static_cast<std::uint64_t>(n);
        } else if (a == "--rooms") {
            ok = readCount(v, o.rooms) && o.rooms <= 9900;  // room numbers of five digits
        } else if (a == "--report-lines") {
            ok = readCount(v, o.reportLines);
        } else if (a == "--guests") {
            ok = readCount(v, o.guests) && o.guests <= 9900;
        } else if (a == "--articles") {
            ok = readCount(v, o.articles) && o.articles <= 80000;
        } else if (a == "--journal-lines") {
            ok = readCount(v, o.journalLines);
        } else {
            ok = false;
        }
        if (!ok) {
            std::cerr << "hotel-day: bad option " << a << " " << v << "\n" << kUsage;
            return 2;
        }
    }
    if (o.out.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string work = o.out + "/work", hotel = o.out + "/hotel";
    if (!makeDir(o.out) || !makeDir(work) || !makeDir(hotel)) {
        std::cerr << "hotel-day: cannot create the directories under " << o.out << "\n";
        return 1;
    }
    // One stream of numbers per file, so that changing one size leaves the
    // others as they were.
    Random tables(o.seed * 4 + 0), guests(o.seed * 4 + 1), report(o.seed * 4 + 2),
        journal(o.seed * 4 + 3);
    const std::vector<Article> articles = makeArticles(tables, o.articles);
    writeTables(work, tables, articles);
    writeGuestFiles(hotel, makeGuests(guests, o.guests, o.rooms));
    writeRoomReport(work, report, o, articles);
    writeJournal(work, journal, o, articles);
    return 0;
}
