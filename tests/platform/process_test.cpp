#include "platform/process.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

TEST(Process, RunsWithoutAShellInTheWorkingDirectoryAndWaits) {
    testsupport::TempDir dir;
    std::string sh = plat::findProgram("sh", dir.str());
    ASSERT_FALSE(sh.empty());
    int rc = plat::runAndWait(sh, {"sh", "-c", "pwd > where.txt; exit 3"}, dir.str());
    EXPECT_EQ(rc, 3);
    EXPECT_EQ(dir.read("where.txt"), dir.str() + "\n");
    EXPECT_EQ(plat::runAndWait(dir.file("nothing-here"), {"x"}, dir.str()), -1);
    EXPECT_TRUE(plat::findProgram("no-such-program-anywhere", dir.str()).empty());
}
