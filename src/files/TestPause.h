// A place where the race tests of the file rules can stop a process between two steps. In the
// build of these rules that only those tests link (VORLAN_TEST_PAUSES defined), a process whose
// environment has VORLAN_TEST_STOP_AT set to the place's name stops itself there with SIGSTOP,
// so that the test can send a signal at exactly that step and then let it go on; in the
// programs it is nothing.
#pragma once

#ifdef VORLAN_TEST_PAUSES
#include <csignal>
#include <cstdlib>
#include <cstring>

inline void TestPause(const char* pszPlace) {
    const char* pszStopAt = std::getenv("VORLAN_TEST_STOP_AT");
    if (pszStopAt && std::strcmp(pszStopAt, pszPlace) == 0)
        std::raise(SIGSTOP);
}
#else
inline void TestPause(const char*) {}
#endif
