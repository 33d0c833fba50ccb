#pragma once
// The player's own keys, which the demo never sees: Alt+Enter switches between
// window and full screen, F12 saves the frame on the screen, P and Pause pause
// and go on; while no console is open the arrows, Page Up and Down, Home and the
// digits move the demo (see seek.h). Escape lifts a pause and goes on to the
// demo (which then ends).

// Takes those keys from the window from now on.
void InstallPlayerKeys();
// While on, P is a key the player types rather than the pause key (a console is
// taking text).
void SetTextInput(bool on);
bool TextInput();
