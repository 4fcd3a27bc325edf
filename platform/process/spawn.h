#pragma once
// Starting a program that lives on its own: a detached process in a session of its own, with
// the caller's environment and current directory, standard input from /dev/null and no other
// descriptor of the caller but standard output and error. The first word of the command line
// is the program's path (no search along PATH), every word one argument; no shell ever reads
// it, so no word can start a command of its own.

#include <sys/types.h>

#include <string>
#include <vector>

namespace tlv::platform {

// True when the program was started. The caller does not wait for it: a started process that
// has ended is collected the next time this or CollectFinishedProcesses is called.
// When pid is given, it receives the started process's id.
bool StartDetachedProcess(const std::string& commandLine, pid_t* pid = nullptr);

// The same with the words given: words[0] is the program's path, every element one argument
// whatever bytes it holds (blanks included). False, and nothing started, when a word holds a
// NUL, which no argument can carry.
bool StartDetachedProgram(std::vector<std::string> words, pid_t* pid = nullptr);

// Makes a process this program started another way (spawnas.h) one that is collected here.
void AdoptStartedProcess(pid_t pid);

// Collects the started processes that have ended, so none lingers as a zombie; cheap enough for
// a periodic timer.
void CollectFinishedProcesses();

}  // namespace tlv::platform
