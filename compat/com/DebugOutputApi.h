#pragma once
// The debugger's output channel. A module writes a line with
// OutputDebugStringA; on Windows a debugger or a monitor such as DebugView
// reads it. Here the program that hosts the module plays that part by
// installing a listener; without one every line is dropped at once, and
// IsDebuggerPresent tells a writer not to compose it in the first place.

#include "compat/com/BaseTypes.h"

extern "C" {
// Hands the text to the listener, if one is installed.
void OutputDebugStringA(LPCSTR lpOutputString);
// TRUE while a listener is installed.
BOOL IsDebuggerPresent();
}

// Receives each text passed to OutputDebugStringA, on the writer's thread,
// one call at a time.
using DebugOutputListener = void (*)(const char* text, void* context);

// Installs the listener of the process, replacing an earlier one; a null
// listener removes it. Not a Windows API: the stand-in's way of attaching a
// debugger.
void SetDebugOutputListener(DebugOutputListener listener, void* context);
