#pragma once
// The first step of the entry: the "screen" console and the ten log channels.

// Creates the "screen" console and opens the ten channels.
void init_output();
