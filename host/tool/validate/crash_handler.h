// In a child process: catches the signal a plug-in dies of, writes what it
// can tell (the signal, the faulting address and the guard it lies in, the
// faulting instruction and the return addresses above it, each as a module
// and an offset) into the shared report, and lets the signal end the child.
// The addresses come from the signal's context and from backtrace(), the
// modules from dladdr(); the parent turns offsets into function names.
#pragma once

#include "host/tool/validate/child_report.h"

void installCrashHandlers(ChildReport& report, ChildProgress& progress);
// An alternate signal stack for the calling thread, so that a stack
// overflow is reported too. Every thread the child starts calls it.
void prepareThreadForCrashes();
void releaseThreadCrashStack();
