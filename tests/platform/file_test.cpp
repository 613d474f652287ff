#include "platform/file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>

#include "platform/paths.h"

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

TEST(File, InjectedPassingWriteFailure) {
    TempDir dir;
    File f;
    ASSERT_TRUE(f.open(dir.file("x"), File::Mode::Create));
    plat::injectWriteFailureAfter(1, 2);  // the second and third write fail
    EXPECT_TRUE(f.write("a"));
    EXPECT_FALSE(f.write("b"));
    EXPECT_FALSE(f.write("c"));
    EXPECT_TRUE(f.write("d"));
    EXPECT_TRUE(f.write("e"));
    plat::injectWriteFailureAfter(-1);
    f.close();
    EXPECT_EQ(dir.read("x"), "ade");
}

TEST(ReplacingFile, OldContentsUntilCommit) {
    TempDir dir;
    dir.write("Hs3Cash.in", "old\r\n");
    ::chmod(dir.file("Hs3Cash.in").c_str(), 0640);
    plat::ReplacingFile f;
    ASSERT_TRUE(f.open(dir.file("HS3CASH.IN")));  // the existing file, whatever its case
    EXPECT_EQ(f.target(), dir.file("Hs3Cash.in"));
    ASSERT_TRUE(f.write("new 1\r\n"));
    ASSERT_TRUE(f.write("new 2\r\n"));
    EXPECT_EQ(dir.read("Hs3Cash.in"), "old\r\n");  // a reader finds the old file meanwhile
    EXPECT_TRUE(dir.exists(plat::baseName(f.tempPath())));
    ASSERT_TRUE(f.commit());
    EXPECT_EQ(dir.read("Hs3Cash.in"), "new 1\r\nnew 2\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("Hs3Cash.in").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(ReplacingFile, AFailedWriteOrADiscardLeavesTheOldFile) {
    TempDir dir;
    dir.write("BOOK.DAT", "old");
    {
        plat::ReplacingFile f;
        ASSERT_TRUE(f.open(dir.file("BOOK.DAT")));
        plat::injectWriteFailureAfter(1);
        EXPECT_TRUE(f.write("a"));
        EXPECT_FALSE(f.write("b"));
        plat::injectWriteFailureAfter(-1);
        EXPECT_FALSE(f.write("c"));  // after a failure nothing more is taken
        EXPECT_TRUE(f.failed());
        EXPECT_FALSE(f.commit());
    }
    {
        plat::ReplacingFile f;  // dropped without commit
        ASSERT_TRUE(f.open(dir.file("BOOK.DAT")));
        ASSERT_TRUE(f.write("never"));
    }
    EXPECT_EQ(dir.read("BOOK.DAT"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    // A new file appears only with the commit.
    plat::ReplacingFile f;
    ASSERT_TRUE(f.open(dir.file("NEW.DAT")));
    EXPECT_FALSE(dir.exists("NEW.DAT"));
    ASSERT_TRUE(f.commit());
    EXPECT_EQ(dir.read("NEW.DAT"), "");
    EXPECT_FALSE(f.open(dir.str()));             // a directory is never replaced
    EXPECT_FALSE(f.open(dir.file("no/x.dat")));  // nor written where there is no directory
}

TEST(ReplacingFile, LeftOversOfAKilledWriterAreRemoved) {
    TempDir dir;
    dir.write("ROOMBOOK.DAT", "old");
    // A writer that is gone (no process 999999999 runs) and one that still
    // runs (this process's parent), and files that are not left-overs.
    dir.write("ROOMBOOK.DAT.~999999999.tmp", "half");
    const std::string running = "ROOMBOOK.DAT.~" + std::to_string(::getppid()) + ".tmp";
    dir.write(running, "busy");
    dir.write("ROOMBOOK.DAT.~x.tmp", "other");
    dir.write("OTHER.DAT.~999999999.tmp", "other");
    plat::ReplacingFile f;
    ASSERT_TRUE(f.open(dir.file("ROOMBOOK.DAT")));
    EXPECT_FALSE(dir.exists("ROOMBOOK.DAT.~999999999.tmp"));
    EXPECT_TRUE(dir.exists(running));
    EXPECT_TRUE(dir.exists("ROOMBOOK.DAT.~x.tmp"));
    EXPECT_TRUE(dir.exists("OTHER.DAT.~999999999.tmp"));
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
