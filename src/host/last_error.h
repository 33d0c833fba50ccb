#pragma once
// A readable description of the latest failure of a host service or an old
// system call, for the program's one-line start-up error, such as "not a mode
// this program shows (16, 24 or 32 bits)".

#include <string>

namespace host {

void SetLastErrorText(std::string text);
const std::string& LastErrorText();

}  // namespace host
