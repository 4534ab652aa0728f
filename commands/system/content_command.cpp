// content path ?-lines? ?-nocomplain?: a text file's content with its line
// ends made uniform (CR LF and a lone CR become LF), so a file written on
// any system reads the same. -lines gives the list of its lines instead (a
// final line end does not start another line). A file that cannot be read
// is an error, or with -nocomplain an empty result.
#include "commands/system/file_streams.h"
#include "interp/interp.h"
#include "interp/list_text.h"
#include "platform/files.h"

namespace orvel {

namespace {

std::string uniformLineEnds(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); i++) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') i++;
    } else {
      out += text[i];
    }
  }
  return out;
}

int orvelCommandContent(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  bool lines = false, nocomplain = false;
  const std::string* path = nullptr;
  for (size_t i = 1; i < argv.size(); i++) {
    if (argv[i] == "-lines")
      lines = true;
    else if (argv[i] == "-nocomplain")
      nocomplain = true;
    else if (!path)
      path = &argv[i];
    else
      return wrongNumArgs(in, argv);
  }
  in.result.clear();
  if (!path) return wrongNumArgs(in, argv);
  std::string text, err;
  if (!plat::readWholeFile(filePathArg(*path), text, err)) {
    if (nocomplain) return OK;
    return fail(in, "%s: Can't read '%s' (%s)", argv[0].c_str(), path->c_str(), err.c_str());
  }
  text = uniformLineEnds(text);
  if (!lines) {
    in.result = std::move(text);
    return OK;
  }
  std::vector<std::string> parts;
  size_t from = 0;
  while (from < text.size()) {
    size_t lf = text.find('\n', from);
    if (lf == std::string::npos) lf = text.size();
    parts.emplace_back(text, from, lf - from);
    from = lf + 1;
  }
  in.result = listBuild(parts);
  return OK;
}

const CommandRegistrar reg[] = {{"content", orvelCommandContent}};

}  // namespace

}  // namespace orvel
