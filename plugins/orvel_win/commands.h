// The plug-in's command handlers and the bell-code logic they share with
// the tests.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace owin {

int winCommand(void* interp, int argc, char** argv);
int bellcodeCommand(void* interp, int argc, char** argv);

// True where `win preview` can draw into another program's window.
bool windowsCanPreview();

// Spacing of bell strokes, as a signalman rings them.
constexpr int kStrokeGapMs = 330;   // from stroke to stroke within a group
constexpr int kGroupGapMs = 1000;   // from the last stroke of a group to the next group
constexpr int kMaxTailMs = 1500;    // longest wait for the last stroke to die away
constexpr int kMaxGroups = 16;
constexpr int kMaxStrokesInGroup = 20;

// Reads a bell code: groups of digits joined by dashes ("3-1-1", "2-1",
// "5-5-5"); each group counts its strokes. False with the reason.
bool parseBellCode(std::string_view code, std::vector<int>& groups, std::string& why);

// Rings the groups: stroke() for each stroke, wait(ms) for the gaps and
// finally for tailMs. Returns the number of strokes.
int ringBellCode(const std::vector<int>& groups, const std::function<void()>& stroke,
                 const std::function<void(int64_t)>& wait, int tailMs);

}  // namespace owin
