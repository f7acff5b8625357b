// The stub on Linux and other POSIX systems: the same extractor, reporting on the terminal.
// Used by the tests and by people who receive an archive on such a system.
#include <fcntl.h>
#include <iconv.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "sfx_core.h"
#include "sfx_platform.h"

namespace sfx {
namespace {

int g_self = -1;
uint64_t g_size = 0;
char g_dest[4096];
char g_final[8192];
char g_temp[8192 + 32];
int g_out = -1;

bool validUtf8(const unsigned char* p, size_t n) {
  for (size_t i = 0; i < n;) {
    unsigned c = p[i];
    size_t k = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
    if (k == 9 || i + k >= n + (k ? 0 : 1)) return false;
    for (size_t j = 1; j <= k; ++j)
      if ((p[i + j] & 0xC0) != 0x80) return false;
    i += k + 1;
  }
  return true;
}

// Appends one component in UTF-8 (CP932 names converted) to `out`.
bool appendPart(char* out, size_t cap, const unsigned char* p, size_t n, bool utf8) {
  size_t used = strlen(out);
  char conv[1024];
  const char* src = (const char*)p;
  size_t len = n;
  if (!utf8 && !validUtf8(p, n)) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd != (iconv_t)-1) {
      char* in = (char*)p;
      size_t inLeft = n;
      char* o = conv;
      size_t oLeft = sizeof conv;
      if (iconv(cd, &in, &inLeft, &o, &oLeft) != (size_t)-1) {
        src = conv;
        len = sizeof conv - oLeft;
      }
      iconv_close(cd);
    }
  }
  if (used + 1 + len + 1 > cap) return false;
  out[used++] = '/';
  memcpy(out + used, src, len);
  out[used + len] = 0;
  return true;
}

}  // namespace

bool openSelf() {
  g_self = open("/proc/self/exe", O_RDONLY);
  if (g_self < 0) return false;
  struct stat st;
  if (fstat(g_self, &st) != 0) return false;
  g_size = (uint64_t)st.st_size;
  return true;
}

uint64_t selfSize() { return g_size; }

size_t readSelf(uint64_t offset, void* buf, size_t len) {
  size_t done = 0;
  while (done < len) {
    ssize_t r = pread(g_self, (char*)buf + done, len - done, (off_t)(offset + done));
    if (r <= 0) break;
    done += (size_t)r;
  }
  return done;
}

bool setDestination(const char* arg, const char* settingsFolder) {
  const char* d = arg && *arg ? arg : settingsFolder && *settingsFolder ? settingsFolder : ".";
  if (strlen(d) >= sizeof g_dest) return false;
  strcpy(g_dest, d);
  size_t n = strlen(g_dest);
  while (n > 1 && g_dest[n - 1] == '/') g_dest[--n] = 0;
  mkdir(g_dest, 0777);
  struct stat st;
  return stat(g_dest, &st) == 0 && S_ISDIR(st.st_mode);
}

bool beginMember(const Name& n, bool folder) {
  strcpy(g_final, g_dest);
  int folders = folder ? n.count : n.count - 1;
  for (int i = 0; i < n.count; ++i) {
    if (!appendPart(g_final, sizeof g_final, n.part[i], n.len[i], n.utf8)) return false;
    struct stat st;
    bool exists = lstat(g_final, &st) == 0;
    if (i < folders) {
      // Never through a symbolic link: everything stays inside the destination.
      if (exists && !S_ISDIR(st.st_mode)) return false;
      if (!exists && mkdir(g_final, 0777) != 0) return false;
    } else if (exists && S_ISDIR(st.st_mode)) {
      return false;
    }
  }
  if (folder) return true;
  snprintf(g_temp, sizeof g_temp, "%s.zvsfx%d", g_final, (int)getpid());
  g_out = open(g_temp, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0666);
  return g_out >= 0;
}

bool writeMember(const void* buf, size_t len) {
  const char* p = (const char*)buf;
  while (len) {
    ssize_t w = write(g_out, p, len);
    if (w <= 0) return false;
    p += w;
    len -= (size_t)w;
  }
  return true;
}

bool endMember(bool keep, uint32_t unixTime) {
  bool ok = close(g_out) == 0;
  g_out = -1;
  if (keep && ok) {
    struct timespec ts[2] = {{(time_t)unixTime, 0}, {(time_t)unixTime, 0}};
    utimensat(AT_FDCWD, g_temp, ts, 0);
    if (rename(g_temp, g_final) == 0) {
      printf("%s\n", g_final);
      return true;
    }
  }
  unlink(g_temp);
  return false;
}

bool confirm(const char* title, const char* message) {
  if (title && *title) printf("%s\n", title);
  if (message && *message) printf("%s\n", message);
  return true;
}

void report(const char* title, int files, int failures, bool quiet) {
  if (failures)
    fprintf(stderr, "%d 個のファイルを解凍しました。%d 個は解凍できませんでした。\n", files,
            failures);
  else if (!quiet)
    printf("%d 個のファイルを %s に解凍しました。\n", files, g_dest);
}

}  // namespace sfx

int main(int argc, char** argv) {
  const char* dest = 0;
  bool quiet = false;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "-q") == 0)
      quiet = true;
    else
      dest = argv[i];
  }
  return sfx::run(dest, quiet);
}
