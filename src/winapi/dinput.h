#pragma once
// The DirectInput 7 calls the engine makes, on the host's input events: the system keyboard as
// a 256-byte state indexed by DirectInput key codes, acquired only while the
// window is in the foreground (a read after the window was inactive fails as
// input lost until the device is made again), and the system mouse, exclusive
// and in the foreground (relative mouse mode while acquired), with a buffer of
// motion and button events. Also the event object the mouse signals.

#include <cstdint>

#include "winapi/ddraw.h"  // GUID
#include "winapi/win32.h"

constexpr HRESULT DI_OK = 0;
constexpr HRESULT DI_BUFFEROVERFLOW = 1;
constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001E);
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000C);
constexpr HRESULT DIERR_OTHERAPPHASPRIO = static_cast<HRESULT>(0x80070005);
constexpr HRESULT DIERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DIERR_NOTINITIALIZED = static_cast<HRESULT>(0x80070015);
constexpr HRESULT DIERR_DEVICENOTREG = static_cast<HRESULT>(0x80040154);

constexpr DWORD DISCL_EXCLUSIVE = 0x1;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x2;
constexpr DWORD DISCL_FOREGROUND = 0x4;
constexpr DWORD DISCL_BACKGROUND = 0x8;
constexpr DWORD DIPH_DEVICE = 0;

// Offsets of the standard mouse format's objects.
constexpr DWORD DIMOFS_X = 0, DIMOFS_Y = 4, DIMOFS_Z = 8, DIMOFS_BUTTON0 = 12, DIMOFS_BUTTON1 = 13, DIMOFS_BUTTON2 = 14,
                DIMOFS_BUTTON3 = 15;

struct DIDATAFORMAT {
  DWORD dwSize;
  DWORD dwObjSize;
  DWORD dwFlags;
  DWORD dwDataSize;
  DWORD dwNumObjs;
};
// Inline: on Windows the system's own libraries define the same names, with
// the same values, and the linker keeps one.
inline constexpr DIDATAFORMAT c_dfDIKeyboard = {24, 16, 0x2, 256, 256};  // 256 one-byte keys
inline constexpr DIDATAFORMAT c_dfDIMouse = {24, 16, 0x2, 16, 7};        // 16 bytes, 7 objects

struct DIDEVICEOBJECTDATA {
  DWORD dwOfs;
  DWORD dwData;
  DWORD dwTimeStamp;
  DWORD dwSequence;
};
static_assert(sizeof(DIDEVICEOBJECTDATA) == 16);

struct DIPROPHEADER {
  DWORD dwSize;
  DWORD dwHeaderSize;
  DWORD dwObj;
  DWORD dwHow;
};
struct DIPROPDWORD {
  DIPROPHEADER diph;
  DWORD dwData;
};
enum class DiProperty { BufferSize };
inline const DiProperty* const DIPROP_BUFFERSIZE = reinterpret_cast<const DiProperty*>(1);

// Inline: on Windows the system's own libraries define the same names, with
// the same values, and the linker keeps one.
inline constexpr GUID GUID_SysKeyboard = {0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr GUID GUID_SysMouse = {0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

class IDirectInputDevice7 {
 public:
  HRESULT SetDataFormat(const DIDATAFORMAT* format);
  HRESULT SetCooperativeLevel(HWND window, DWORD flags);
  HRESULT Acquire();
  HRESULT Unacquire();
  HRESULT GetDeviceState(DWORD size, void* data);
  HRESULT GetDeviceData(DWORD object_size, DIDEVICEOBJECTDATA* data, DWORD* count, DWORD flags);
  HRESULT SetEventNotification(HANDLE event);
  HRESULT SetProperty(const DiProperty* property, const DIPROPHEADER* header);
  ULONG Release();

  bool mouse = false;
  const DIDATAFORMAT* format = nullptr;
  DWORD cooperative = 0;
  bool acquired = false;
  bool lost = false;  // set when the window left the foreground while acquired
  HANDLE event = nullptr;
  DWORD buffer_size = 0;
};

class IDirectInput7 {
 public:
  HRESULT CreateDevice(const GUID& device, IDirectInputDevice7** out, void* outer);
  ULONG Release();
};

HRESULT DirectInputCreateA(HINSTANCE instance, DWORD version, IDirectInput7** out, void* outer);

HANDLE CreateEventA(void* security, BOOL manual_reset, BOOL initial_state, const char* name);
BOOL SetEvent(HANDLE event);
BOOL CloseHandle(HANDLE handle);
