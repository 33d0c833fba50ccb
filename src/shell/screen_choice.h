#pragma once
// --display: the screens listed, or a screen that is not there refused, before
// anything else starts.

#include <optional>

#include "shell/options.h"

// The exit status when the run ends here: 0 once the screens are listed, 1 when
// there is no display to list, 2 for a screen that is not there (said in one
// line); nothing when the demo is to play.
std::optional<int> AnswerScreenChoice(const Options& options);
