// The interpreter instance, call frames, variables and commands.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "interp/result_codes.h"
#include "interp/var_table.h"

class hash_table;
class Stack;

namespace orvel {

struct Interp;
using Args = std::vector<std::string>;
// Handler of a command: argv[0] is the command name as written. The handler
// sets in.result and returns a result code.
using Handler = int (*)(Interp& in, Args& argv, void* pd);

enum VarKind : int {
  VK_AUTO = 0,
  VK_CONST = 1,
  VK_ARRAY = 2,
  VK_STRUCT = 3,
  VK_FIELD = 4,
  VK_POINTER = 5,
  VK_VARIANT = 6,
  VK_DICT = 7,
  VK_STACK = 8,
  VK_UNKNOWN = 9,
  VK_LIST = 10,
};
const char* kindName(int kind);  // "auto" ... "list", "error" otherwise

struct StructData;  // struct layout and memory block (structs module)

struct Var {
  std::string value;
  std::string name;
  int kind = VK_AUTO;
  int64_t size = 0;
  bool isPointer = false;
  bool isConst = false;
  bool isStatic = false;
  bool noCase = false;
  std::shared_ptr<StructData> members;  // struct variables and their fields
  int64_t book[4] = {0, 0, 0, 0};       // struct/field/stack bookkeeping
  int level = 0;
  std::shared_ptr<Var> link;            // target of an upvar/global link
  std::shared_ptr<Stack> stack;
  std::shared_ptr<hash_table> table;    // array or dictionary elements
  bool assigned = false;
  std::string subscript;                // link to one array element
  uint64_t seq = 0;                     // creation order within the frame
};
using VarPtr = std::shared_ptr<Var>;

struct CallFrame {
  int level = 0;
  Args* argv = nullptr;  // words of the command running in this frame
  VarTable vars;
  CallFrame* parent = nullptr;
  std::string procName;
  bool hasProcName = false;
  int argc() const { return argv ? static_cast<int>(argv->size()) : 0; }
};

struct Command {
  std::string name;
  Handler handler = nullptr;
  void* pd = nullptr;
  int kind = 0;                  // 1 for script procedures
  std::shared_ptr<void> owner;   // keeps pd alive; shared by aliases
};

class CommandTable;

struct Interp {
  Interp();
  ~Interp();
  Interp(const Interp&) = delete;
  Interp& operator=(const Interp&) = delete;

  int level = 0;
  CallFrame* callFrame = nullptr;
  std::unique_ptr<CommandTable> commands;
  std::string result;
  uint64_t resultLength = 0;
  int64_t commandCounter = 0;
  std::string traceLine;
  bool traceOn = false;
  std::vector<std::string> traceList;
  bool watchOn = false;
  std::vector<std::string> watchList;
  unsigned substCode = 0;
  int resultKind = 0;
  // Set by the evaluator while a command runs whose result nothing will
  // read (another command follows it, or a loop discards it), so that
  // commands such as lappend may skip copying a long result.
  bool resultUnused = false;

  std::unique_ptr<CallFrame> globalFrame;
  std::vector<std::unique_ptr<CallFrame>> framePool;  // reused procedure frames
  std::vector<VarPtr> boundArgs;  // a procedure call's argument records before they join its frame

