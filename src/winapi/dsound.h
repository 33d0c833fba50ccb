#pragma once
// The DirectSound calls the engine makes, mixed on the host's audio thread: the device
// with its cooperative level, the primary buffer whose format is set, and static
// secondary buffers with 3D control (head-relative parameters give a centred or
// panned source) that lock, play once or looped, report status and position,
// stop, restore and release. Also COM's initialisation pair.

#include <cstdint>

#include "winapi/ddraw.h"  // GUID
#include "winapi/win32.h"

#pragma pack(push, 1)
struct WAVEFORMATEX {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
  WORD wBitsPerSample;
  WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

constexpr WORD WAVE_FORMAT_PCM = 1;
constexpr WORD WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

struct DSBUFFERDESC {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwBufferBytes;
  DWORD dwReserved;
  WAVEFORMATEX* lpwfxFormat;
  GUID guid3DAlgorithm;
};

struct DSBCAPS {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwBufferBytes;
  DWORD dwUnlockTransferRate;
  DWORD dwPlayCpuOverhead;
};

struct D3DVECTOR {
  float x, y, z;
};

struct DS3DBUFFER {
  DWORD dwSize;
  D3DVECTOR vPosition;
  D3DVECTOR vVelocity;
  DWORD dwInsideConeAngle;
  DWORD dwOutsideConeAngle;
  D3DVECTOR vConeOrientation;
  LONG lConeOutsideVolume;
  float flMinDistance;
  float flMaxDistance;
  DWORD dwMode;
};
static_assert(sizeof(DS3DBUFFER) == 64);

struct DS3DLISTENER {
  DWORD dwSize;
  D3DVECTOR vPosition;
  D3DVECTOR vVelocity;
  D3DVECTOR vOrientFront;
  D3DVECTOR vOrientTop;
  float flDistanceFactor;
  float flRolloffFactor;
  float flDopplerFactor;
};
static_assert(sizeof(DS3DLISTENER) == 64);

constexpr DWORD DSSCL_PRIORITY = 2;
constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x1;
constexpr DWORD DSBCAPS_STATIC = 0x2;
constexpr DWORD DSBCAPS_CTRL3D = 0x10;
constexpr DWORD DSBPLAY_LOOPING = 0x1;
constexpr DWORD DSBSTATUS_PLAYING = 0x1;
constexpr DWORD DSBSTATUS_BUFFERLOST = 0x2;
constexpr DWORD DSBSTATUS_LOOPING = 0x4;
constexpr DWORD DS3DMODE_NORMAL = 0;
constexpr DWORD DS3DMODE_HEADRELATIVE = 1;
constexpr DWORD DS3D_IMMEDIATE = 0;

constexpr HRESULT DS_OK = 0;
constexpr HRESULT DS_NO_VIRTUALIZATION = 0x0878000A;
constexpr HRESULT DSERR_GENERIC = E_FAIL;
constexpr HRESULT DSERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DSERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DSERR_NODRIVER = static_cast<HRESULT>(0x88780078);
constexpr HRESULT DSERR_BADFORMAT = static_cast<HRESULT>(0x88780064);
constexpr HRESULT DSERR_INVALIDCALL = static_cast<HRESULT>(0x88780032);
constexpr HRESULT DSERR_BUFFERLOST = static_cast<HRESULT>(0x88780096);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);

// Inline: on Windows the system's own libraries define the same names, with
// the same values, and the linker keeps one.
inline constexpr GUID IID_IDirectSound3DListener = {
    0x279AFA84, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr GUID IID_IDirectSound3DBuffer = {
    0x279AFA86, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};

struct SoundBufferState;  // shared with the audio thread

class IDirectSound3DListener {
 public:
  HRESULT GetAllParameters(DS3DLISTENER* out);
  ULONG Release();
  DS3DLISTENER parameters{};
};

class IDirectSound3DBuffer {
 public:
  HRESULT GetAllParameters(DS3DBUFFER* out);
  HRESULT SetAllParameters(const DS3DBUFFER* in, DWORD apply);
  ULONG Release();
  SoundBufferState* state = nullptr;
};

class IDirectSoundBuffer {
 public:
  HRESULT QueryInterface(const GUID& iid, void** out);
  HRESULT SetFormat(const WAVEFORMATEX* format);
  HRESULT Lock(DWORD offset, DWORD bytes, void** first, DWORD* first_bytes, void** second, DWORD* second_bytes,
               DWORD flags);
  HRESULT Unlock(void* first, DWORD first_bytes, void* second, DWORD second_bytes);
  HRESULT Play(DWORD reserved, DWORD priority, DWORD flags);
  HRESULT Stop();
  HRESULT GetStatus(DWORD* status);
  HRESULT SetCurrentPosition(DWORD position);
  HRESULT GetCurrentPosition(DWORD* play, DWORD* write);
  HRESULT GetCaps(DSBCAPS* caps);
  HRESULT Restore();
  ULONG Release();

  bool primary = false;
  SoundBufferState* state = nullptr;  // secondary buffers only
};

class IDirectSound {
 public:
  HRESULT SetCooperativeLevel(HWND window, DWORD level);
  HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** out, void* outer);
  ULONG Release();
  DWORD level = 0;
  WAVEFORMATEX primary_format{};
};

HRESULT DirectSoundCreate(GUID* device, IDirectSound** out, void* outer);
HRESULT CoInitialize(void* reserved);
void CoUninitialize();
