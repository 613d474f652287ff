#include "interface/registerfiles/room_list.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/file.h"
#include "support/temp_dir.h"

using namespace regfiles;

namespace {

struct Fixture {
    testsupport::TempDir dir;
    std::vector<std::string> messages;
    std::vector<std::string> asked;
    std::map<std::string, GastDaten> guests;
    bool guestFileOpens = true;
    GastDaten guest;

    RoomListResult run() {
        GuestLookup lookup = [this](const std::string& room, GastDaten& g) {
            asked.push_back(room);
            g.clear();
            if (!guestFileOpens) {
                messages.push_back("Datei HS3CASH.OUT kann nicht gelesen werden");
                return false;
            }
            if (auto it = guests.find(room); it != guests.end()) g = it->second;
            return true;
        };
        return writeRoomList(dir.str(), lookup, guest,
                             [this](const std::string& m) { messages.push_back(m); });
    }
};

GastDaten guestIn(const std::string& room, const std::string& name, const std::string& konto) {
    GastDaten g;
    g.set(room, name, konto);
    return g;
}

}  // namespace

TEST(RoomList, LinesOfTheRoomList) {
    const struct {
        const char* name;
        std::string in;
        std::string out;
        std::vector<std::string> asked;
    } cases[] = {
        {"guest and no guest",
         "1;1;101;0;x\r\n2;2;102;0;x\r\n",
         "1;1;101;0;\"Meier\";\r\n2;2;0;0;\"  \";\r\n",
         {"101", "102"}},
        {"two fields, no lookup", "1;1\r\n", "1;1;\r\n", {}},
        {"three fields", "1;1;101\r\n", "1;1;101;\r\n", {"101"}},
        {"six and more fields give five",
         "1;1;101;0;x;y;z\r\n",
         "1;1;101;0;\"Meier\";\r\n",
         {"101"}},
        {"rooms compared as text", "1;1;0101;0;x\r\n", "1;1;0;0;\"  \";\r\n", {"0101"}},
        {"empty line left out",
         "1;1;101;0;x\r\n\r\n2;2;102;0;x\r\n",
         "1;1;101;0;\"Meier\";\r\n2;2;0;0;\"  \";\r\n",
         {"101", "102"}},
        {"last line without line end written once",
         "1;1;101;0;x",
         "1;1;101;0;\"Meier\";\r\n",
         {"101"}},
        {"empty input", "", "", {}},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.guests["101"] = guestIn("101", "\"Meier\"", "4711");
        f.dir.write("VZIMMER.CSV", c.in);
        EXPECT_EQ(f.run(), RoomListResult::Written) << c.name;
        EXPECT_EQ(f.dir.read("VZIMMERS.CSV"), c.out) << c.name;
        EXPECT_EQ(f.asked, c.asked) << c.name;
        EXPECT_TRUE(f.messages.empty()) << c.name;
    }
}

TEST(RoomList, GuestDataKeepsTheLastLookup) {
    Fixture f;
    f.guests["101"] = guestIn("101", "\"Meier\"", "4711");
    f.dir.write("VZIMMER.CSV", "1;1;102;0;x\r\n1;1;101;0;x\r\n");
    ASSERT_EQ(f.run(), RoomListResult::Written);
    EXPECT_EQ(f.guest, guestIn("101", "\"Meier\"", "4711"));
}

TEST(RoomList, WithoutRoomNumberListNothingIsWritten) {
    Fixture f;
    EXPECT_EQ(f.run(), RoomListResult::NoRoomNumbers);
    EXPECT_EQ(f.messages, (std::vector<std::string>{" Zimmernummern  bitte anlegen ! "}));
    EXPECT_FALSE(f.dir.exists("VZIMMERS.CSV"));
}

TEST(RoomList, NameOfTheListResolvedIgnoringCase) {
    Fixture f;
    f.dir.write("VZimmer.csv", "1;1;103;0;x\r\n");
    f.dir.write("VZimmerS.csv", "old\r\n");
    EXPECT_EQ(f.run(), RoomListResult::Written);
    EXPECT_EQ(f.dir.read("VZimmerS.csv"), "1;1;0;0;\"  \";\r\n");
}

TEST(RoomList, GuestFileMissingStopsWithoutTouchingTheList) {
    Fixture f;
    f.guestFileOpens = false;
    f.dir.write("VZIMMER.CSV", "1;1;101;0;x\r\n2;2;102;0;x\r\n");
    f.dir.write("VZIMMERS.CSV", "1;1;101;0;\"Meier\";\r\n");
    EXPECT_EQ(f.run(), RoomListResult::GuestFileMissing);
    EXPECT_EQ(f.messages,
              (std::vector<std::string>{"Datei HS3CASH.OUT kann nicht gelesen werden"}));
    EXPECT_EQ(f.dir.read("VZIMMERS.CSV"), "1;1;101;0;\"Meier\";\r\n");
}

TEST(RoomList, ListThatCannotBeWritten) {
    Fixture f;
    f.dir.write("VZIMMER.CSV", "1;1;101;0;x\r\n");
    plat::injectWriteFailureAfter(0);
    const RoomListResult r = f.run();
    plat::injectWriteFailureAfter(-1);
    EXPECT_EQ(r, RoomListResult::CannotWrite);
    EXPECT_EQ(f.messages,
              (std::vector<std::string>{"Datei VZimmerS.csv kann nicht geschrieben werden"}));
}
