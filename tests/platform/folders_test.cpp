#include "platform/folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/drives.h"
#include "platform/fileops.h"

namespace folders = zv::folders;

TEST(Folders, WinDirIsDerivedFromTheSystemFolderUnlessSet) {
  unsetenv("WinDir");
  folders::overrideSystemFolder("C:\\opt\\zv\\SYSTEM");
  EXPECT_EQ(folders::winDir(), "C:\\opt\\zv");
  folders::overrideSystemFolder("C:\\SYSTEM");
  EXPECT_EQ(folders::winDir() + "\\SYSTEM", "C:\\SYSTEM");
  setenv("WinDir", "D:\\WINNT", 1);
  EXPECT_EQ(folders::winDir(), "D:\\WINNT");
  unsetenv("WinDir");
  folders::overrideSystemFolder("");
}

TEST(Folders, TheBuildTreeHasASystemFolder) {
  std::string system = folders::systemFolder();
  ASSERT_EQ(system.substr(1, 2), ":\\") << system;
  EXPECT_TRUE(zv::fs::isFolder(system)) << system;
  EXPECT_EQ(system.substr(system.size() - 7), "\\SYSTEM");
}

TEST(Folders, ProgramFolderIsWritable) {
  folders::overrideProgramFolder("");
  std::string program = folders::programFolder();
  ASSERT_EQ(program.substr(1, 2), ":\\");
  EXPECT_TRUE(zv::fs::isFolder(program));
  EXPECT_EQ(access(zv::hostPath(program).c_str(), W_OK), 0);
  folders::overrideProgramFolder("C:\\");
  EXPECT_EQ(folders::programFolder(), "C:\\");
  folders::overrideProgramFolder("");
}
