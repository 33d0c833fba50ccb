#include "sound/wave_file.h"

#include <cstring>
#include <new>

namespace {
// The record is allocated as bytes: 18 plus the extra bytes that follow it.
void DeleteFormat(WAVEFORMATEX*& f) {
  delete[] reinterpret_cast<uint8_t*>(f);
  f = nullptr;
}
WAVEFORMATEX* NewFormat(size_t extra) {
  uint8_t* bytes = new (std::nothrow) uint8_t[sizeof(WAVEFORMATEX) + extra]();
  return reinterpret_cast<WAVEFORMATEX*>(bytes);
}
}  // namespace

wave_file::~wave_file() {
  close();
  DeleteFormat(format);
}

HRESULT wave_file::open(const char* file_name) {
  DeleteFormat(format);
  return parse(mmioOpenA(file_name, nullptr, MMIO_ALLOCBUF | MMIO_READ));
}

HRESULT wave_file::open_bytes(const uint8_t* data, size_t size) {
  DeleteFormat(format);
  return parse(mmioOpenBytes(data, size));
}

HRESULT wave_file::parse(HMMIO h) {
  if (!h) return E_FAIL;
  auto fail = [&] {
    DeleteFormat(format);
    mmioClose(h, 0);
    return E_FAIL;
  };
  riff_chunk = MMCKINFO{};
  if (mmioDescend(h, &riff_chunk, nullptr, 0) != 0 || riff_chunk.ckid != mmioFOURCC('R', 'I', 'F', 'F') ||
      riff_chunk.fccType != mmioFOURCC('W', 'A', 'V', 'E'))
    return fail();
  MMCKINFO fmt{};
  fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
  if (mmioDescend(h, &fmt, &riff_chunk, MMIO_FINDCHUNK) != 0 || fmt.cksize < 16) return fail();
  uint8_t pcm[16];
  if (mmioRead(h, reinterpret_cast<char*>(pcm), 16) != 16) return fail();
  WORD tag;
  std::memcpy(&tag, pcm, 2);
  if (tag == WAVE_FORMAT_PCM) {
    format = NewFormat(0);
    if (!format) return fail();
    std::memcpy(format, pcm, 16);
    format->cbSize = 0;
  } else {
    WORD extra = 0;
    // The extra bytes must lie inside the format chunk, not merely inside the file.
    if (fmt.cksize < 18 || mmioRead(h, reinterpret_cast<char*>(&extra), 2) != 2 || 18u + extra > fmt.cksize)
      return fail();
    format = NewFormat(extra);
    if (!format) return fail();
    std::memcpy(format, pcm, 16);
    format->cbSize = extra;
    if (mmioRead(h, reinterpret_cast<char*>(format) + sizeof(WAVEFORMATEX), extra) != LONG(extra)) return fail();
  }
  if (mmioAscend(h, &fmt, 0) != 0) return fail();
  file = h;
  HRESULT r = reset();
  if (FAILED(r)) {
    DeleteFormat(format);
    close();
  }
  return r;
}

HRESULT wave_file::reset() {
  if (!file) return E_FAIL;
  if (mmioSeek(file, LONG(riff_chunk.dwDataOffset + 4), SEEK_SET_MMIO) == -1) return E_FAIL;
  data_chunk = MMCKINFO{};
  data_chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
  if (mmioDescend(file, &data_chunk, &riff_chunk, MMIO_FINDCHUNK) != 0) return E_FAIL;
  return 0;
}

HRESULT wave_file::read(UINT count, BYTE* buffer, UINT* bytes_read) {
  if (!bytes_read) return E_FAIL;
  *bytes_read = 0;
  if (!file) return E_FAIL;
  MMIOINFO info;
  if (mmioGetInfo(file, &info, 0) != 0) return E_FAIL;
  UINT n = count < data_chunk.cksize ? count : data_chunk.cksize;
  data_chunk.cksize -= n;
  for (UINT i = 0; i < n; ++i) {
    if (info.pchNext == info.pchEndRead) {
      if (mmioAdvance(file, &info, MMIO_READ) != 0 || info.pchNext == info.pchEndRead) return E_FAIL;
    }
    buffer[i] = static_cast<BYTE>(*info.pchNext++);
  }
  if (mmioSetInfo(file, &info, 0) != 0) return E_FAIL;
  *bytes_read = n;
  return 0;
}

void wave_file::close() {
  if (file) mmioClose(file, 0);
  file = nullptr;
}
