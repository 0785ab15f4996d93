#include "command_tail.h"

static int IsBlankOrTab(char c)
{
    return c == ' ' || c == '\t';
}

char *CommandTail(char *commandLine)
{
    char *p = commandLine;

    while (IsBlankOrTab(*p))
        p++;

    if (*p == '"') {
        /* A quoted name may hold blanks; a tab still ends it. */
        p++;
        while (*p != '\0' && *p != '"' && *p != '\t')
            p++;
        if (*p == '"')
            p++;
    } else {
        while (*p != '\0' && !IsBlankOrTab(*p))
            p++;
    }

    while (IsBlankOrTab(*p))
        p++;
    return p;
}
