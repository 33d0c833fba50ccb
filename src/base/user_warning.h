#pragma once
// The few problems a user must hear of while the demo plays on (a data file that
// is missing or damaged): one line on standard error per subject, "velmora:
// SUBJECT: REASON", however often the same subject fails.

#include <functional>
#include <string>

void WarnUserOnce(const std::string& subject, const std::string& reason);
// Also hands each warning's line ("SUBJECT: REASON") to `echo` (the live
// console); empty to stop.
void SetWarningEcho(std::function<void(const std::string&)> echo);
// Forgets which subjects were reported (tests).
void ResetUserWarnings();
