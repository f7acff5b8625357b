#include "core/libraries/library_host.h"

#include <algorithm>
#include <cstring>

#include "core/services/services.h"
#include "platform/drives.h"

namespace zv {

namespace {

int progressThunk(void* user, const ZvProgress* p) {
  return p ? static_cast<LibraryHost*>(user)->progress(*p) : 0;
}
int decideThunk(void* user, ZvDecision* d) {
  return d ? static_cast<LibraryHost*>(user)->decide(*d) : 0;
}

// Copies an answer into the library's buffer; false when it does not fit.
bool putAnswer(ZvDecision& d, const std::string& text) {
  if (!d.answer || d.answer_size == 0 || text.size() >= d.answer_size) return false;
  std::memcpy(d.answer, text.data(), text.size());
  d.answer[text.size()] = '\0';
  return true;
}

std::string text(const char* s) { return s ? s : ""; }

}  // namespace

int perMille(uint64_t done, uint64_t total) {
  if (total == 0) return 0;
  return static_cast<int>(std::min<uint64_t>(1000, done * 1000 / total));
}

LibraryHost::LibraryHost(Services& services) : services_(services) {
  host_.user = this;
  host_.progress = &progressThunk;
  host_.decide = &decideThunk;
}

void LibraryHost::setSpan(size_t index, size_t count) {
  spanIndex_ = index;
  spanCount_ = count;
}

void LibraryHost::endSpan() {
  spanCount_ = 0;
  if (shown_) services_.hideProgress();
  shown_ = false;
}

int LibraryHost::progress(const ZvProgress& p) {
  const bool inSpan = spanCount_ > 1;
  if (p.state == ZV_PROGRESS_END) {
    // The next member's run goes on in the same window; endSpan closes it.
    if (inSpan && spanIndex_ + 1 < spanCount_) return 0;
    services_.hideProgress();
    shown_ = false;
    return 0;
  }
  if (p.state == ZV_PROGRESS_BEGIN) {
    lastAsked_.clear();
    if (text(p.archive) != passwordArchive_) password_.clear();
    currentArchive_ = text(p.archive);
    // A member's run inside a span goes on with the window and the answers of the first.
    if (!inSpan || !shown_) {
      overwriteAll_ = false;
      services_.showProgress("処理中です", "書庫 " + text(p.archive), p.total != 0 || inSpan);
    }
    shown_ = true;
  }
  std::string line = p.member ? text(p.archive) + "\n" + p.member : std::string();
  int done = perMille(p.done, p.total);
  if (inSpan) done = static_cast<int>((spanIndex_ * 1000 + size_t(done)) / spanCount_);
  return services_.stepProgress(line, done) ? 1 : 0;
}

int LibraryHost::decide(ZvDecision& d) {
  std::string path = text(d.path);
  switch (d.kind) {
    case ZV_DECIDE_OVERWRITE: {
      if (overwriteAll_) return 1;
      enum { kYes, kAll, kNo, kCancel };
      int answer =
          services_.choiceBox(path + "\nは既に存在します。上書きしますか？", "上書きの確認",
                              {"はい", "すべて上書き", "いいえ", "キャンセル"}, kNo, kCancel);
      if (answer == kAll) overwriteAll_ = true;
      return answer == kYes || answer == kAll ? 1 : answer == kNo ? 0 : -1;
    }
    case ZV_DECIDE_SFX_TITLE: {
      std::optional<std::vector<std::string>> answers =
          services_.fieldsBox("自己解凍書庫の設定", windowsPath(path) + " から作る自己解凍書庫",
                              {{"タイトル：", text(d.answer), "sfxTitle"},
                               {"解凍前のメッセージ：", "", "sfxMessage"},
                               {"標準の解凍先フォルダ：", "", "sfxFolder"}});
      if (!answers || answers->size() != 3) return -1;  // no file is made
      sfxMessage_ = (*answers)[1];
      sfxFolder_ = (*answers)[2];
      return putAnswer(d, (*answers)[0]) ? 1 : 0;
    }
    case ZV_DECIDE_SFX_MESSAGE:
      return putAnswer(d, sfxMessage_) ? 1 : 0;
    case ZV_DECIDE_SFX_FOLDER:
      return putAnswer(d, sfxFolder_) ? 1 : 0;
    case ZV_DECIDE_PASSWORD: {
      if (!d.answer || d.answer_size == 0) return 0;
      // Asked again for the same member: the last answer did not open it.
      bool retry = lastAsked_ == path;
      lastAsked_ = path;
      if (!retry && !password_.empty()) {
        typedLast_ = false;
        return putAnswer(d, password_) ? 1 : 0;
      }
      std::string wrong = retry && typedLast_ ? "パスワードが違います。\n" : "";
      std::optional<std::string> typed =
          services_.passwordBox(wrong + path + "\nのパスワードを入力してください。", "パスワード");
      if (!typed || !putAnswer(d, *typed)) return 0;  // one that does not fit gives up
      typedLast_ = true;
      password_ = *typed;
      passwordArchive_ = currentArchive_;
      return 1;
    }
    default:
      return 0;
  }
}

}  // namespace zv
