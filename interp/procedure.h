// Script procedures: the record behind every procedure's table entry.
#pragma once
#include <string>
#include <vector>

#include "interp/interp.h"

namespace orvel {

struct ProcParam {
  int parts = 0;  // 1 name only, 2 with default, 0 for an empty element
  std::string name;
  std::string def;
};

struct ProcRecord {
  std::string argText;
  std::string body;
  std::vector<ProcParam> params;
  PreparedScript script;  // the body, prepared once (set after body is final)
  // Every named parameter a plain name, no name twice: the arguments are
  // bound straight into the fresh frame, which then takes layoutStamp.
  bool plainParams = false;
  uint64_t layoutStamp = 0;
};

int orvelCallProc(Interp& in, Args& argv, void* pd);
// Defines a procedure (the core of `proc`): OK, or ERROR after a report.
int defineProc(Interp& in, const std::string& cmdName, const std::string& name, const std::string& params,
               const std::string& body);
// The substitution routine behind `subst`; false when it failed.
bool substituteText(Interp& in, std::string_view text, bool variables, bool commands, bool backslashes,
                    std::string& out);
// 0 not active, 1 the running procedure, 2 a caller of it.
int activeProcTest(Interp& in, std::string_view name);

}  // namespace orvel
