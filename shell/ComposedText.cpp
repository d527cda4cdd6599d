#include "shell/ComposedText.h"

#include <cstring>

#include "setup/NameChars.h"

const char kOpenCommandTail[] = "\" \"%1\"";
const char kRestoreCommandTail[] = "\" -r \"%1\"";

SetupString JoinedPath(const char* directory, const char* name) {
    SetupString path(directory);
    size_t length = path.Length();
    if (!EndsWithChar(path.Get(), length, '\\')) path.Append("\\");
    path.Append(name);
    return path;
}

SetupString Concatenated(const char* a, const char* b, const char* c, const char* d) {
    SetupString text(a);
    text.Append(b);
    text.Append(c);
    text.Append(d);
    return text;
}

SetupString CommandString(const char* programDir, const char* exeName, const char* tail) {
    SetupString command("\"");
    command.Append(JoinedPath(programDir, exeName).Get());
    command.Append(tail);
    return command;
}
