#include "interface/registerfiles/register_tables.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>
#include <vector>

#include "platform/regional.h"
#include "support/temp_dir.h"

using namespace regfiles;

namespace {

// German regional settings for the tests of this file.
class GermanSettings : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* old = ::getenv("LC_ALL");
        hadOld_ = old != nullptr;
        if (old) old_ = old;
        ::setenv("LC_ALL", "de_DE", 1);
        plat::reloadRegional();
    }
    void TearDown() override {
        if (hadOld_)
            ::setenv("LC_ALL", old_.c_str(), 1);
        else
            ::unsetenv("LC_ALL");
        plat::reloadRegional();
    }
    testsupport::TempDir dir;
    std::vector<std::string> messages;
    MessageSink sink = [this](const std::string& m) { messages.push_back(m); };

  private:
    bool hadOld_ = false;
    std::string old_;
};

using VatTable = GermanSettings;
using OperatorTable = GermanSettings;

}  // namespace

TEST_F(VatTable, RateOfNumberOne) {
    const struct {
        const char* name;
        std::string file;
        VatRateRead::Result result;
        std::string rate;
    } cases[] = {
        {"record 1 among others", "1;2;x;700;\r\n1;1;x;1900;\r\n", VatRateRead::Result::Found,
         "19,00"},
        {"700 gives 7,00", "1;1;x;700\r\n", VatRateRead::Result::Found, "7,00"},
        {"decimals with comma", "1;1;x;1950,5\r\n", VatRateRead::Result::Found, "19,51"},
        {"the last record 1 counts", "1;1;x;1600\r\n1;1;x;1900\r\n", VatRateRead::Result::Found,
         "19,00"},
        {"01 is not 1", "1;01;x;700\r\n", VatRateRead::Result::NoRecord, ""},
        {"record 1 without field 4", "1;1;x\r\n", VatRateRead::Result::NoRecord, ""},
        {"empty file", "", VatRateRead::Result::NoRecord, ""},
        {"point is not the German separator", "1;1;x;1900.00\r\n", VatRateRead::Result::NotANumber,
         ""},
        {"empty field 4", "1;1;x;;\r\n", VatRateRead::Result::NotANumber, ""},
        {"separator as the last character opens no field 4", "1;1;x;\r\n",
         VatRateRead::Result::NoRecord, ""},
    };
    for (const auto& c : cases) {
        dir.write("VMWST.CSV", c.file);
        const VatRateRead r = readVatRate(dir.str(), ',');
        EXPECT_EQ(r.result, c.result) << c.name;
        EXPECT_EQ(r.rate, c.rate) << c.name;
    }
}

TEST_F(VatTable, EnglishSeparator) {
    dir.write("VMWST.CSV", "1;1;x;1900.00\r\n");
    EXPECT_EQ(readVatRate(dir.str(), '.').rate, "19.00");
}

TEST_F(VatTable, LookUpKeepsRateWithoutRecordAndReportsMissingFile) {
    std::string rate = "16,00";
    dir.write("VMWST.CSV", "1;2;x;700\r\n");
    EXPECT_TRUE(lookUpVatRate(dir.str(), rate, sink));
    EXPECT_EQ(rate, "16,00");
    EXPECT_TRUE(messages.empty());

    dir.write("VMWST.CSV", "1;1;x;1900\r\n");
    EXPECT_TRUE(lookUpVatRate(dir.str(), rate, sink));
    EXPECT_EQ(rate, "19,00");

    testsupport::TempDir empty;
    EXPECT_TRUE(lookUpVatRate(empty.str(), rate, sink));
    EXPECT_EQ(rate, "19,00");
    EXPECT_EQ(messages, (std::vector<std::string>{"Datei VMWST.CSV kann nicht gelesen werden"}));
}

TEST_F(VatTable, NotANumberEndsTheCaller) {
    std::string rate = "19,00";
    dir.write("vmwst.csv", "1;1;x;abc\r\n");
    EXPECT_FALSE(lookUpVatRate(dir.str(), rate, sink));
    EXPECT_EQ(messages, (std::vector<std::string>{"'abc' ist kein gültiger Gleitkommawert"}));
}

TEST_F(OperatorTable, NameOfAnOperator) {
    // The driver writes VBED.CSV; it is looked up as VBed.CSV.
    dir.write("VBED.CSV",
              "1;7;\"Anna\";x\r\n1;07;\"Null\"\r\n1;8;\"Bert\"\r\n1;7;\"Zweite\"\r\n1;9\r\n");
    const struct {
        const char* number;
        OperatorRead::Result result;
        const char* name;
    } cases[] = {
        {"7", OperatorRead::Result::Found, "\"Anna\""},   // the first of two records counts
        {"07", OperatorRead::Result::Found, "\"Null\""},  // compared as text
        {"8", OperatorRead::Result::Found, "\"Bert\""},
        {"9", OperatorRead::Result::NoRecord, ""},  // no field 3
        {"70", OperatorRead::Result::NoRecord, ""},
        {" 7", OperatorRead::Result::NoRecord, ""},
    };
    for (const auto& c : cases) {
        const OperatorRead r = readOperatorName(dir.str(), c.number);
        EXPECT_EQ(r.result, c.result) << c.number;
        EXPECT_EQ(r.name, c.name) << c.number;
    }
}

TEST_F(OperatorTable, UnknownOperatorOrMissingFileLeavesNoName) {
    dir.write("VBED.CSV", "1;7;\"Anna\"\r\n");
    std::string name;
    lookUpOperatorName(dir.str(), "7", name, sink);
    EXPECT_EQ(name, "\"Anna\"");
    lookUpOperatorName(dir.str(), "5", name, sink);
    EXPECT_EQ(name, "");  // not the name of operator 7
    EXPECT_TRUE(messages.empty());

    name = "\"Anna\"";
    testsupport::TempDir empty;
    lookUpOperatorName(empty.str(), "7", name, sink);
    EXPECT_EQ(name, "");
    EXPECT_EQ(messages, (std::vector<std::string>{"Datei VBed.CSV kann nicht gelesen werden"}));
}

TEST_F(OperatorTable, NameCutToItsWidth) {
    dir.write("VBED.CSV", "1;7;" + std::string(40, 'n') + "\r\n");
    EXPECT_EQ(readOperatorName(dir.str(), "7").name, std::string(29, 'n'));
}
