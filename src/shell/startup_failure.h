#pragma once
// The first start-up step that failed, so that the executable can say which one
// on standard error and end with a failure status instead of looking like a
// normal run.

#include <string>

void NoteStartupFailure(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Empty when every step succeeded.
const std::string& FirstStartupFailure();
// The platform's reason for that failure, as it stood when the step failed; later
// steps may fail for reasons of their own. Empty when it gave none.
const std::string& FirstStartupFailureReason();
void ClearStartupFailure();
// Says on standard error which step failed and why, the mode in the user's own
// words (`mode`, "W H BITS") when the mode was refused; false when none failed.
bool ReportStartupFailure(const std::string& mode);
