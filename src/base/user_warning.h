#pragma once
// The few problems a user must hear of while the demo plays on (a data file that
// is missing or damaged): one line on standard error per subject, "velmora:
// SUBJECT: REASON", however often the same subject fails.

#include <string>

void WarnUserOnce(const std::string& subject, const std::string& reason);
// Forgets which subjects were reported (tests).
void ResetUserWarnings();
