// A whole temporary system folder for window tests: the recording double installed as
// UNLHA32.DLL, UNZIP32.DLL and ISH32.DLL (those asked for), the platform's system folder and
// WinDir pointing there, and an ArchiverSet loading from it. Everything is put back when the
// object goes.
//
//   zv::test::FakeSystem sys;
//   app.archivers = &sys.archivers;
//   sys.fakes.lha().setResult(0);
#pragma once
#include <cstdlib>
#include <string>

#include "core/libraries/archivers.h"
#include "platform/drives.h"
#include "platform/folders.h"
#include "tests/support/fake_archiver.h"
#include "tests/support/temp_dir.h"

namespace zv::test {

struct FakeSystem {
  explicit FakeSystem(bool lha = true, bool zip = true, bool ish = true)
      : fakes(dir / "SYSTEM", lha, zip, ish), archivers(windowsPath(dir / "SYSTEM")) {
    folders::overrideSystemFolder(windowsPath(dir / "SYSTEM"));
    if (const char* w = std::getenv("WinDir")) savedWinDir = w, hadWinDir = true;
    unsetenv("WinDir");
  }
  ~FakeSystem() {
    archivers.unloadAll();
    folders::overrideSystemFolder("");
    if (hadWinDir) setenv("WinDir", savedWinDir.c_str(), 1);
  }
  FakeSystem(const FakeSystem&) = delete;
  FakeSystem& operator=(const FakeSystem&) = delete;

  // The system folder in the program's path form ("C:\tmp\zvtest.x\SYSTEM").
  std::string systemFolder() const { return windowsPath(dir / "SYSTEM"); }

  TempDir dir;
  FakeArchivers fakes;
  ArchiverSet archivers;

 private:
  std::string savedWinDir;
  bool hadWinDir = false;
};

}  // namespace zv::test
