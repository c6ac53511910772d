#pragma once

#include <cstdio>
#include <cstdlib>

#if defined(_WIN32)
 #ifndef NOMINMAX
  #define NOMINMAX
 #endif
 #include <process.h>
 #include <windows.h>
#endif

/** Ends a test program with its status, once its output is flushed and its exit-time cleanup
    (atexit handlers, static destructors) has run, as a plain exit would.

    On Windows it then ends the process in one step. Under Wine a plain exit first tells Wine's
    server that the process is gone and only afterwards runs the process's Unix exit (the C
    library's exit handlers, the destructors of every shared library Wine loaded); the server
    kills a process that is still there about half a second later, and a test that passed is
    reported as killed. Ending the process outright leaves no such window.
*/
[[noreturn]] inline void endTestProgram (int status)
{
#if defined(_WIN32)
    // The C library's own cleanup flushes nothing, and what its exit handlers print must
    // still be flushed afterwards: the streams are otherwise flushed only at a plain exit.
    _cexit();
    std::fflush (nullptr);
    TerminateProcess (GetCurrentProcess(), (UINT) status);
#endif

    std::exit (status);
}
