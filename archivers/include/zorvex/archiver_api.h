/*
 * The C interface of the three archiver libraries UNLHA32.DLL, UNZIP32.DLL and ISH32.DLL.
 * The program loads each library at run time by its Windows name and calls these functions;
 * the libraries implement them. This header is the only statement of that contract.
 *
 * Strings are UTF-8. Paths may be Windows-style ("C:\dir\a.lzh", resolved through the drive
 * table of the platform layer) or host paths ("/home/me/a.lzh"), with or without enclosing
 * double quotes.
 */
#ifndef ZORVEX_ARCHIVER_API_H
#define ZORVEX_ARCHIVER_API_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ZV_API __attribute__((visibility("default")))

/* Opaque handles: the owner window the caller passes, and an open archive. */
typedef void* ZvWindow;
typedef void* ZvArchive;

/* Member-information record filled by the find-first and find-next functions.
 * Integers little-endian; texts NUL-terminated inside their field. 558 bytes; callers hand
 * the library a buffer of 560 bytes (rounded up to a multiple of 4). */
#pragma pack(push, 1)
typedef struct ZvMemberInfo {
  uint32_t original_size; /* 0 */
  uint32_t packed_size;   /* 4 */
  uint32_t crc;           /* 8 */
  uint32_t flag;          /* 12 */
  uint32_t os_type;       /* 16 */
  uint16_t ratio;         /* 20: packed/original in per mille */
  uint16_t date;          /* 22: MS-DOS packed date */
  uint16_t time;          /* 24: MS-DOS packed time */
  char name[513];         /* 26: path inside the archive, '\' (LZH) or '/' (ZIP) between folders */
  uint8_t name_encoding;  /* 539: ZV_NAMES_* the name was read in, 0 for plain ASCII */
  uint8_t name_flags;     /* 540: ZV_NAME_* */
  uint8_t names_decided;  /* 541: ZV_NAMES_* the archive's unmarked names were read in */
  char attribute[8];      /* 542: e.g. "-rw-" or "----" */
  char method[8];         /* 550: e.g. "-lh5-" or "deflate" */
} ZvMemberInfo;
#pragma pack(pop)

#define ZV_MEMBER_INFO_SIZE 558
#define ZV_MEMBER_INFO_BUFFER 560

/* Encodings of member names. The open functions take one in the low bits of their mode for
 * the names that do not say how they are written (0: the library decides from the archive's
 * names); the commands take it as the switch "--charset=auto|sjis|utf8|euc|cp437|latin1". */
#define ZV_NAMES_AUTO 0
#define ZV_NAMES_SJIS 1
#define ZV_NAMES_UTF8 2
#define ZV_NAMES_EUC 3
#define ZV_NAMES_CP437 4
#define ZV_NAMES_LATIN1 5
#define ZV_NAMES_MASK 0x0F

/* name_flags of the member record. */
#define ZV_NAME_ESCAPED 1  /* bytes the encoding cannot read are shown as %XX ('%' as %25) */
#define ZV_NAME_MARKED 2   /* the archive says the name's encoding (UTF-8 flag, UTF-16...) */
#define ZV_NAME_COMPOSED 4 /* stored decomposed, listed composed (NFC) */

/* Results of the find functions. Past the last member of an archive whose index stops at a
 * damaged header, find-next gives ZV_ERROR_BROKEN_ARCHIVE instead of ZV_FIND_END. */
#define ZV_FIND_OK 0
#define ZV_FIND_END (-1)

/* flag of the member record. ZV_MEMBER_LAST_READ: the archive is damaged behind this member,
 * so the listing ends with it although the archive may hold more. */
#define ZV_MEMBER_ENCRYPTED 1 /* ZIP: the member's data is encrypted */
#define ZV_MEMBER_LAST_READ 2

/* Non-zero results of the command functions (0 is success). */
#define ZV_ERROR_WARNING 0x8000 /* something was skipped, the rest succeeded */
#define ZV_ERROR_DISK_SPACE 0x8005
#define ZV_ERROR_READ_ONLY 0x8006
#define ZV_ERROR_USER_SKIP 0x8007
#define ZV_ERROR_UNKNOWN_TYPE 0x8008
#define ZV_ERROR_METHOD 0x8009 /* unsupported compression method */
#define ZV_ERROR_PASSWORD 0x800A
#define ZV_ERROR_NOT_ARCHIVE 0x8010
#define ZV_ERROR_CRC 0x8011
#define ZV_ERROR_BROKEN_ARCHIVE 0x8012
#define ZV_ERROR_UNSAFE_NAME 0x8013 /* a member name that would leave the destination */
#define ZV_ERROR_CANNOT_CREATE 0x8014
#define ZV_ERROR_CANNOT_OPEN 0x8015
#define ZV_ERROR_NO_FILES 0x8016 /* no member or source file matched */
#define ZV_ERROR_COMMAND 0x8017  /* a command string the library does not understand */
#define ZV_ERROR_USER_CANCEL 0x8018
#define ZV_ERROR_WRITE 0x8019
#define ZV_ERROR_MEMORY 0x801A

