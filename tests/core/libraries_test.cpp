#include <gtest/gtest.h>

#include "core/libraries/archivers.h"
#include "core/libraries/library_call.h"
#include "platform/drives.h"
#include "tests/support/fake_archiver.h"
#include "tests/support/temp_dir.h"

using zv::ArchiverSet;
using zv::windowsPath;
using zv::test::FakeArchivers;
using zv::test::TempDir;

TEST(Libraries, LoadedByWindowsNameWithDlopen) {
  TempDir dir;
  FakeArchivers fakes(dir / "SYSTEM");
  fakes.lha().setVersion(129);
  fakes.lha().setOutput("listing text");
  fakes.lha().queueResults({0x8012});
  ArchiverSet set(windowsPath(dir / "SYSTEM"));
  ASSERT_NE(set.lha(), nullptr) << set.lastError();
  EXPECT_EQ(set.lha()->version(), 129);

  std::string output;
  EXPECT_EQ(set.lha()->run("l \"C:\\a.lzh\"", &output, zv::kLargeOutputBuffer), 0x8012);
  EXPECT_EQ(output, "listing text");
  EXPECT_EQ(set.lha()->run("x \"C:\\a.lzh\""), 0);
  EXPECT_EQ(set.lha()->run("s \"C:\\a.lzh\"", nullptr, 0), 0);
  auto calls = fakes.lha().calls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[1].text, "l \"C:\\a.lzh\"");
  EXPECT_EQ(calls[1].bufferSize, 60000u);
  EXPECT_TRUE(calls[1].bufferBlank);
  EXPECT_EQ(calls[2].bufferSize, 1024u);
  EXPECT_FALSE(calls[3].hadBuffer);
  EXPECT_EQ(fakes.lha().commands(),
            (std::vector<std::string>{"l \"C:\\a.lzh\"", "x \"C:\\a.lzh\"", "s \"C:\\a.lzh\""}));
  // Each library is its own instance.
  EXPECT_TRUE(fakes.zip().calls().empty());
}

TEST(Libraries, ListingLoopSeesTheMembersTheTestSet) {
  TempDir dir;
  FakeArchivers fakes(dir / "SYSTEM");
  fakes.zip().setMembers({{"a.txt", 10, 5}, {"sub/b.txt"}});
  ArchiverSet set(windowsPath(dir / "SYSTEM"));
  zv::ZipLibrary* zip = set.zip();
  ASSERT_NE(zip, nullptr) << set.lastError();
  int count = zip->fileCount("\"C:\\x.zip\"");
  ASSERT_EQ(count, 2);
  ZvArchive a = zip->openArchive("C:\\x.zip");
  ZvMemberInfo info;
  std::vector<std::string> names;
  EXPECT_EQ(zip->findFirst(a, "*.*", info), ZV_FIND_OK);
  names.push_back(info.name);
  EXPECT_EQ(info.original_size, 10u);
  EXPECT_EQ(zip->findNext(a, info), ZV_FIND_OK);
  names.push_back(info.name);
  EXPECT_EQ(zip->findNext(a, info), ZV_FIND_END);
  zip->closeArchive(a);
  EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "sub/b.txt"}));
  EXPECT_EQ(fakes.zip().functions(),
            (std::vector<std::string>{"UnZipGetFileCount", "UnZipOpenArchive", "UnZipFindFirst",
                                      "UnZipFindNext", "UnZipFindNext", "UnZipCloseArchive"}));
  EXPECT_EQ(fakes.zip().calls()[1].text, "C:\\x.zip 0");
}

TEST(Libraries, IshLibraryCalls) {
  TempDir dir;
  FakeArchivers fakes(dir / "SYSTEM");
  fakes.ish().setCheckResult(0);
  fakes.ish().setLastOutput("restored a.txt");
  ArchiverSet set(windowsPath(dir / "SYSTEM"));
  ASSERT_NE(set.ish(), nullptr) << set.lastError();
  EXPECT_EQ(set.ish()->checkArchive("C:\\a.ish"), 0);
  set.ish()->run("-r C:\\a.ish C:\\out\\");
  EXPECT_EQ(set.ish()->lastOutput(), "restored a.txt");
  EXPECT_EQ(fakes.ish().calls()[0].text, "C:\\a.ish 1");
  EXPECT_EQ(fakes.ish().commands(), (std::vector<std::string>{"-r C:\\a.ish C:\\out\\"}));
}

