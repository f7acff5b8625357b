// The cause of a failed file operation in words. Every message that reports such a failure
// keeps its own text and adds one line "原因： …" after it when the cause is known, so a full
// disk and a read-only folder no longer read the same.
#pragma once
#include <string>

namespace zv {

// From the runtime error number a failed step raised ("容量不足です…" for 61); empty for a
// number that names no cause.
std::string failureCause(int runtimeError);

// From the non-zero result of an archiver library command; empty when it names no cause.
std::string libraryFailureCause(int result);

// The cause of a failure with one member or file: its name first ("a.txt： " + cause), so the
// failure box says which one failed; empty when the cause is.
std::string memberCause(const std::string& name, const std::string& cause);

// `text`, then a line "原因： " + cause when the cause is not empty.
std::string withCause(const std::string& text, const std::string& cause);

// `text`, then, after a blank line, what the library wrote about its run (trailing line
// breaks dropped) when it wrote anything.
std::string withLibraryReport(const std::string& text, std::string report);

}  // namespace zv
