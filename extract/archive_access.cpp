#include "extract/archive_access.h"

#include <cstring>

#include "core/app.h"
#include "core/forms/form.h"
#include "core/libraries/archivers.h"
#include "core/libraries/library_call.h"

namespace zv::extract {

namespace {
ListingLibrary* library(Form& owner, ArchiveKind kind) {
  ArchiverSet* set = owner.app().archivers;
  if (!set) return nullptr;
  return kind == ArchiveKind::Lzh ? set->lha() : set->zip();
}

ZvWindow handleOf(Form& owner) { return &owner; }

std::string fieldText(const char* field, size_t width) {
  return std::string(field, strnlen(field, width));
}
}  // namespace

CommandResult runCommand(Form& owner, ArchiveKind kind, const std::string& command,
                         uint32_t bufferSize) {
  CommandResult result;
  result.code =
      runArchiver(owner.app().archivers, kind == ArchiveKind::Lzh ? Archiver::Lha : Archiver::Zip,
                  command, &result.output, bufferSize, handleOf(owner));
  result.filledBuffer = bufferSize > 0 && result.output.size() + 1 >= bufferSize;
  return result;
}

int fileCount(ArchiveKind kind, Form& owner, const std::string& archivePath) {
  ListingLibrary* lib = library(owner, kind);
  return lib ? lib->fileCount(archivePath) : -1;
}

Listing listMembers(Form& owner, ArchiveKind kind, const std::string& archivePath, uint32_t mode) {
  Listing listing;
  ListingLibrary* lib = library(owner, kind);
  if (!lib) {
    listing.readable = false;
    return listing;
  }
  listing.count = lib->fileCount(archivePath);
  if (listing.count < 0) {
    listing.readable = false;
    return listing;
  }
  if (listing.count == 0) return listing;
  ZvArchive handle = lib->openArchive(archivePath, mode, handleOf(owner));
  if (!handle) {
    listing.readable = false;
    return listing;
  }
  // The count decides how many members are taken; a find that reports no member ends the
  // listing early, so no entry is ever made up from an unfilled record.
  alignas(4) unsigned char buffer[ZV_MEMBER_INFO_BUFFER] = {};
  auto* info = reinterpret_cast<ZvMemberInfo*>(buffer);
  int found = lib->findFirst(handle, "*.*", *info);
  if (found != ZV_FIND_OK) listing.readable = false;
  for (int i = 0; i < listing.count && found == ZV_FIND_OK; ++i) {
    MemberRecord m;
    m.name = lib->fileName(handle).value_or(fieldText(info->name, sizeof info->name));
    m.originalSize = info->original_size;
    m.packedSize = info->packed_size;
    m.crc = info->crc;
    m.ratio = info->ratio;
    m.date = info->date;
    m.time = info->time;
    m.attribute = fieldText(info->attribute, sizeof info->attribute);
    m.method = fieldText(info->method, sizeof info->method);
    m.nameEscaped = (info->name_flags & ZV_NAME_ESCAPED) != 0;
    listing.namesDecided = info->names_decided;
    listing.members.push_back(std::move(m));
    listing.stopsAtDamage = listing.stopsAtDamage || (info->flag & ZV_MEMBER_LAST_READ) != 0;
    if (i + 1 < listing.count) found = lib->findNext(handle, *info);
  }
  listing.stopsAtDamage = listing.stopsAtDamage || found == ZV_ERROR_BROKEN_ARCHIVE;
  lib->closeArchive(handle);
  return listing;
}

int ishCheck(Form& owner, const std::string& path, int mode) {
  ArchiverSet* set = owner.app().archivers;
  IshLibrary* ish = set ? set->ish() : nullptr;
  return ish ? ish->checkArchive(path, mode) : 0;
}

int ishRun(Form& owner, const std::string& command) {
  return runArchiver(owner.app().archivers, Archiver::Ish, command, nullptr, 0, handleOf(owner));
}

std::string ishLastOutput(Form& owner) {
  ArchiverSet* set = owner.app().archivers;
  IshLibrary* ish = set ? set->ish() : nullptr;
  return ish ? ish->lastOutput() : "";
}

}  // namespace zv::extract
