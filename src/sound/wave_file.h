#pragma once
// A RIFF WAVE file read through the multimedia file calls: its format record and
// its "data" chunk, read in pieces.

#include "winapi/dsound.h"
#include "winapi/mmio.h"

class wave_file {
 public:
  ~wave_file();
  HRESULT open(const char* file_name);
  // The same over bytes in memory (tests and fuzzing).
  HRESULT open_bytes(const uint8_t* data, size_t size);
  HRESULT reset();
  HRESULT read(UINT count, BYTE* buffer, UINT* bytes_read);
  void close();

  WAVEFORMATEX* format = nullptr;  // 18 bytes plus cbSize extra bytes; owned
  HMMIO file = nullptr;
  MMCKINFO data_chunk{};  // cksize counts the bytes still unread
  MMCKINFO riff_chunk{};

 private:
  HRESULT parse(HMMIO opened);
};
