// Reads a link file back with lnkinfo (from liblnk-utils), a reader written by
// nobody here, so the tests check our .lnk files against an independent parser.
#pragma once

#include <optional>
#include <string>

struct LnkinfoRun {
  int status = -1;     // lnkinfo's exit status; -1 when it could not run
  std::string output;  // what it wrote, standard output and error together
};

// Runs lnkinfo on a host file; `codepage` (e.g. "windows-932") is passed with
// -c when given.
LnkinfoRun RunLnkinfo(const std::string& hostPath, const char* codepage = nullptr);

// The value of a "Name : value" line of lnkinfo's report; nothing when absent.
std::optional<std::string> LnkinfoField(const std::string& report, const std::string& name);
