#include "lzh_paths.h"

#include <sys/stat.h>

#include "lzh_error.h"
#include "platform/drives.h"
#include "platform/runtime_error.h"

namespace zv::lzh {

std::string toHostPath(const std::string& arg) {
  try {
    std::string a = arg;
    // A host path followed by a Windows-style tail ("/data/" + "proj\*.*").
    if (!a.empty() && a.front() == '/')
      for (char& c : a)
        if (c == '\\') c = '/';
    std::string host = DriveTable::instance().toHost(a);
    return host.empty() ? "." : host;
  } catch (const RuntimeError& e) {
    fail(ZV_ERROR_CANNOT_OPEN, "ドライブが見つかりません: " + arg);
  }
}

std::vector<std::string> storedComponents(const std::string& arg) {
  std::vector<std::string> out;
  std::string cur;
  size_t start = 0;
  if (arg.size() >= 2 && arg[1] == ':') start = 2;
  for (size_t i = start; i <= arg.size(); ++i) {
    if (i == arg.size() || arg[i] == '\\' || arg[i] == '/') {
      if (!cur.empty() && cur != "." && cur != "..") out.push_back(cur);
      cur.clear();
    } else {
      cur += arg[i];
    }
  }
  return out;
}

std::string hostParent(const std::string& p) {
  size_t slash = p.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return p.substr(0, slash);
}

std::string hostName(const std::string& p) {
  size_t slash = p.rfind('/');
  return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string archiveHostPath(const std::string& arg) {
  std::string host = toHostPath(arg);
  struct stat st {};
  std::string name = hostName(host);
  if (name.find('.') == std::string::npos && stat(host.c_str(), &st) != 0) {
    std::string withExt = toHostPath(arg + ".lzh");
    return withExt;
  }
  return host;
}

}  // namespace zv::lzh
