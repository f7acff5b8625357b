// The stub on Windows: the same extractor with message boxes, built with mingw-w64 in the
// restricted style (Win32 calls only, no C++ run-time library).
// windows.h first: shellapi.h builds on its declarations.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include "sfx_core.h"
#include "sfx_platform.h"

namespace sfx {
namespace {

HANDLE g_self = INVALID_HANDLE_VALUE;
uint64_t g_size = 0;
wchar_t g_dest[MAX_PATH * 4];
wchar_t g_final[MAX_PATH * 8];
wchar_t g_temp[MAX_PATH * 8];
HANDLE g_out = INVALID_HANDLE_VALUE;

size_t wlen(const wchar_t* s) {
  size_t n = 0;
  while (s[n]) ++n;
  return n;
}

bool wappend(wchar_t* out, size_t cap, const wchar_t* s) {
  size_t a = wlen(out), b = wlen(s);
  if (a + b + 1 > cap) return false;
  for (size_t i = 0; i <= b; ++i) out[a + i] = s[i];
  return true;
}

bool fromUtf8(const char* s, wchar_t* out, int cap) {
  out[0] = 0;
  if (!s || !*s) return true;
  return MultiByteToWideChar(CP_UTF8, 0, s, -1, out, cap) > 0;
}

bool isLinkOrFile(DWORD attr) {
  return (attr & FILE_ATTRIBUTE_REPARSE_POINT) || !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

void message(const wchar_t* text, const char* titleUtf8, UINT flags) {
  wchar_t title[256];
  if (!fromUtf8(titleUtf8, title, 256) || !title[0]) {
    const wchar_t* t = L"自己解凍書庫";
    int i = 0;
    for (; t[i]; ++i) title[i] = t[i];
    title[i] = 0;
  }
  MessageBoxW(0, text, title, flags);
}

}  // namespace

bool openSelf() {
  wchar_t path[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(0, path, MAX_PATH * 4);
  if (n == 0 || n >= MAX_PATH * 4) return false;
  g_self = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING, 0, 0);
  if (g_self == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER sz;
  if (!GetFileSizeEx(g_self, &sz)) return false;
  g_size = (uint64_t)sz.QuadPart;
  return true;
}

uint64_t selfSize() { return g_size; }

size_t readSelf(uint64_t offset, void* buf, size_t len) {
  OVERLAPPED ov = {};
  ov.Offset = (DWORD)offset;
  ov.OffsetHigh = (DWORD)(offset >> 32);
  DWORD got = 0;
  if (!ReadFile(g_self, buf, (DWORD)len, &got, &ov)) return 0;
  return got;
}

bool setDestination(const char* arg, const char* settingsFolder) {
  wchar_t want[MAX_PATH * 4];
  const char* src = arg && *arg ? arg : settingsFolder;
  if (!fromUtf8(src, want, MAX_PATH * 4)) return false;
  bool absolute = want[0] && (want[1] == L':' || (want[0] == L'\\' && want[1] == L'\\'));
  g_dest[0] = 0;
  if (!absolute) {
    // Relative to the folder the self-extracting file is in.
    DWORD n = GetModuleFileNameW(0, g_dest, MAX_PATH * 4);
    if (n == 0) return false;
    while (n > 0 && g_dest[n - 1] != L'\\' && g_dest[n - 1] != L'/') --n;
    g_dest[n] = 0;
  }
  if (!wappend(g_dest, MAX_PATH * 4, want)) return false;
  size_t n = wlen(g_dest);
  while (n > 3 && (g_dest[n - 1] == L'\\' || g_dest[n - 1] == L'/')) g_dest[--n] = 0;
  // Create missing folders of the destination itself.
  for (size_t i = 3; i <= n; ++i) {
    if (i == n || g_dest[i] == L'\\' || g_dest[i] == L'/') {
      wchar_t keep = g_dest[i];
      g_dest[i] = 0;
      CreateDirectoryW(g_dest, 0);
      g_dest[i] = keep;
    }
  }
  DWORD attr = GetFileAttributesW(g_dest);
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool beginMember(const Name& n, bool folder) {
  g_final[0] = 0;
  if (!wappend(g_final, MAX_PATH * 8, g_dest)) return false;
  int folders = folder ? n.count : n.count - 1;
  for (int i = 0; i < n.count; ++i) {
    wchar_t part[512];
    int w = MultiByteToWideChar(n.utf8 ? CP_UTF8 : 932, 0, (const char*)n.part[i], (int)n.len[i],
                                part, 511);
    if (w <= 0) return false;
    part[w] = 0;
    for (int k = 0; k < w; ++k)
      if (part[k] == L':' || part[k] == L'*' || part[k] == L'?' || part[k] == L'"' ||
          part[k] == L'<' || part[k] == L'>' || part[k] == L'|')
        part[k] = L'_';
    if (!wappend(g_final, MAX_PATH * 8, L"\\") || !wappend(g_final, MAX_PATH * 8, part))
      return false;
    DWORD attr = GetFileAttributesW(g_final);
    if (i < folders) {
      if (attr == INVALID_FILE_ATTRIBUTES) {
        if (!CreateDirectoryW(g_final, 0)) return false;
      } else if (isLinkOrFile(attr)) {
        return false;  // never through a link: everything stays inside the destination
      }
    } else if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) {
      return false;
    }
  }
  if (folder) return true;
  g_temp[0] = 0;
  wappend(g_temp, MAX_PATH * 8, g_final);
  if (!wappend(g_temp, MAX_PATH * 8, L".zvsfx")) return false;
  g_out = CreateFileW(g_temp, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
  return g_out != INVALID_HANDLE_VALUE;
}

bool writeMember(const void* buf, size_t len) {
  DWORD done = 0;
  return WriteFile(g_out, buf, (DWORD)len, &done, 0) && done == len;
}

bool endMember(bool keep, uint32_t unixTime) {
  if (keep && unixTime) {
    ULONGLONG t = (ULONGLONG)unixTime * 10000000ull + 116444736000000000ull;
    FILETIME ft = {(DWORD)t, (DWORD)(t >> 32)};
    SetFileTime(g_out, 0, 0, &ft);
  }
  bool ok = CloseHandle(g_out) != 0;
  g_out = INVALID_HANDLE_VALUE;
  if (keep && ok && MoveFileExW(g_temp, g_final, MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileW(g_temp);
  return false;
}

bool confirm(const char* title, const char* messageUtf8) {
  wchar_t text[2048];
  text[0] = 0;
  wchar_t msg[1024];
  if (fromUtf8(messageUtf8, msg, 1024) && msg[0]) {
    wappend(text, 2048, msg);
    wappend(text, 2048, L"\r\n\r\n");
  }
  wappend(text, 2048, L"解凍先: ");
  wappend(text, 2048, g_dest);
  wappend(text, 2048, L"\r\n\r\n解凍しますか？");
  wchar_t wt[256];
  if (!fromUtf8(title, wt, 256) || !wt[0]) {
    const wchar_t* d = L"自己解凍書庫";
    int i = 0;
    for (; d[i]; ++i) wt[i] = d[i];
    wt[i] = 0;
  }
  return MessageBoxW(0, text, wt, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void report(const char* title, int files, int failures, bool quiet) {
  if (quiet && !failures) return;
  wchar_t text[256];
  wchar_t num[16];
  text[0] = 0;
  int v = files, k = 0;
  wchar_t rev[16];
  do {
    rev[k++] = (wchar_t)(L'0' + v % 10);
    v /= 10;
  } while (v && k < 15);
  for (int i = 0; i < k; ++i) num[i] = rev[k - 1 - i];
  num[k] = 0;
  wappend(text, 256, num);
  wappend(text, 256,
          failures ? L" 個のファイルを解凍しました。解凍できなかったファイルがあります。"
                   : L" 個のファイルを解凍しました。");
  message(text, title, failures ? MB_ICONEXCLAMATION : MB_ICONINFORMATION);
}

}  // namespace sfx

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  char dest[MAX_PATH * 4];
  dest[0] = 0;
  bool quiet = false;
  for (int i = 1; argv && i < argc; ++i) {
    if ((argv[i][0] == L'-' || argv[i][0] == L'/') && (argv[i][1] == L'q' || argv[i][1] == L'Q') &&
        argv[i][2] == 0)
      quiet = true;
    else
      WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, dest, sizeof dest, 0, 0);
  }
  int rc = sfx::run(dest[0] ? dest : 0, quiet);
  ExitProcess((UINT)rc);
  return rc;
}
