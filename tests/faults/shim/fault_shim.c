/* Read faults for the fault tests, loaded with LD_PRELOAD into the program
 * under test. Every setting names a file by its last path component:
 *   QUORVID_FAULT_VANISH=name     open() of that file fails with ENOENT, as if
 *                                 it was removed after the folder was listed
 *   QUORVID_FAULT_EIO=name:bytes  read() of that file fails with EIO once
 *                                 `bytes` bytes were read from it
 *   QUORVID_FAULT_GATE=name:path  open() of that file first creates `path`, then
 *                                 waits (up to 20 s) until `path` is removed
 *   QUORVID_FAULT_LOG=path        every name opened is appended to `path`
 * Nothing else changes. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#define MAX_TRACKED 1024

static long long g_readSoFar[MAX_TRACKED]; /* bytes read per descriptor, -1: untracked */
static int g_initialised;

static void Initialise(void) {
  if (g_initialised) return;
  for (int i = 0; i < MAX_TRACKED; ++i) g_readSoFar[i] = -1;
  g_initialised = 1;
}

static const char* BaseName(const char* path) {
  const char* slash = strrchr(path, '/');
  return slash != NULL ? slash + 1 : path;
}

/* The value of `variable` when its name part (before any ':') equals the last
 * component of `path`; `rest` gets what follows the ':' ("" when none). */
static int Names(const char* variable, const char* path, const char** rest) {
  const char* value = getenv(variable);
  if (value == NULL || path == NULL) return 0;
  const char* colon = strchr(value, ':');
  size_t length = colon != NULL ? (size_t)(colon - value) : strlen(value);
  const char* base = BaseName(path);
  if (strlen(base) != length || strncmp(base, value, length) != 0) return 0;
  *rest = colon != NULL ? colon + 1 : "";
  return 1;
}

static void Log(const char* path) {
  const char* log = getenv("QUORVID_FAULT_LOG");
  if (log == NULL) return;
  FILE* file = fopen(log, "a");
  if (file == NULL) return;
  fprintf(file, "%s\n", BaseName(path));
  fclose(file);
}

static void Gate(const char* markerPath) {
  FILE* marker = fopen(markerPath, "w");
  if (marker != NULL) fclose(marker);
  /* The test removes the marker once it has sent its signal; a signal that
     came before the sleep began would not cut a single long sleep short. */
  struct timespec slice = {0, 10 * 1000 * 1000};
  for (int i = 0; i < 2000 && access(markerPath, F_OK) == 0; ++i) nanosleep(&slice, NULL);
}

static int Before(const char* path) {
  const char* rest;
  Initialise();
  if (path == NULL) return 0;
  if (strncmp(path, "/proc/", 6) != 0 && strncmp(path, "/etc/", 5) != 0 &&
      strncmp(path, "/usr/", 5) != 0 && strncmp(path, "/lib", 4) != 0)
    Log(path);
  if (Names("QUORVID_FAULT_GATE", path, &rest)) Gate(rest);
  if (Names("QUORVID_FAULT_VANISH", path, &rest)) {
    errno = ENOENT;
    return -1;
  }
  return 0;
}

static int After(const char* path, int fd) {
  const char* rest;
  if (fd >= 0 && fd < MAX_TRACKED)
    g_readSoFar[fd] = Names("QUORVID_FAULT_EIO", path, &rest) ? 0 : -1;
  return fd;
}

static mode_t ModeArgument(int flags, va_list args) {
  return (flags & (O_CREAT | O_TMPFILE)) != 0 ? (mode_t)va_arg(args, int) : 0;
}

typedef int (*OpenFunction)(const char*, int, ...);

/* The faults of `path`, then the real call named `name`. */
static int OpenThrough(const char* name, OpenFunction* real, const char* path, int flags,
                       mode_t mode) {
  if (*real == NULL) *real = (OpenFunction)dlsym(RTLD_NEXT, name);
  if (Before(path) != 0) return -1;
  return After(path, (*real)(path, flags, mode));
}

int open(const char* path, int flags, ...) {
  static OpenFunction real;
  va_list args;
  va_start(args, flags);
  mode_t mode = ModeArgument(flags, args);
  va_end(args);
  return OpenThrough("open", &real, path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  static OpenFunction real;
  va_list args;
  va_start(args, flags);
  mode_t mode = ModeArgument(flags, args);
  va_end(args);
  return OpenThrough("open64", &real, path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...) {
  static int (*real)(int, const char*, int, ...);
  if (real == NULL) real = (int (*)(int, const char*, int, ...))dlsym(RTLD_NEXT, "openat");
  va_list args;
  va_start(args, flags);
  mode_t mode = ModeArgument(flags, args);
  va_end(args);
  if (Before(path) != 0) return -1;
  return After(path, real(dir, path, flags, mode));
}

ssize_t read(int fd, void* buffer, size_t size) {
  static ssize_t (*real)(int, void*, size_t);
  if (real == NULL) real = (ssize_t(*)(int, void*, size_t))dlsym(RTLD_NEXT, "read");
  Initialise();
  if (fd < 0 || fd >= MAX_TRACKED || g_readSoFar[fd] < 0) return real(fd, buffer, size);
  const char* value = strchr(getenv("QUORVID_FAULT_EIO"), ':');
  long long limit = value != NULL ? atoll(value + 1) : 0;
  if (g_readSoFar[fd] >= limit) {
    errno = EIO;
    return -1;
  }
  if ((long long)size > limit - g_readSoFar[fd]) size = (size_t)(limit - g_readSoFar[fd]);
  ssize_t n = real(fd, buffer, size);
  if (n > 0) g_readSoFar[fd] += n;
  return n;
}

int close(int fd) {
  static int (*real)(int);
  if (real == NULL) real = (int (*)(int))dlsym(RTLD_NEXT, "close");
  if (fd >= 0 && fd < MAX_TRACKED) g_readSoFar[fd] = -1;
  return real(fd);
}
