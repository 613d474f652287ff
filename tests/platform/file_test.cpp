#include "platform/file.h"

#include <gtest/gtest.h>

#include "platform/text.h"
#include "support/temp_dir.h"

using plat::File;
using testsupport::TempDir;

TEST(File, ExclusiveOpenRefusesASecondOpenAndLeavesTheFileAlone) {
    TempDir dir;
    dir.write("job.LOG", "kept");
    File first;
    ASSERT_TRUE(first.open(dir.file("job.LOG"), File::Mode::Append));
    File second;
    EXPECT_FALSE(second.open(dir.file("JOB.log"), File::Mode::Create));
    EXPECT_FALSE(second.open(dir.file("job.LOG"), File::Mode::Read));
    // The refused Create must not have emptied the file the first holder has.
    EXPECT_EQ(dir.read("job.LOG"), "kept");
    first.close();
    EXPECT_TRUE(second.open(dir.file("job.LOG"), File::Mode::Create));
    EXPECT_EQ(dir.read("job.LOG"), "");
}

TEST(File, ModesAppendAndCreate) {
    TempDir dir;
    File f;
    ASSERT_TRUE(f.open(dir.file("out.csv"), File::Mode::Append));
    ASSERT_TRUE(f.write("one\r\n"));
    f.close();
    ASSERT_TRUE(f.open(dir.file("OUT.CSV"), File::Mode::Append));  // same file, other case
    ASSERT_TRUE(f.write("two\r\n"));
    EXPECT_EQ(f.size(), 10);
    f.close();
    EXPECT_EQ(dir.read("out.csv"), "one\r\ntwo\r\n");
    EXPECT_FALSE(dir.exists("OUT.CSV"));
    EXPECT_FALSE(f.open(dir.file("missing"), File::Mode::Read));
    EXPECT_FALSE(f.open(dir.file("nodir/x"), File::Mode::Create));
    EXPECT_FALSE(f.open(dir.str(), File::Mode::Append));  // a directory is no file
}

TEST(File, CreateNewRefusesAnExistingFileInAnyCase) {
    TempDir dir;
    dir.write("Out_1.csv", "kept");
    File f;
    EXPECT_FALSE(f.open(dir.file("out_1.CSV"), File::Mode::CreateNew));
    EXPECT_EQ(dir.read("Out_1.csv"), "kept");
    ASSERT_TRUE(f.open(dir.file("out_2.csv"), File::Mode::CreateNew));
    EXPECT_TRUE(f.write("x"));
    f.close();
    EXPECT_EQ(dir.read("out_2.csv"), "x");
}

TEST(File, InjectedWriteFailure) {
    TempDir dir;
    File f;
    ASSERT_TRUE(f.open(dir.file("x"), File::Mode::Create));
    plat::injectWriteFailureAfter(1);
    EXPECT_TRUE(f.write("a"));
    EXPECT_FALSE(f.write("b"));
    plat::injectWriteFailureAfter(-1);
    EXPECT_TRUE(f.write("c"));
    f.close();
    EXPECT_EQ(dir.read("x"), "ac");
}

TEST(Text, WindowsTextMode) {
    EXPECT_EQ(plat::toCrLf("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(plat::fromCrLf("a\r\nb\rc\r\n\r"), "a\nb\rc\n\r");
    TempDir dir;
    File f;
    ASSERT_TRUE(f.open(dir.file("t.txt"), File::Mode::Create));
    ASSERT_TRUE(plat::writeText(f, "x\ny\n"));
    f.close();
    EXPECT_EQ(dir.read("t.txt"), "x\r\ny\r\n");
    std::string back;
    ASSERT_TRUE(plat::readTextFile(dir.file("T.TXT"), back));
    EXPECT_EQ(back, "x\ny\n");
}