TEST(Libraries, MissingFilesAndOtherFolders) {
  TempDir dir;
  FakeArchivers fakes(dir / "elsewhere");
  dir.mkdir("SYSTEM/UNZIP32.DLL");  // a folder of that name is no library
  ArchiverSet set(windowsPath(dir / "SYSTEM"));
  EXPECT_FALSE(set.present("UNLHA32.DLL"));
  EXPECT_EQ(set.lha(), nullptr);
  EXPECT_FALSE(set.lastError().empty());
  EXPECT_FALSE(set.present("UNZIP32.DLL"));
  EXPECT_EQ(set.zip(), nullptr);
  // Every window's call of a missing library gets the same answer.
  for (zv::Archiver which : {zv::Archiver::Lha, zv::Archiver::Zip, zv::Archiver::Ish})
    EXPECT_EQ(zv::runArchiver(&set, which, "x \"C:\\a.lzh\""), zv::kLibraryMissing);
  EXPECT_EQ(zv::runArchiver(nullptr, zv::Archiver::Lha, "x"), zv::kLibraryMissing);
  set.setFolder(windowsPath(dir / "elsewhere"));
  EXPECT_NE(set.lha(), nullptr);
  EXPECT_EQ(zv::runArchiver(&set, zv::Archiver::Lha, "x \"C:\\a.lzh\""), 0);
}

TEST(Libraries, NameFoundWithoutRegardToCase) {
  TempDir dir;
  auto lower = FakeArchivers::install(dir / "SYSTEM", "unlha32.dll");
  lower->setVersion(131);
  ArchiverSet set(windowsPath(dir / "SYSTEM"));
  EXPECT_TRUE(set.present("UNLHA32.DLL"));
  ASSERT_NE(set.lha(), nullptr) << set.lastError();
  EXPECT_EQ(set.lha()->version(), 131);
}

TEST(Libraries, AFileThatIsNoLibraryDoesNotLoad) {
  TempDir dir;
  dir.write("SYSTEM/UNLHA32.DLL", "MZ not an ELF file");
  ArchiverSet set(windowsPath(dir / "SYSTEM"));
  EXPECT_TRUE(set.present("UNLHA32.DLL"));
  EXPECT_EQ(set.lha(), nullptr);
  EXPECT_FALSE(set.lastError().empty());
}

#include "core/libraries/library_check.h"
#include "tests/support/fake_system.h"

TEST(Libraries, WindowChecksUseThePlatformSystemFolder) {
  zv::test::FakeSystem sys(true, false, true);
  zv::Shared shared;
  shared.SystemFolder = "C:\\WINDOWS\\SYSTEM";
  EXPECT_TRUE(zv::systemLibraryPresent(shared, "ish32.dll"));
  EXPECT_EQ(shared.SystemFolder, sys.systemFolder());
  EXPECT_FALSE(zv::systemLibraryPresent(shared, "unzip32.dll"));
  ASSERT_NE(sys.archivers.ish(), nullptr);
  sys.archivers.ish()->setHost(nullptr);
  EXPECT_EQ(sys.fakes.ish().functions(), (std::vector<std::string>{"IshSetHost"}));
}

TEST(Libraries, HostCallbacksReachLibrariesLoadedLater) {
  TempDir dir;
  FakeArchivers fakes(dir / "SYSTEM");
  ZvHost host{};
  ArchiverSet set(windowsPath(dir / "SYSTEM"));
  set.setHost(&host);
  EXPECT_TRUE(fakes.lha().calls().empty());  // nothing loaded early
  ASSERT_NE(set.lha(), nullptr);
  ASSERT_NE(set.zip(), nullptr);
  EXPECT_EQ(fakes.lha().functions(), (std::vector<std::string>{"UnlhaSetHost"}));
  EXPECT_EQ(fakes.zip().functions(), (std::vector<std::string>{"UnZipSetHost"}));
}
