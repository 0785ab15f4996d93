#ifndef PELLIKOR_COMMAND_TAIL_H
#define PELLIKOR_COMMAND_TAIL_H

/*
 * The start-up rule shared by the Windows entry and the host start-up:
 * the command tail of a raw process command line, as WinMain receives it.
 * Returns a pointer into commandLine; nothing is copied or allocated, so the
 * Windows entry can use it without a C runtime.
 */
char *CommandTail(char *commandLine);

#endif
