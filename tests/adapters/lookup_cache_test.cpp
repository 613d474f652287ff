// The lookups that keep an index of their file (guest files of the four
// hotel software packages, VBED.CSV, VART.CSV, VZtxt.CSV): every answer is
// the one the line-by-line reading gives, a file changed in place is read
// again at once, and a file that cannot be opened is reported at every
// lookup, whatever was kept.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "interface/adapters/HotlineFiles.h"
#include "interface/adapters/Hs3Files.h"
#include "interface/adapters/ProtelGuests.h"
#include "interface/adapters/ProtelTables.h"
#include "interface/adapters/VeloxFiles.h"
#include "interface/registerfiles/lookup_cache.h"
#include "interface/registerfiles/register_tables.h"
#include "platform/file_stamp.h"
#include "support/temp_dir.h"

namespace {

const char* resultText(int r) {
    static const char* const names[] = {"found", "not found", "cannot open"};
    return names[r];
}

std::string guestAnswer(int result, const regfiles::GastDaten& g) {
    return std::string(resultText(result)) + " " + g.Zimmer + "|" + g.Name + "|" + g.Konto;
}

// A lookup: its file, the file changed in place (same length, other
// answers), the questions, and how to ask one in a directory.
struct Lookup {
    const char* name;
    const char* file;  // as written into the directory
    std::string contents;
    std::string changed;
    std::vector<std::string> questions;
    std::function<std::string(const std::string& dir, const std::string& question)> ask;
};

std::string block(std::string text, std::size_t size) {
    text.resize(size, ' ');
    return text;
}

std::vector<Lookup> lookups() {
    std::vector<Lookup> all;
    all.push_back(
        {"HS-3 guests",
         "HS3CASH.OUT",
         "4711;\"101\";\"Meier\"\r\n4712;\"102  \";\"Schulz\"\r\n4713;\"101\";\"Zweiter\"\r\n"
         "4714;101;\"Ohne\"\r\n4715\r\n4716;\"" +
             std::string(40, '7') + "\";\"Lang\"\r\n4717;\"\";\"Leer\"\r\n",
         "4711;\"201\";\"Meier\"\r\n4712;\"102  \";\"Schulz\"\r\n4713;\"101\";\"Zweiter\"\r\n"
         "4714;101;\"Ohne\"\r\n4715\r\n4716;\"" +
             std::string(40, '7') + "\";\"Lang\"\r\n4717;\"\";\"Leer\"\r\n",
         {"101", "102", "201", "103", "", "0", "10", std::string(29, '7'), "0101"},
         [](const std::string& dir, const std::string& q) {
             regfiles::GastDaten g;
             const auto r = hs3::findGuest(dir + "/HS3CASH.OUT", q, g);
             return guestAnswer(static_cast<int>(r), g);
         }});
    // ROOM.DAT: 65 characters and a line end; the later block of a room wins.
    const std::string roomDat = block("101       4711      Meier", 65) + "\r\n" +
                                block("102       4712      Schulz", 65) + "\r\n" +
                                block("101       4713      Zweiter", 65) + "\r\n" +
                                block("0123456789ABCDEFGHIJ", 65) + "\r\n" +
                                block("103", 50);  // a rest of 50: still a record
    std::string roomDatChanged = roomDat;
    roomDatChanged.replace(0, 3, "201");
    all.push_back({"Velox guests",
                   "ROOM.DAT",
                   roomDat,
                   roomDatChanged,
                   {"101", "102", "201", "103", "", "0123456789", "104"},
                   [](const std::string& dir, const std::string& q) {
                       regfiles::GastDaten g;
                       const auto r = velox::findGuest(dir + "/ROOM.DAT", q, g);
                       return guestAnswer(static_cast<int>(r), g);
                   }});
    // OSNAME.DAT: blocks of 152 with the record mark last; the first wins.
    auto osname = [](const std::string& text, char mark = ' ') { return block(text, 151) + mark; };
    const std::string osnameDat = osname("  1014711      Meier") +
                                  osname("101  4712      Zweiter") +
                                  osname("  1024713      Alt", 'D') + osname("  1024714      Neu") +
                                  osname("    74715      Sieben") + block("104", 100);
    std::string osnameChanged = osnameDat;
    osnameChanged.replace(2, 3, "201");
    all.push_back({"hotline guests",
                   "OSNAME.DAT",
                   osnameDat,
                   osnameChanged,
                   {"101", "102", "201", "7", "", "104", "0101"},
                   [](const std::string& dir, const std::string& q) {
                       regfiles::GastDaten g;
                       const auto r = hotline::findGuest(dir + "/OSNAME.DAT", q, g);
                       return guestAnswer(static_cast<int>(r), g);
                   }});
    all.push_back({"Protel guests",
                   "INHOUSE.DAT",
                   "1|4711|101|Meier, Hans|x\r\n2|4712|101|Zweiter\r\n3|4713|205 A|Schulz\r\n"
                   "4|4714|103\r\n5|4715||Ohne\r\n6|4716|" +
                       std::string(40, '8') + "|Lang\r\n7|4717|106|Letzte",
                   "1|4711|201|Meier, Hans|x\r\n2|4712|101|Zweiter\r\n3|4713|205 A|Schulz\r\n"
                   "4|4714|103\r\n5|4715||Ohne\r\n6|4716|" +
                       std::string(40, '8') + "|Lang\r\n7|4717|106|Letzte",
                   {"101", "201", "205", "205 A", "103", "", std::string(29, '8'), "106", "0101"},
                   [](const std::string& dir, const std::string& q) {
                       regfiles::GastDaten g;
                       const auto r = protel::findGuest(dir + "/INHOUSE.DAT", q, g);
                       return guestAnswer(static_cast<int>(r), g);
                   }});
    // The driver writes VBED.CSV, the lookup asks for VBed.CSV.
    all.push_back({"operators",
                   "VBED.CSV",
                   "1;7;\"Anna\"\r\n1;8;\"Bert\"\r\n1;7;\"Zweite\"\r\n1;07;\"Null\"\r\n1;9\r\n"
                   "1;123456789012;\"Lang\"\r\n",
                   "1;7;\"Olga\"\r\n1;8;\"Bert\"\r\n1;7;\"Zweite\"\r\n1;07;\"Null\"\r\n1;9\r\n"
                   "1;123456789012;\"Lang\"\r\n",
                   {"7", "8", "07", "9", "", "123456789", "5"},
                   [](const std::string& dir, const std::string& q) {
                       const regfiles::OperatorRead r = regfiles::readOperatorName(dir, q);
                       return std::string(resultText(static_cast<int>(r.result))) + " " + r.name;
                   }});
    std::string articles;
    for (const char* a : {"42", "43", "42", "0042"}) {
        std::string line = std::string("10000;") + a + ";\"Bier;hell\";350;8" + a;
        for (int f = 6; f <= 43; ++f) line += ";0";
        articles += line + ";\"G" + a + "\"\r\n";
    }
    articles += "10000;44;x;1;8044\r\n10000;45;x;1\r\n";
    std::string articlesChanged = articles;
    articlesChanged.replace(articlesChanged.find("842"), 3, "942");
    all.push_back({"articles",
                   "VART.CSV",
                   articles,
                   articlesChanged,
                   {"42", "43", "0042", "44", "45", "", "46"},
                   [](const std::string& dir, const std::string& q) {
                       std::string number = q, group = "alt";
                       const auto r = protel::lookUpArticle(dir, number, group);
                       return std::string(resultText(static_cast<int>(r))) + " " + number + "|" +
                              group;
                   }});
    all.push_back(
        {"Z texts",
         "VZtxt.CSV",
         "4000;12;1200;\"Nuesse\"\r\n4000;12;1300;x\r\n4000;\"15\";\"1210\"\r\n4000;16\r\n",
         "4000;12;1201;\"Nuesse\"\r\n4000;12;1300;x\r\n4000;\"15\";\"1210\"\r\n4000;16\r\n",
         {"12", "15", "16", "", "012"},
         [](const std::string& dir, const std::string& q) {
             std::string number = q;
             const auto r = protel::lookUpZText(dir, number);
             return std::string(resultText(static_cast<int>(r))) + " " + number;
         }});
    return all;
}

std::vector<std::string> answers(const Lookup& l, const std::string& dir, bool keep) {
    plat::setLookupCachesEnabled(keep);
    std::vector<std::string> out;
    for (const std::string& q : l.questions) out.push_back(q + " -> " + l.ask(dir, q));
    return out;
}

// Waits until every file in `dir` has settled, so that lookups keep it.
void waitUntilSettled(const testsupport::TempDir& dir, const std::vector<Lookup>& all) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    for (const Lookup& l : all) {
        while (std::chrono::steady_clock::now() < until) {
            const auto stamp = plat::stampOfPath(dir.file(l.file));
            if (stamp && plat::settled(*stamp, plat::realTimeNs())) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
}

class LookupCacheTest : public ::testing::Test {
  protected:
    void TearDown() override { plat::setLookupCachesEnabled(true); }
};

}  // namespace

TEST_F(LookupCacheTest, KeptIndexesAnswerAsTheReadingDoes) {
    testsupport::TempDir dir;
    const std::vector<Lookup> all = lookups();
    for (const Lookup& l : all) dir.write(l.file, l.contents);
    waitUntilSettled(dir, all);
    for (const Lookup& l : all) {
        SCOPED_TRACE(l.name);
        const std::vector<std::string> reading = answers(l, dir.str(), false);
        const std::size_t built = regfiles::lookupIndexesBuilt();
        EXPECT_EQ(answers(l, dir.str(), true), reading);
        EXPECT_EQ(regfiles::lookupIndexesBuilt(), built + 1) << "the settled file is indexed once";
        EXPECT_EQ(answers(l, dir.str(), true), reading);
        EXPECT_EQ(regfiles::lookupIndexesBuilt(), built + 1) << "and the index is kept";

        // Rewritten in place with the same length: seen at the next lookup.
        dir.write(l.file, l.changed);
        const std::vector<std::string> changed = answers(l, dir.str(), false);
        EXPECT_NE(changed, reading);
        EXPECT_EQ(answers(l, dir.str(), true), changed);

        // A new file renamed over it.
        dir.write(std::string(l.file) + ".neu", l.contents);
        std::filesystem::rename(dir.file(std::string(l.file) + ".neu"), dir.file(l.file));
        EXPECT_EQ(answers(l, dir.str(), true), reading);
    }
}

TEST_F(LookupCacheTest, AFileThatCannotBeOpenedIsReportedAtEveryLookup) {
    testsupport::TempDir dir;
    const std::vector<Lookup> all = lookups();
    for (const Lookup& l : all) dir.write(l.file, l.contents);
    waitUntilSettled(dir, all);
    for (const Lookup& l : all) {
        SCOPED_TRACE(l.name);
        answers(l, dir.str(), true);  // the index is kept
        const std::string path = dir.file(l.file);
        // A directory in its place cannot be opened as a file.
        std::filesystem::remove(path);
        std::filesystem::create_directory(path);
        for (bool keep : {true, false}) {
            for (const std::string& answer : answers(l, dir.str(), keep))
                EXPECT_NE(answer.find("-> cannot open"), std::string::npos) << answer;
        }
        std::filesystem::remove(path);
        for (const std::string& answer : answers(l, dir.str(), true))
            EXPECT_NE(answer.find("-> cannot open"), std::string::npos) << answer;
        // Back again: answered from the file as it is now.
        dir.write(l.file, l.changed);
        EXPECT_EQ(answers(l, dir.str(), true), answers(l, dir.str(), false));
    }
}

TEST(FileStamp, SettledOnlyWellAfterTheLastChange) {
    constexpr std::int64_t s = 1000000000;
    plat::FileStamp fine;
    fine.modifiedNs = 100 * s + 123456789;
    fine.changedNs = 100 * s + 223456789;
    EXPECT_FALSE(plat::settled(fine, fine.changedNs));
    EXPECT_FALSE(plat::settled(fine, fine.changedNs + s / 2 - 1));
    EXPECT_TRUE(plat::settled(fine, fine.changedNs + s / 2));
    EXPECT_FALSE(plat::settled(fine, fine.changedNs - 10 * s)) << "a time in the future";
    // Whole seconds: a file system that counts in 2 s.
    plat::FileStamp coarse;
    coarse.modifiedNs = 100 * s;
    coarse.changedNs = 100 * s;
    EXPECT_FALSE(plat::settled(coarse, 102 * s));
    EXPECT_TRUE(plat::settled(coarse, 102 * s + s / 2));
}

// The kept index is used only for the very stamp it was built from: a file
// that differs in any part of its stamp is read again, whatever the others
// say (a second write within the clock's tick changes only the size; a copy
// that keeps its times changes only the inode and the status-change time).
TEST_F(LookupCacheTest, AnyOtherStampReadsTheFileAgain) {
    plat::setLookupCachesEnabled(true);
    constexpr std::int64_t s = 1000000000;
    plat::FileStamp kept;
    kept.device = 1;
    kept.inode = 2;
    kept.size = 300;
    kept.modifiedNs = 100 * s + 5;
    kept.changedNs = 100 * s + 5;  // long settled

    struct Case {
        const char* what;
        void (*change)(plat::FileStamp&);
    };
    const Case cases[] = {
        {"size only (within the same tick)", [](plat::FileStamp& st) { st.size += 1; }},
        {"shorter, same times", [](plat::FileStamp& st) { st.size -= 100; }},
        {"modification time only", [](plat::FileStamp& st) { st.modifiedNs += 1; }},
        {"modification time set back", [](plat::FileStamp& st) { st.modifiedNs -= s; }},
        {"status-change time only", [](plat::FileStamp& st) { st.changedNs += 1; }},
        {"another inode", [](plat::FileStamp& st) { st.inode += 1; }},
        {"another device", [](plat::FileStamp& st) { st.device += 1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        regfiles::LookupCache<std::string> cache;
        int reads = 0;
        auto read = [&](const std::string& text) {
            return [&reads, text](std::string& index) {
                ++reads;
                index = text;
                return true;
            };
        };
        bool complete = false;
        EXPECT_EQ(cache.get("/d/f", kept, complete, read("old")), "old");
        EXPECT_EQ(cache.get("/d/f", kept, complete, read("never")), "old");
        EXPECT_EQ(reads, 1) << "the same stamp answers from the index";

        plat::FileStamp other = kept;
        c.change(other);
        EXPECT_EQ(cache.get("/d/f", other, complete, read("new")), "new");
        EXPECT_EQ(reads, 2);
        EXPECT_EQ(cache.get("/d/f", other, complete, read("never")), "new");
        EXPECT_EQ(reads, 2) << "the new index is kept in its place";
        EXPECT_EQ(cache.get("/d/f", kept, complete, read("old again")), "old again");
        EXPECT_EQ(reads, 3) << "the old stamp's index is gone";
    }
}

TEST_F(LookupCacheTest, AFreshOrPartlyReadFileIsNotKept) {
    plat::setLookupCachesEnabled(true);
    regfiles::LookupCache<std::string> cache;
    int reads = 0;
    bool complete = true;
    plat::FileStamp fresh;
    fresh.size = 10;
    fresh.modifiedNs = fresh.changedNs = plat::realTimeNs();
    auto read = [&](std::string& index) {
        ++reads;
        index = "x";
        return true;
    };
    cache.get("/d/f", fresh, complete, read);
    cache.get("/d/f", fresh, complete, read);
    EXPECT_EQ(reads, 2) << "a file changed just now may change again within the tick";

    plat::FileStamp settled = fresh;
    settled.modifiedNs = settled.changedNs = 100;
    auto failing = [&](std::string& index) {
        ++reads;
        index = "part";
        return false;
    };
    EXPECT_EQ(cache.get("/d/f", settled, complete, failing), "part");
    EXPECT_FALSE(complete);
    cache.get("/d/f", settled, complete, failing);
    EXPECT_EQ(reads, 4) << "a reading that failed midway serves its own lookup only";
}

// On the disk: a guest file rewritten with another length, or with the same
// length and its modification time put back to what it was, answers anew at
// once, though its index was kept.
TEST_F(LookupCacheTest, ARewriteWithTimesPutBackIsSeen) {
    testsupport::TempDir dir;
    const std::vector<Lookup> all = lookups();
    for (const Lookup& l : all) dir.write(l.file, l.contents);
    waitUntilSettled(dir, all);
    for (const Lookup& l : all) {
        SCOPED_TRACE(l.name);
        const std::string path = dir.file(l.file);
        const std::vector<std::string> before = answers(l, dir.str(), true);
        const std::filesystem::file_time_type mtime = std::filesystem::last_write_time(path);

        dir.write(l.file, l.changed);  // same length
        std::filesystem::last_write_time(path, mtime);
        const std::vector<std::string> changed = answers(l, dir.str(), false);
        ASSERT_NE(changed, before);
        EXPECT_EQ(answers(l, dir.str(), true), changed);

        dir.write(l.file, l.contents + l.changed);  // longer; the first match still wins
        std::filesystem::last_write_time(path, mtime);
        EXPECT_EQ(answers(l, dir.str(), true), answers(l, dir.str(), false));
    }
}
