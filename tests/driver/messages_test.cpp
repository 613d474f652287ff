#include "driver/messages.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "driver/status_codes.h"
#include "platform/file.h"
#include "support/temp_dir.h"

using namespace tarvik;
using testsupport::TempDir;

TEST(MessageTable, DefaultsAndStatusTexts) {
    MessageTable m;
    EXPECT_EQ(m.text(1), "Tarvik");
    EXPECT_EQ(m.text(8), "Records : ");
    EXPECT_EQ(m.text(30), "Login Error");
    EXPECT_EQ(m.text(31), "");
    EXPECT_EQ(m.text(0), "");
    EXPECT_EQ(m.text(51), "");
    const char* byCode[] = {"OK",
                            "Error Opening Log File",
                            "Error Opening Command File",
                            "Error Opening COM port",
                            "Invalid Command",
                            "No Answer",
                            "User Break",
                            "Error Opening File",
                            "Error Writing to File",
                            "File Not Open",
                            "COM port not open",
                            "Unknown Report",
                            "Invalid Function",
                            "Still in Transaction",
                            "Invalid Command Parameter",
                            "No Connection",
                            "PLU File is Full",
                            "Login Error"};
    for (int code = 0; code <= kLastStatusCode; ++code) EXPECT_EQ(m.statusText(code), byCode[code]);
    EXPECT_EQ(m.statusText(18), "");
}

TEST(MessageTable, MissingFileIsCreatedWithTheDefaults) {
    TempDir dir;
    MessageTable m;
    m.load(dir.file("Tarvik.TXT"));
    std::string text = dir.read("Tarvik.TXT");
    EXPECT_EQ(text, MessageTable::defaultFileContents());
    EXPECT_EQ(text.substr(0, 25), "1=Tarvik\r\n2=Receiving\r\n3=");
    EXPECT_NE(text.find("\r\n8=Records : \r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 16), "30=Login Error\r\n");
    EXPECT_EQ(text.find("31="), std::string::npos);
    EXPECT_EQ(m.text(14), "Invalid Command");
}

TEST(MessageTable, FileLinesOverrideEntries) {
    TempDir dir;
    dir.write("m.TXT",
              "14=Ung\xc3\xbcltiger Befehl\r\n"  // status code 4 in German
              "31=free entry\n"
              "7=" +
                  std::string(45, 'x') +
                  "\n"                                    // cut to 40
                  "0=zero\n51=too far\nno equals sign\n"  // ignored
                  "abc=not a number\n"                    // counts as entry 0
                  "16=\n"                                 // empties entry 16
                  " 6=Befehl :\n"                         // blanks before the number
                  "9=O=K\r\n"                             // text after the first "="
                  "2=" +
                  std::string(200, 'y') + "\n3=next line\n");
    MessageTable m;
    m.load(dir.file("m.TXT"));
    EXPECT_EQ(m.statusText(4), "Ung\xc3\xbcltiger Befehl");
    EXPECT_EQ(m.text(31), "free entry");
    EXPECT_EQ(m.text(7), std::string(40, 'x'));
    EXPECT_EQ(m.text(16), "");
    EXPECT_EQ(m.text(6), "Befehl :");
    EXPECT_EQ(m.text(9), "O=K");
    EXPECT_EQ(m.text(2), std::string(40, 'y'));
    EXPECT_EQ(m.text(3), "next line");  // the rest of a long line is no line of its own
    EXPECT_EQ(m.text(1), "Tarvik");     // not named: default
}

TEST(MessageTable, TextsAreCutAt40BytesButNeverInsideACharacter) {
    MessageTable m;
    std::string umlauts;
    for (int i = 0; i < 25; ++i) umlauts += "\xc3\xa4";  // 50 bytes of two-byte characters
    m.set(31, umlauts);
    EXPECT_EQ(m.text(31).size(), 40u);
    m.set(31, "x" + umlauts);  // the 40th byte would split a character
    EXPECT_EQ(m.text(31).size(), 39u);
}

TEST(MessageTable, UnusableFileKeepsTheDefaults) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "Tarvik.TXT");  // neither readable nor creatable
    MessageTable m;
    m.load(dir.file("Tarvik.TXT"));
    EXPECT_EQ(m.text(14), "Invalid Command");
    m.load(dir.file("nodir/Tarvik.TXT"));
    EXPECT_EQ(m.text(1), "Tarvik");
}

TEST(MessageTable, CreationStopsAtTheFirstFailedWrite) {
    TempDir dir;
    plat::injectWriteFailureAfter(2);
    MessageTable m;
    m.load(dir.file("Tarvik.TXT"));
    plat::injectWriteFailureAfter(-1);
    EXPECT_EQ(dir.read("Tarvik.TXT"), "1=Tarvik\r\n2=Receiving\r\n");
    EXPECT_EQ(m.text(3), "Sending");
}
