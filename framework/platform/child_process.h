#pragma once
// Runs a helper program from an argument vector (never through a shell) and collects its output.
#include <string>
#include <vector>

struct ChildProcessResult {
  bool started = false;  // false when the program could not be started (e.g. not installed)
  bool finished = false; // false when the wait timed out; the child then runs on unwatched
  int exitCode = -1;     // -1 when unknown (killed by a signal, or reaped by someone else)
  std::string output;    // standard output
};

// Starts argv[0] (searched in PATH) with the caller's environment minus LD_LIBRARY_PATH and
// LD_PRELOAD, which hosts set for themselves and which break other programs. Standard input is
// empty, standard error discarded. Waits until the child ends, or at most `timeoutMs` when that is
// not negative.
ChildProcessResult RunChildProcess(const std::vector<std::string>& argv, int timeoutMs = -1);
