#pragma once
// The options that choose how the demo is played (clock, picture, sound), handed
// to the host before anything starts.

#include "shell/options.h"

void ApplyRunSettings(const Options& options);