/* Host callbacks: progress of a run whose command asked for the library's own progress
 * dialog ("-gn" and the commands without "-n1"), and decisions the library needs from the
 * user. The Qt binding shows them; tests answer them from a script. */
typedef struct ZvProgress {
  const char* archive; /* archive path as given */
  const char* member;  /* member being processed, NULL at begin/end */
  uint64_t done;       /* bytes of the whole run done so far */
  uint64_t total;      /* bytes of the whole run, 0 when unknown */
  int state;           /* ZV_PROGRESS_* */
} ZvProgress;

#define ZV_PROGRESS_BEGIN 0
#define ZV_PROGRESS_MEMBER 1
#define ZV_PROGRESS_END 2

typedef struct ZvDecision {
  int kind;         /* ZV_DECIDE_* */
  const char* path; /* the file or member concerned */
  char* answer;     /* ZV_DECIDE_PASSWORD: the host writes the password here */
  uint32_t answer_size;
} ZvDecision;

#define ZV_DECIDE_OVERWRITE 1 /* return 1 overwrite, 0 skip, -1 cancel the run */
#define ZV_DECIDE_PASSWORD 2  /* return 1 with answer filled, 0 to give up */
/* Self-extracting archive customisation ("s -jw3"): `path` is the archive, `answer` holds the
 * default text (UTF-8) and may be replaced; return 1 to use the answer, 0 to keep the
 * default, -1 to cancel the run. */
#define ZV_DECIDE_SFX_TITLE 3   /* window title of the self-extractor */
#define ZV_DECIDE_SFX_MESSAGE 4 /* message shown before extracting */
#define ZV_DECIDE_SFX_FOLDER 5  /* default destination (relative: below the .exe's folder) */

typedef struct ZvHost {
  void* user;
  /* Returns non-zero to cancel the run. */
  int (*progress)(void* user, const ZvProgress* progress);
  int (*decide)(void* user, ZvDecision* decision);
} ZvHost;

/* ---- UNLHA32.DLL ---- */
ZV_API int Unlha(ZvWindow owner, const char* command, char* output, uint32_t size);
ZV_API int16_t UnlhaGetVersion(void);
ZV_API int UnlhaGetFileCount(const char* archive);
ZV_API ZvArchive UnlhaOpenArchive(ZvWindow owner, const char* archive, uint32_t mode);
ZV_API int UnlhaFindFirst(ZvArchive archive, const char* wildcard, ZvMemberInfo* info);
ZV_API int UnlhaFindNext(ZvArchive archive, ZvMemberInfo* info);
ZV_API int UnlhaCloseArchive(ZvArchive archive);
/* The whole name of the member the last find reported, which the record's name field cuts at
 * 512 bytes: up to size - 1 bytes and a NUL go to the buffer; the result is the name's length
 * in bytes (more than fitted when it is size or larger), -1 when no member was reported. */
ZV_API int UnlhaGetFileName(ZvArchive archive, char* buffer, uint32_t size);
/* Text such as "methods=lh0,lh5,lh6,lh7;levels=0,1,2;sfx=1"; static storage. */
ZV_API const char* UnlhaGetCapabilities(void);
ZV_API void UnlhaSetHost(const ZvHost* host);

/* ---- UNZIP32.DLL ---- */
ZV_API int UnZip(ZvWindow owner, const char* command, char* output, uint32_t size);
ZV_API int16_t UnZipGetVersion(void);
ZV_API int UnZipGetFileCount(const char* archive);
ZV_API ZvArchive UnZipOpenArchive(ZvWindow owner, const char* archive, uint32_t mode);
ZV_API int UnZipFindFirst(ZvArchive archive, const char* wildcard, ZvMemberInfo* info);
ZV_API int UnZipFindNext(ZvArchive archive, ZvMemberInfo* info);
ZV_API int UnZipCloseArchive(ZvArchive archive);
ZV_API int UnZipGetFileName(ZvArchive archive, char* buffer, uint32_t size);
ZV_API const char* UnZipGetCapabilities(void);
ZV_API void UnZipSetHost(const ZvHost* host);

/* ---- ISH32.DLL ---- */
ZV_API int Ish(ZvWindow owner, const char* command);
ZV_API int16_t IshGetVersion(void);
/* Non-zero when the file holds valid ISH data. */
ZV_API int IshCheckArchive(const char* path, int mode);
ZV_API const char* IshGetCapabilities(void);
/* Text output of the last Ish call of this process (messages, names restored). */
ZV_API const char* IshGetLastOutput(void);
/* Host callbacks for the restore mode "/q" (overwrite questions); NULL removes them. */
ZV_API void IshSetHost(const ZvHost* host);

#ifdef __cplusplus
}
#endif

#endif
