// Whether the package runs: between DOVRA_startup and DOVRA_shutdown. A
// call that needs it running, made before or after, says so once on
// standard error, so that a forgotten start-up does not end a program
// without a word.
#pragma once

namespace dovra {

void package_started();
void package_shut_down();

// True while the package runs. Otherwise false, after writing (the first
// time for this call's name) one line on standard error:
// "CALL called before DOVRA_startup: CONSEQUENCE" (or "after DOVRA_shutdown").
bool package_running(const char *call, const char *consequence);

} // namespace dovra
