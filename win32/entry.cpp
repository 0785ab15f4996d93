// The real program's entry point, in place of the C runtime's start-up: it
// takes the raw command line, applies the start-up rule shared with the host
// build, and ends the process with WinMain's result.
#include <windows.h>

#include "command_tail.h"

extern "C" __attribute__((force_align_arg_pointer, noreturn)) void __stdcall PellikorStart()
{
    ExitProcess(static_cast<UINT>(
        WinMain(GetModuleHandleA(nullptr), nullptr, CommandTail(GetCommandLineA()), SW_SHOWDEFAULT)));
}
