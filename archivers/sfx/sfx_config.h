// Settings block of the self-extracting stub. The stub carries one zero-filled block that
// starts with the marker; the LZH library finds the marker in the stub's bytes and fills in
// the title, message and default folder the user chose (UTF-8, NUL-terminated).
#ifndef ZV_SFX_CONFIG_H
#define ZV_SFX_CONFIG_H

#define ZV_SFX_MARKER "ZvSfxSettings01"
#define ZV_SFX_MARKER_SIZE 16
#define ZV_SFX_TITLE_SIZE 128
#define ZV_SFX_MESSAGE_SIZE 512
#define ZV_SFX_FOLDER_SIZE 384

struct ZvSfxSettings {
  char marker[ZV_SFX_MARKER_SIZE];
  char title[ZV_SFX_TITLE_SIZE];
  char message[ZV_SFX_MESSAGE_SIZE];
  char folder[ZV_SFX_FOLDER_SIZE];  // empty: the stub's own folder; relative: below it
};

#endif
