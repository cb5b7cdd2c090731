#include "platform/state_folder.h"

#include <gtest/gtest.h>

TEST(StateFolder, IsTheExecutablesFolderWhenTheUserMayWriteThere) {
    EXPECT_EQ(StateFolder("/home/ann/pavona/build", true, "/home/ann/.cfg", "/home/ann"),
              "/home/ann/pavona/build");
    EXPECT_EQ(StateFolder("", true, "", "/home/ann"), ""); // the root folder
}

TEST(StateFolder, IsTheUsersConfigurationFolderWhenTheExecutablesIsReadOnly) {
    EXPECT_EQ(StateFolder("/usr/bin", false, "/home/ann/.cfg", "/home/ann"),
              "/home/ann/.cfg/pavona");
    // XDG_CONFIG_HOME unset or empty: the default under HOME.
    EXPECT_EQ(StateFolder("/usr/bin", false, "", "/home/ann"), "/home/ann/.config/pavona");
    EXPECT_EQ(StateFolder("/usr/bin", false, "", "/home/ann/"), "/home/ann/.config/pavona");
    // A relative XDG_CONFIG_HOME is ignored rather than read from the current folder.
    EXPECT_EQ(StateFolder("/usr/bin", false, "cfg", "/home/ann"), "/home/ann/.config/pavona");
    // Neither: the executable's folder, where saving is then refused.
    EXPECT_EQ(StateFolder("/usr/bin", false, "", ""), "/usr/bin");
    EXPECT_EQ(StateFolder("/usr/bin", false, "cfg", "home"), "/usr/bin");
}

TEST(ExeDirectory, IsTheFolderBeforeTheFirstDotExeInAnyCase) {
    EXPECT_EQ(GetExeDirectory("C:\\Programs\\Pavona\\Pavona.exe"), "C:\\Programs\\Pavona");
    EXPECT_EQ(GetExeDirectory("C:\\Programs\\PAVONA.EXE"), "C:\\Programs");
    EXPECT_EQ(GetExeDirectory("C:\\Programs\\Pavona.ExE"), "C:\\Programs");
    EXPECT_EQ(GetExeDirectory("/opt/x/pavona.exec"), "/opt/x"); // ".exec" holds ".exe"
}

TEST(ExeDirectory, AFolderNamedLikeAnExecutableCounts) {
    EXPECT_EQ(GetExeDirectory("C:\\Data\\tools.exe\\Pavona.exe"), "C:\\Data");
    EXPECT_EQ(GetExeDirectory("/home/ann/tools.exe/bin/pavona"), "/home/ann");
    EXPECT_EQ(GetExeDirectory("D:\\a.exe"), "D:"); // state file then at "D:\Pavona.txt"
}

TEST(ExeDirectory, APathWithoutDotExeGivesTheExecutablesOwnFolder) {
    EXPECT_EQ(GetExeDirectory("/usr/local/bin/pavona"), "/usr/local/bin");
    EXPECT_EQ(GetExeDirectory("/opt/x/pavona.ex"), "/opt/x");
    EXPECT_EQ(GetExeDirectory("/opt/x/pavona."), "/opt/x");
    EXPECT_EQ(GetExeDirectory("/pavona"), ""); // the root folder
}
