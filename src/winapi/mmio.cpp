#include "winapi/mmio.h"

#include <cstring>
#include <vector>

#include "base/little_endian.h"
#include "image/file_bytes.h"

struct MmioFile {
  std::vector<uint8_t> bytes;
  size_t position = 0;
};

namespace {

constexpr FOURCC kRiff = mmioFOURCC('R', 'I', 'F', 'F');
constexpr FOURCC kList = mmioFOURCC('L', 'I', 'S', 'T');

// Reads the chunk header at the position; false when it, or the chunk's data,
// does not fit before `end`.
bool ChunkAt(const MmioFile& f, size_t at, size_t end, MMCKINFO& out) {
  if (at > end || end - at < 8) return false;
  out.ckid = ReadLe32(&f.bytes[at]);
  out.cksize = ReadLe32(&f.bytes[at + 4]);
  out.dwDataOffset = DWORD(at + 8);
  out.fccType = 0;
  out.dwFlags = 0;
  if (uint64_t(out.cksize) > end - (at + 8)) return false;
  if (out.ckid == kRiff || out.ckid == kList) {
    if (out.cksize < 4) return false;
    out.fccType = ReadLe32(&f.bytes[at + 8]);
  }
  return true;
}

}  // namespace

HMMIO mmioOpenA(const char* fileName, MMIOINFO*, DWORD) {
  std::vector<uint8_t> bytes;
  // Wave data beyond a RIFF file's 4 GiB reach cannot be described anyway.
  if (!ReadFileBytes(fileName, bytes, 0xFFFFFFFFu)) return nullptr;
  auto* f = new MmioFile();
  f->bytes.swap(bytes);
  return f;
}

HMMIO mmioOpenBytes(const uint8_t* data, size_t size) {
  if (size > 0xFFFFFFFFu) return nullptr;
  auto* f = new MmioFile();
  if (size) f->bytes.assign(data, data + size);
  return f;
}

UINT mmioClose(HMMIO file, UINT) {
  delete file;
  return MMSYSERR_NOERROR;
}

UINT mmioDescend(HMMIO f, MMCKINFO* chunk, const MMCKINFO* parent, UINT flags) {
  if (!f || !chunk) return MMIOERR_CHUNKNOTFOUND;
  size_t end = f->bytes.size();
  if (parent) {
    uint64_t parent_end = uint64_t(parent->dwDataOffset) + parent->cksize;
    if (parent_end < end) end = size_t(parent_end);
  }
  const FOURCC want_id = (flags & MMIO_FINDRIFF) ? kRiff : chunk->ckid;
  const FOURCC want_type = chunk->fccType;
  size_t at = f->position;
  for (;;) {
    MMCKINFO found;
    if (!ChunkAt(*f, at, end, found)) return MMIOERR_CHUNKNOTFOUND;
    bool match = !(flags & (MMIO_FINDCHUNK | MMIO_FINDRIFF)) ||
                 (found.ckid == want_id && (!(flags & MMIO_FINDRIFF) || found.fccType == want_type));
    if (match) {
      *chunk = found;
      f->position = found.dwDataOffset + ((found.ckid == kRiff || found.ckid == kList) ? 4 : 0);
      return MMSYSERR_NOERROR;
    }
    at = found.dwDataOffset + size_t(found.cksize) + (found.cksize & 1);
  }
}

UINT mmioAscend(HMMIO f, MMCKINFO* chunk, UINT) {
  if (!f || !chunk) return MMIOERR_CANNOTSEEK;
  uint64_t end = uint64_t(chunk->dwDataOffset) + chunk->cksize + (chunk->cksize & 1);
  if (end > f->bytes.size()) end = f->bytes.size();
  f->position = size_t(end);
  return MMSYSERR_NOERROR;
}

LONG mmioRead(HMMIO f, char* buffer, LONG count) {
  if (!f || count < 0 || (!buffer && count > 0)) return -1;
  size_t n = f->bytes.size() - f->position;
  if (size_t(count) < n) n = size_t(count);
  if (n) std::memcpy(buffer, &f->bytes[f->position], n);
  f->position += n;
  return LONG(n);
}

LONG mmioSeek(HMMIO f, LONG offset, int origin) {
  if (!f || origin != SEEK_SET_MMIO || offset < 0 || size_t(offset) > f->bytes.size()) return -1;
  f->position = size_t(offset);
  return offset;
}

// The whole file is the I/O buffer: reading through it needs no refill, and an
// advance at its end leaves it empty, which the caller reads as the file's end.
UINT mmioGetInfo(HMMIO f, MMIOINFO* info, UINT) {
  if (!f || !info) return MMIOERR_CANNOTREAD;
  std::memset(info, 0, sizeof *info);
  char* base = reinterpret_cast<char*>(f->bytes.data());
  info->pchBuffer = base;
  info->pchNext = base + f->position;
  info->pchEndRead = base + f->bytes.size();
  info->pchEndWrite = info->pchEndRead;
  info->lDiskOffset = LONG(f->bytes.size());
  return MMSYSERR_NOERROR;
}

UINT mmioSetInfo(HMMIO f, const MMIOINFO* info, UINT) {
  if (!f || !info || info->pchNext < info->pchBuffer || info->pchNext > info->pchEndRead) return MMIOERR_CANNOTREAD;
  f->position = size_t(info->pchNext - info->pchBuffer);
  return MMSYSERR_NOERROR;
}

UINT mmioAdvance(HMMIO f, MMIOINFO* info, UINT) {
  if (!f || !info) return MMIOERR_CANNOTREAD;
  if (mmioSetInfo(f, info, 0) != MMSYSERR_NOERROR) return MMIOERR_CANNOTREAD;
  return mmioGetInfo(f, info, 0);
}
