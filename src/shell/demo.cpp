#include "shell/demo.h"

#include <cmath>
#include <cstdlib>

#include "base/logfile.h"
#include "efx/bios.h"
#include "efx/bump.h"
#include "efx/object3d.h"
#include "efx/slide.h"
#include "efx/trig_tables.h"
#include "efx/twirl.h"
#include "gfx/2d.h"
#include "gfx/display.h"
#include "gfx/gdi_helpers.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "shell/captions.h"
#include "shell/frame_clock.h"
#include "shell/startup_failure.h"
#include "shell/winmain.h"
#include "sound/sound.h"

int g_nDemoMode = 0;

namespace {
uint64_t g_update_steps = 0;

// Logs a checked start-up step; a failure also ends the demo once start-up is done.
void Checked(bool ok, const char* step) {
  log_main.status(ok ? "OK" : "ERROR", "%s", step);
  if (!ok) {
    NoteStartupFailure("%s", step);
    g_bQuit = 1;
  }
}
void FailureOnly(bool ok, const char* step) {
  if (!ok) Checked(false, step);
}
}  // namespace

uint64_t demo::UpdateStepCount() { return g_update_steps; }

int demo::main(int argc, char* argv[]) {
  InitTables();
  Checked(InitHwnd() != 0, "InitHwnd()");
  char step[64];
  if (argc == 3) {
    DWORD w = static_cast<DWORD>(std::atoi(argv[0]));
    DWORD h = static_cast<DWORD>(std::atoi(argv[1]));
    DWORD b = static_cast<DWORD>(std::atoi(argv[2]));
    std::snprintf(step, sizeof step, "DxInit(%u,%u,%u)", w, h, b);
    Checked(DxInit(w, h, b) != 0, step);
  } else {
    Checked(DxInit(320, 200, 32) != 0, "DxInit(320,200,32)");
  }
  InitTimer();
  Checked(init_input(), "init_input()");
  std::snprintf(step, sizeof step, "front.create(%u, %u)", g_dwWidth, g_dwHeight);
  Checked(front.create(static_cast<int>(g_dwWidth), static_cast<int>(g_dwHeight)) != 0, step);
  FailureOnly(InitSound(hWnd) >= 0, "InitSound(hWnd)");

  Sound s;
  FailureOnly(s.Init() >= 0, "s.Init()");
  FailureOnly(s.Load("data/rovaraza.xm") >= 0, "s.Load('data/rovaraza.xm')");
  FailureOnly(s.Play(true) >= 0, "s.Play(true)");

  efx_bios bios;
  bios.init();
  efx_3d cola;
  cola.load("data/Cola.obj", 0);
  LoadCaptionFont("data/font.ult", 0.3f);
  cola.projection.x = static_cast<float>(g_dwWidth / 4);
  cola.projection.y = static_cast<float>(g_dwHeight / 2);
  cola.projection.z = 1000.0f;
  cola.rotation.x = 270.0f;
  cola.scale = vertices{0.4f, 0.4f, 0.4f};
  efx_bump bump;
  bump.create("data/bump.bmp", "data/height.bmp", "bump map");
  bump.light_x = 160;
  bump.light_y = 100;
  bitmap work;
  work.create(320, 200);
  bitmap picture;
  picture.load("data/twirl.bmp");
  float light_angle = 0.0f;
  efx_slide slide;

  while (!g_bQuit) {
    MSG message;
    BOOL taken = g_bActive ? PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) : GetMessageA(&message, nullptr, 0, 0);
    if (taken) {
      if (!TranslateAcceleratorA(hWnd, g_hAccel, &message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
      continue;
    }
    if (!g_bActive) {
      IdleTick();
      WaitMessage();
      continue;
    }
    if (!g_bDisplayReady) {
      DxRestore();
      continue;
    }

    ++g_update_steps;
    if (g_dwElapsed >= 1) g_nDemoMode = 0;
    if (g_dwElapsed >= 25001) g_nDemoMode = 1;
    if (g_dwElapsed >= 36001) g_nDemoMode = 2;
    if (g_dwElapsed >= 62001) g_nDemoMode = 3;
    if (g_dwElapsed >= 68001) g_nDemoMode = 4;
    if (g_dwElapsed >= 106001) g_bQuit = 1;

    DxReadKeyb();
    g_mouse.poll();
    FrameTick();

    switch (g_nDemoMode) {
      case 0: bios.update(); break;
      case 1:
        slide.update();
        StepCaptionAngle();
        StepCaptionAngle();
        break;
      case 2: StepCaptionAngle(); break;
      case 3: {
        light_angle = light_angle < 360 ? static_cast<float>(light_angle + 0.2) : 0.0f;
        picture.clear(0);
        int k = static_cast<int>(light_angle);
        if (k >= 360) k = 0;
        bump.light_x = static_cast<int16_t>(static_cast<int>(COS[k] * 80 + picture.width / 2));
        bump.light_y = static_cast<int16_t>(static_cast<int>(SIN[k] * 80 + picture.height / 2));
        StepCaptionAngle();
        break;
      }
      case 4:
        cola.rotation.x = static_cast<float>(cola.rotation.x - 0.01);
        cola.rotation.y = static_cast<float>(cola.rotation.y - 0.01);
        cola.rotation.z = static_cast<float>(cola.rotation.z - 0.01);
        break;
      default: break;
    }

    if (g_dwFrameTicks > 0) --g_dwFrameTicks;
    if (g_dwFrameTicks == 0) {
      switch (g_nDemoMode) {
        case 0: bios.draw(front); break;
        case 1: slide.draw(front); break;
        case 2:
          twirl(work, picture);
          work.blit(front, nullptr, nullptr);
          DrawCaption(front, 50, 50, "Twirl");
          break;
        case 3:
          bump.run(picture, 0);
          picture.blit(front, nullptr, nullptr);
          DrawCaption(front, 50, 50, "32-bit bump mapping");
          break;
        case 4:
          cola.draw(front);
          DrawCaption(front, 50, 50, "Wireframe Cola");
          break;
        default:
          text_printf(front, static_cast<int>(g_dwWidth / 2) - 100, static_cast<int>(g_dwHeight / 2), 255, 0,
                      "VIRHE: TUNTEMATON DEMOMOODI!!!");
          break;
      }
      front.blit(primary, nullptr, nullptr);
      if (g_nDemoMode == 4) front.clear(0);
      ++g_dwFrames;
    }
    while (g_dwFrameTicks == 0) FrameTick();
  }

  CloseSound();
  DxReleaseKeyb();
  DxFree();
  double seconds = g_dwElapsed / 1000.0;
  log_main.print("stopped [%.1f]\n", seconds);
  log_main.print("%lu frames in %.2f seconds: %.2f fps\n", static_cast<unsigned long>(g_dwFrames), seconds,
                 g_dwFrames / seconds);
  return 0;
}
