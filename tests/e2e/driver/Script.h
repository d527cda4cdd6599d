#pragma once
#include <string>
#include <vector>

// One action of a driver script: a name and its arguments, with the line it
// came from for error messages.
struct Command {
    std::string name;
    std::vector<std::string> args;
    int line = 0;
};

// Splits a script into commands. Lines (or ';' outside quotes) separate
// commands; words are split at blanks; "..." groups a word with blanks and
// may be empty, "" inside it stands for one quote; '#' at the start of a word begins a comment. Backslashes are
// ordinary characters, so Windows paths need no escaping. False (with a
// message) on an unterminated quote.
bool ParseScript(const std::string& text, std::vector<Command>& commands, std::string& error);
