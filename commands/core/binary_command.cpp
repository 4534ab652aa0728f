// binary: byte strings built from values and read back into variables.
//   binary format fmt ?value ...?        the bytes
//   binary scan data fmt ?varName ...?   the number of variables set
//   binary encode hex|base64 data        the data as hex or Base64 text
//   binary decode hex|base64 text        the bytes such a text stands for
// The field letters are described in binary_engine.h.
#include "commands/core/binary_engine.h"
#include "expr/numbers.h"
#include "interp/interp.h"
#include "support/base64.h"

namespace orvel {

namespace {

int binaryFormat(Interp& in, Args& argv) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  std::vector<std::string> values(argv.begin() + 3, argv.end());
  std::string out, err;
  in.result.clear();
  if (!binary::pack(argv[2], values, out, err)) return fail(in, "%s format: %s", argv[0].c_str(), err.c_str());
  in.result = std::move(out);
  return OK;
}

int binaryScan(Interp& in, Args& argv) {
  if (argv.size() < 4) return wrongNumArgs(in, argv);
  std::vector<std::string> values;
  size_t fields = 0;
  std::string err;
  in.result.clear();
  if (!binary::unpack(argv[2], argv[3], values, fields, err))
    return fail(in, "%s scan: %s", argv[0].c_str(), err.c_str());
  const size_t vars = argv.size() - 4;
  if (vars < fields) return fail(in, "%s scan: Not enough variables for all fields of the format", argv[0].c_str());
  if (vars > fields) return fail(in, "%s scan: More variables than fields in the format", argv[0].c_str());
  for (size_t i = 0; i < values.size(); i++) {
    if (set_var(in, argv[4 + i], values[i]) != OK) {
      in.result.clear();
      return fail(in, "%s scan: Can't set variable '%s'", argv[0].c_str(), argv[4 + i].c_str());
    }
  }
  in.result = intText(static_cast<int64_t>(values.size()));
  return OK;
}

int binaryCode(Interp& in, Args& argv, bool encode) {
  if (argv.size() != 4) return wrongNumArgs(in, argv);
  const std::string& how = argv[2];
  const std::string& data = argv[3];
  in.result.clear();
  const char* sub = encode ? "encode" : "decode";
  if (equalsNoCase(how, "hex")) {
    if (encode) {
      in.result = binary::hexEncode(data);
      return OK;
    }
    std::string out;
    if (!binary::hexDecode(data, out)) return fail(in, "%s %s: Invalid hexadecimal text", argv[0].c_str(), sub);
    in.result = std::move(out);
    return OK;
  }
  if (equalsNoCase(how, "base64")) {
    if (encode) {
      in.result = base64Encode(data);
      return OK;
    }
    std::string out;
    if (!data.empty() && !base64Decode(data, out)) return fail(in, "%s %s: Invalid Base64 text", argv[0].c_str(), sub);
    in.result = std::move(out);
    return OK;
  }
  return fail(in, "%s %s: Unknown encoding '%s' (hex or base64)", argv[0].c_str(), sub, how.c_str());
}

int orvelCommandBinary(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  const std::string& sub = argv[1];
  if (equalsNoCase(sub, "format")) return binaryFormat(in, argv);
  if (equalsNoCase(sub, "scan")) return binaryScan(in, argv);
  if (equalsNoCase(sub, "encode")) return binaryCode(in, argv, true);
  if (equalsNoCase(sub, "decode")) return binaryCode(in, argv, false);
  in.result.clear();
  return fail(in, "%s: Unknown subcommand '%s' (format, scan, encode or decode)", argv[0].c_str(), sub.c_str());
}

const CommandRegistrar reg[] = {{"binary", orvelCommandBinary}};

}  // namespace

}  // namespace orvel
