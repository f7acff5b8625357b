// What ISH32.DLL does with files: encode one file into an ISH file, restore the files of an
// ISH text into a folder, and check whether a file holds restorable ISH data.
#pragma once
#include <ctime>
#include <string>
#include <vector>

#include "ish_command.h"
#include "ish_decoder.h"
#include "zorvex/archiver_api.h"

namespace zv::ish {

// Each returns 0 or a ZV_ERROR_* number and appends its messages (lines ending in CR LF).
int runEncode(const IshCommand& cmd, std::string& output);
int runRestore(const IshCommand& cmd, const ZvHost* host, std::string& output);

// Decodes an ISH file (a host path) and, when it is one volume of a set whose other volumes
// are missing from it, the sibling volume files of its folder (NAME.i01, NAME.i02, ...).
std::vector<DecodedFile> decodeFileWithVolumes(const std::string& hostPath);

// The line a check gives one decoded file: "復元できます: NAME (N バイト, K 行を修復)" or
// "復元できません: NAME: why" (the why naming the text lines lost), as a restore says it.
std::string checkLine(const DecodedFile& f);

// Converts between the header's MS-DOS local time and time_t (0: no usable time).
std::time_t fromDosTime(uint16_t date, uint16_t time);
void toDosTime(std::time_t t, uint16_t& date, uint16_t& time);

}  // namespace zv::ish
