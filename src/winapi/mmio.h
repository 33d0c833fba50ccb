#pragma once
// The multimedia file calls the wave reader makes, as a RIFF reader of our own
// over the file's bytes: open, descend into and find chunks, ascend, seek, read,
// and buffered reads through an I/O information record. Chunk sizes are checked
// against their parent and the file; a chunk that does not fit is not found.

#include <cstddef>
#include <cstdint>

#include "winapi/win32.h"

struct MmioFile;
using HMMIO = MmioFile*;
using FOURCC = DWORD;

struct MMCKINFO {
  FOURCC ckid;
  DWORD cksize;
  FOURCC fccType;
  DWORD dwDataOffset;
  DWORD dwFlags;
};

struct MMIOINFO {
  DWORD dwFlags;
  char* pchBuffer;
  char* pchNext;
  char* pchEndRead;
  char* pchEndWrite;
  LONG lDiskOffset;
};

constexpr DWORD MMIO_READ = 0x0;
constexpr DWORD MMIO_ALLOCBUF = 0x10000;
constexpr UINT MMIO_FINDCHUNK = 0x10;
constexpr UINT MMIO_FINDRIFF = 0x20;
constexpr UINT MMSYSERR_NOERROR = 0;
constexpr UINT MMIOERR_CHUNKNOTFOUND = 265;
constexpr UINT MMIOERR_CANNOTREAD = 259;
constexpr UINT MMIOERR_CANNOTSEEK = 261;
constexpr int SEEK_SET_MMIO = 0;

constexpr FOURCC mmioFOURCC(char a, char b, char c, char d) {
  return DWORD(uint8_t(a)) | DWORD(uint8_t(b)) << 8 | DWORD(uint8_t(c)) << 16 | DWORD(uint8_t(d)) << 24;
}

HMMIO mmioOpenA(const char* fileName, MMIOINFO* info, DWORD flags);
// The same over bytes already in memory (tests and fuzzing); the bytes are copied.
HMMIO mmioOpenBytes(const uint8_t* data, size_t size);
UINT mmioClose(HMMIO file, UINT flags);
UINT mmioDescend(HMMIO file, MMCKINFO* chunk, const MMCKINFO* parent, UINT flags);
UINT mmioAscend(HMMIO file, MMCKINFO* chunk, UINT flags);
LONG mmioRead(HMMIO file, char* buffer, LONG count);
LONG mmioSeek(HMMIO file, LONG offset, int origin);
UINT mmioGetInfo(HMMIO file, MMIOINFO* info, UINT flags);
UINT mmioSetInfo(HMMIO file, const MMIOINFO* info, UINT flags);
UINT mmioAdvance(HMMIO file, MMIOINFO* info, UINT flags);