  // Data that a command family keeps per interpreter (the memory blocks of
  // malloc, for example), freed with the interpreter.
  std::map<std::string, std::shared_ptr<void>, std::less<>> attached;
};

// The process-wide current interpreter.
Interp* currentInterp();
void setCurrentInterp(Interp* in);

// ---- set-up (interp_setup.cpp)
void orvelInitInterp(Interp& in);
void orvelRegisterCoreCommands(Interp& in, bool withoutExit);
void orvelSetStartupVars(Interp& in, const std::vector<std::string>* list);
void orvelFreeInterp(Interp& in);

// ---- command table (command_table.cpp)
int orvelRegisterCommand(Interp& in, std::string_view name, Handler h, void* pd, int kind,
                         std::shared_ptr<void> owner = nullptr);
Command* orvelGetCommand(Interp& in, std::string_view name);
int orvelUnregisterCommand(Interp& in, std::string_view name);
int orvelRenameCommand(Interp& in, std::string_view oldName, std::string_view newName);
std::vector<Command*> orvelCommandList(Interp& in);  // table (byte) order
int orvelCountPrivateData(Interp& in, const void* pd);
std::string orvelCommandNameOfHandler(Interp& in, Handler h);
int orvelRemoveCommandsOfHandler(Interp& in, Handler h);

// Built-in commands register themselves at static-initialisation time:
//   static const orvel::CommandRegistrar reg[] = {{"incr", cmdIncr}, ...};
struct CommandRegistrar {
  CommandRegistrar(const char* name, Handler h);
};

// ---- evaluation (eval.cpp)
int orvelEval(Interp& in, std::string_view text, bool substituteOnly = false,
              bool keepVariables = false);
// Evaluates a command given as ready-made words (no substitution).
int orvelEvalWords(Interp& in, Args& words);
int wrongNumArgs(Interp& in, Args& argv);

// ---- variables and frames (variables.cpp)
Var* orvelGetVar(Interp& in, std::string_view name, int scope = -1);
Var* getVarGlob(Interp& in, std::string_view pattern, bool nocase, int scope = -1);
int set_var(Interp& in, std::string_view name, std::string_view value);
int orvelSetConst(Interp& in, std::string_view name, std::string_view value, bool isStatic,
                  bool replace);
// The core of `set`: value null reads the variable into the result.
int setVariable(Interp& in, std::string_view name, const std::string* value, bool report);
// setVariable for assignments repeated in a loop: the record of a plain
// name (letters, digits, _) is remembered in cache while its frame's table
// is unchanged. Results and messages are those of setVariable.
int setVariableRemembered(Interp& in, std::string_view name, const std::string& value, VarLookupCache& cache);
// Reads a variable's value the way `$name` does (fields, structs, dicts).
bool readVarValue(Interp& in, Var* v, std::string& out);
CallFrame* frameAtLevel(Interp& in, int n);
CallFrame* globalFrame(Interp& in);
CallFrame* orvelPushCallFrame(Interp& in);
void orvelDropCallFrame(Interp& in);
// Removes a plain variable from its frame (current, or global for ::name).
bool orvelDeleteVar(Interp& in, std::string_view name);

// ---- arrays (array_store.cpp): the element rules shared by set name(sub)
int arraySetElement(Interp& in, std::string_view arrayName, std::string_view sub,
                    std::string_view value, bool noCase = false, bool report = true);
// The element's value, or nullptr when the array or element is missing.
const std::string* arrayGetElement(Interp& in, std::string_view arrayName, std::string_view sub,
                                   bool noCase = false);
const std::string* arrayElementOf(Var* arr, std::string_view sub, bool noCase = false);

// ---- errors (errors.cpp)
// "root" at the top, else the current procedure name.
const char* procNameOf(Interp& in);
int frameLevel(Interp& in);
// Formats and reports a message (see reportError); returns 1 when accepted.
int reportError(Interp& in, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
int reportErrorText(Interp& in, const std::string& msg);
// Formats fmt, appends " at level %i in %s\r\n" with the current frame's
// level and procedure name, reports it and returns ERROR.
int fail(Interp& in, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
void setErrorIndex(Interp& in, int index, const char* message);
const char* codeName(Interp& in, int code);
void reportException(const char* site, const char* message);
bool callOnError(Interp& in);
// Sets a global variable quietly (errorMsg and friends).
void setGlobalVar(Interp& in, std::string_view name, std::string_view value);

// Small helpers.
// Backslashes doubled; $ [ ] { } preceded by a backslash (how the start-up
// argument list and argv elements are stored).
std::string escapedForScript(std::string_view s);
std::string strprintf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
bool equalsNoCase(std::string_view a, std::string_view b);

}  // namespace orvel

namespace orvel {
struct TokenList;
// A script text prepared once and evaluated many times (loop bodies and
// conditions). The text must stay alive and unchanged while it is used.
struct CompiledCommand;
class PreparedScript {
 public:
  PreparedScript() = default;
  explicit PreparedScript(std::string_view text);
  // discardResult: the caller overwrites the result afterwards.
  int eval(Interp& in, bool discardResult = false) const {
    if (single_ && runSingle(in)) return OK;
    return evalFull(in, discardResult);
  }
  std::string_view text() const { return text_; }

 private:
  // A text of one simple operation (the usual loop test and step) runs
  // without setting up an evaluation; false when it must have one.
  bool runSingle(Interp& in) const;
  int evalFull(Interp& in, bool discardResult) const;
  std::string_view text_;
  std::shared_ptr<const TokenList> list_;
  const CompiledCommand* single_ = nullptr;  // the command of a one-command text
};
}  // namespace orvel
