// What each command-line companion (zlha, zunzip, zish) gives the shared `main` in
// companion_main.cpp: its library, its help and how it turns its arguments into calls. The
// shared part answers --help, loads the library and turns the result into the exit status.
#pragma once
#include <cstdint>
#include <string>

#include "zorvex/archiver_api.h"

namespace zv::companion {

struct Companion {
  const char* library;          // "UNLHA32.DLL", in the system folder
  const char* libraryVariable;  // "ZV_UNLHA32": a path that overrides the system folder
  const char* help;             // --help and -?; on standard error when arguments are missing
  int fewestArguments;          // besides the program name
  // Runs the arguments with the loaded library, printing its output; returns its result
  // number (0 success).
  int (*run)(void* library, int argc, char** argv);
};

// Defined by each companion.
extern const Companion kCompanion;

// The library function `name`; a missing one ends the program with status 2.
void* librarySymbol(void* library, const char* name);
template <class Fn>
Fn symbol(void* library, const char* name) {
  return reinterpret_cast<Fn>(librarySymbol(library, name));
}

// Calls a library command that writes its text into a buffer, and prints the text.
using TextCommand = int (*)(ZvWindow, const char*, char*, uint32_t);
int runPrinting(TextCommand command, const std::string& line);

// Arguments from the first on, joined with blanks; those `quoted` picks go quoted by the
// libraries' own rule (blanks and quotes in paths survive), a Linux path in the program's form.
std::string joinArguments(int argc, char** argv, bool (*quoted)(int index, const std::string&));

}  // namespace zv::companion
