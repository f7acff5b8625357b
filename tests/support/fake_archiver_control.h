/* Control functions of the recording archiver double (tests only). A test reaches them with
 * dlsym on its own handle of the same file the program loads; fake_archiver.h wraps them. */
#ifndef ZV_FAKE_ARCHIVER_CONTROL_H
#define ZV_FAKE_ARCHIVER_CONTROL_H

#include <stddef.h>

#include "zorvex/archiver_api.h"

#ifdef __cplusplus
extern "C" {
#endif

ZV_API void FakeReset(void);
ZV_API void FakeSetVersion(int version);
/* Result of every later command call (Unlha, UnZip, Ish) once the queue is empty. */
ZV_API void FakeSetResult(int result);
/* Result of the next command call, before FakeSetResult's value applies. */
ZV_API void FakeQueueResult(int result);
/* Text copied into the caller's output buffer (cut to its size minus one). */
ZV_API void FakeSetOutput(const char* text);
ZV_API void FakeClearMembers(void);
ZV_API void FakeAddMember(const ZvMemberInfo* info);
/* What the count functions answer; -1 (the default): the number of members. */
ZV_API void FakeSetFileCount(int count);
ZV_API void FakeSetCheckResult(int result);
ZV_API void FakeSetLastOutput(const char* text);
ZV_API void FakeSetCapabilities(const char* text);
/* A file the next command calls create (as an archiver run would), host path and bytes. */
ZV_API void FakeAddFileToCreate(const char* hostPath, const char* bytes, size_t size);

ZV_API int FakeCallCount(void);
ZV_API void FakeClearCalls(void);
ZV_API const char* FakeCallFunction(int index);
/* The call's arguments as text: the command string, the archive path, the wildcard, or
 * "path mode" for IshCheckArchive and "archive mode" for the open functions. */
ZV_API const char* FakeCallText(int index);
/* Size the caller passed with its output buffer, and whether that buffer held only blanks. */
ZV_API unsigned FakeCallBufferSize(int index);
ZV_API int FakeCallBufferBlank(int index);
ZV_API int FakeCallHadBuffer(int index);

#ifdef __cplusplus
}
#endif

#endif
