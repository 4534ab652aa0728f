// The `bellcode` command: rings a block-bell code with a WAV file as the
// bell's stroke.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>

#include "commands.h"
#include "host.h"
#include "window.h"

#if ORVEL_WIN_SOUND
#include "platform/sound.h"
#endif

namespace owin {

bool parseBellCode(std::string_view code, std::vector<int>& groups, std::string& why) {
  groups.clear();
  auto bad = [&](const char* reason) {
    why = "bad bell code \"" + std::string(code.substr(0, 60)) + "\": " + reason;
    return false;
  };
  if (code.empty()) return bad("empty (groups of digits joined by dashes, such as 3-1-1)");
  size_t pos = 0;
  while (pos <= code.size()) {
    size_t dash = code.find('-', pos);
    std::string_view g = code.substr(pos, dash == std::string_view::npos ? std::string_view::npos : dash - pos);
    if (g.empty() || g.size() > 3 || !std::all_of(g.begin(), g.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return bad("groups of digits joined by dashes, such as 3-1-1");
    int n = std::stoi(std::string(g));
    if (n < 1 || n > kMaxStrokesInGroup) return bad("a group has 1 to 20 strokes");
    groups.push_back(n);
    if (groups.size() > static_cast<size_t>(kMaxGroups)) return bad("at most 16 groups");
    if (dash == std::string_view::npos) break;
    pos = dash + 1;
  }
  return true;
}

int ringBellCode(const std::vector<int>& groups, const std::function<void()>& stroke,
                 const std::function<void(int64_t)>& wait, int tailMs) {
  int strokes = 0;
  for (size_t g = 0; g < groups.size(); ++g) {
    if (g > 0) wait(kGroupGapMs);
    for (int s = 0; s < groups[g]; ++s) {
      if (s > 0) wait(kStrokeGapMs);
      stroke();
      ++strokes;
    }
  }
  if (strokes > 0 && tailMs > 0) wait(tailMs);
  return strokes;
}

int bellcodeCommand(void* interp, int argc, char** argv) {
  std::vector<std::string_view> words;
  bool quiet = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view w = argv[i] ? argv[i] : "";
    if (w == "-nocomplain")
      quiet = true;
    else
      words.push_back(w);
  }
  auto failed = [&](const std::string& why) {
    if (quiet) {
      setResult(interp, "");
      return static_cast<int>(ORVEL_OK);
    }
    return fail(interp, "bellcode: " + why);
  };
  if (words.size() != 2) return failed("wrong # args: should be \"bellcode code file.wav ?-nocomplain?\"");
  std::vector<int> groups;
  std::string why;
  if (!parseBellCode(words[0], groups, why)) return failed(why);
  const std::string path(words[1]);
  std::ifstream in(path, std::ios::binary);
  if (!in) return failed("can't read sound file \"" + path + "\"");
  auto image = std::make_shared<std::string>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) return failed("can't read sound file \"" + path + "\"");
  int tailMs = kMaxTailMs;
  std::function<void()> stroke = [] {};
#if ORVEL_WIN_SOUND
  plat::WavFormat format;
  if (!plat::parseWav(*image, format, why)) return failed("\"" + path + "\": " + why);
  if (format.sampleRate > 0 && format.frames() > 0)
    tailMs = static_cast<int>(std::min<double>(kMaxTailMs, 1000.0 * format.frames() / format.sampleRate));
  std::shared_ptr<const std::string> shared = image;
  if (plat::soundAvailable()) stroke = [shared] { plat::playEffect(shared); };
#else
  if (image->size() < 12 || image->compare(0, 4, "RIFF") != 0 || image->compare(8, 4, "WAVE") != 0)
    return failed("\"" + path + "\": not a WAV file");
#endif
  Window& win = theWindow();
  int strokes = ringBellCode(groups, stroke, [&win](int64_t ms) { waitMs(win, ms); }, tailMs);
  setResult(interp, std::to_string(strokes));
  return ORVEL_OK;
}

}  // namespace owin
