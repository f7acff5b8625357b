#include "compress/path_list.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>

#include "core/app.h"
#include "core/forms/form.h"
#include "platform/drives.h"
#include "platform/encoding.h"
#include "platform/fileops.h"
#include "platform/runtime_error.h"
#include "platform/winpath.h"

namespace zv::pathlist {
namespace {

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\0')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
  return s;
}

bool isCp932Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The longest prefix of at most `limit` bytes that ends on a character boundary.
size_t cp932Cut(std::string_view bytes, size_t limit) {
  size_t i = 0;
  while (i < bytes.size()) {
    size_t len = isCp932Lead(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
    if (i + len > limit) break;
    i += len;
  }
  return i;
}

size_t utf8Cut(std::string_view bytes, size_t limit) {
  if (bytes.size() <= limit) return bytes.size();
  size_t i = limit;
  while (i > 0 && (static_cast<unsigned char>(bytes[i]) & 0xC0) == 0x80) --i;
  return i;
}

void putCount(std::string& out, int count) {
  uint16_t v = static_cast<uint16_t>(static_cast<int16_t>(count));
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

std::string record(int count, std::string_view field) {
  std::string r;
  r.reserve(kRecordSize);
  putCount(r, count);
  r.append(field);
  return r;
}

bool writeFully(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

std::vector<std::string> itemsOf(const Control& combo) {
  std::vector<std::string> entries;
  for (int i = 0; i < combo.listCount(); ++i) entries.push_back(combo.list(i));
  return entries;
}

void showListNotSaved(Form& form, const std::string& title) {
  form.services().messageBox("登録パスのリストを保存できませんでした", MsgButtons::OK,
                             MsgIcon::Exclamation, title);
}

}  // namespace

Files compressionFiles(const std::string& programFolder) {
  return {winpath::join(programFolder, "ZORVEX2.DAT"), winpath::join(programFolder, "ZORVEX2.$$$")};
}

Files extractionFiles(const std::string& programFolder) {
  return {winpath::join(programFolder, "ZORVEX.DAT"), winpath::join(programFolder, "ZORVEX.$$$")};
}

std::string encodePathField(std::string_view path) {
  std::string_view text = trimBlanks(path);
  std::string bytes;
  size_t keep;
  if (encoding::fitsCp932(text)) {
    bytes = encoding::utf8ToCp932(text);
    keep = cp932Cut(bytes, kPathBytes);
  } else {
    bytes = std::string(text);
    keep = utf8Cut(bytes, kPathBytes);
  }
  bytes.resize(keep);
  bytes.append(kPathBytes - keep, ' ');
  return bytes;
}

std::string decodePathField(std::string_view field) {
  // 0x20 is never the second byte of a CP932 character, so blanks can be cut before decoding.
  std::string_view bytes = trimBlanks(field);
  std::string text = encoding::decodeUnknown(bytes);
  return std::string(trimBlanks(text));
}

std::string encodeRecords(const std::vector<std::string>& entries) {
  int n = static_cast<int>(entries.size());
  if (n == 0) return record(0, std::string(kPathBytes, ' '));
  std::string out;
  out.reserve(kRecordSize * entries.size());
  for (const auto& e : entries) out += record(n, encodePathField(e));
  return out;
}

std::vector<std::string> decodeRecords(std::string_view bytes) {
  std::vector<std::string> entries;
  if (bytes.size() < 2) return entries;
  int16_t n = static_cast<int16_t>(static_cast<uint8_t>(bytes[0]) |
                                   (static_cast<uint8_t>(bytes[1]) << 8));
  for (int k = 0; k < n; ++k) {
    size_t at = static_cast<size_t>(k) * kRecordSize;
    if (at + 2 > bytes.size()) break;
    std::string_view field = bytes.substr(at + 2, kPathBytes);
    entries.push_back(decodePathField(field));
  }
  return entries;
}

std::vector<std::string> readList(const std::string& listFile) {
  try {
    return decodeRecords(fs::readAll(listFile));
  } catch (const RuntimeError&) {
    return {};
  }
}

bool writeList(const Files& files, const std::vector<std::string>& entries,
               const std::function<void()>& afterRecord) {
  if (entries.size() > static_cast<size_t>(kMaxEntries)) return false;
  std::string temp, list;
  try {
    temp = hostPath(files.temp);
    list = hostPath(files.list);
  } catch (const RuntimeError&) {
    return false;
  }
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  int n = static_cast<int>(entries.size());
  bool ok = true;
  if (n == 0) {
    ok = writeFully(fd, record(0, std::string(kPathBytes, ' ')));
  }
  for (int i = 0; ok && i < n; ++i) {
    ok = writeFully(fd, record(n, encodePathField(entries[i])));
    if (ok && afterRecord) afterRecord();
  }
  if (ok) ok = ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok) ok = ::rename(temp.c_str(), list.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

void loadInto(Control& combo, const std::string& listFile) {
  try {
    if (!fs::isFile(listFile)) return;
  } catch (const RuntimeError&) {
    return;
  }
  std::vector<std::string> entries = readList(listFile);
  combo.clear();
  for (const auto& e : entries) combo.addItem(e);
}

bool registerCurrent(Form& form, Control& combo, const Files& files) {
  const std::string title = "フォルダの登録";
  std::string text = combo.text();
  if (trimBlanks(text).empty()) {
    form.services().messageBox("登録するフォルダを入力してください", MsgButtons::OK,
                               MsgIcon::Exclamation, title);
    combo.setFocus();
    return false;
  }
  if (combo.listCount() >= kMaxEntries) {
    form.services().messageBox("これ以上パスを登録できません（32767 件まで）", MsgButtons::OK,
                               MsgIcon::Exclamation, title);
    return false;
  }
  // No duplicate check: the same path registered twice is two entries.
  combo.addItem(text);
  int added = combo.listCount() - 1;
  Services& services = form.services();
  if (!writeList(files, itemsOf(combo), [&services] { services.doEvents(); })) {
    combo.removeItem(added);
    combo.setText(text);
    showListNotSaved(form, title);
    return false;
  }
  return true;
}

bool deleteSelected(Form& form, Control& combo, const Files& files) {
  const std::string title = "データの削除";
  if (combo.text().empty()) {
    form.services().messageBox("削除するデータを選択してください", MsgButtons::OK,
                               MsgIcon::Exclamation, title);
    combo.setFocus();
    return false;
  }
  int index = combo.listIndex();
  // Text typed by hand (or edited after picking) selects nothing.
  if (index < 0 || index >= combo.listCount() || combo.list(index) != combo.text()) return false;
  std::string item = combo.list(index);
  MsgAnswer a = form.services().messageBox("[" + item + "]\u3000削除してもいいですか",
                                           MsgButtons::OKCancel, MsgIcon::Question, title);
  if (a != MsgAnswer::OK) return false;
  combo.removeItem(index);
  if (!writeList(files, itemsOf(combo))) {
    combo.addItem(item, index);
    showListNotSaved(form, title);
    return false;
  }
  combo.setText("");
  return true;
}

}  // namespace zv::pathlist
