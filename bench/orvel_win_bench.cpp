// Benchmarks of the graphics plug-in, through its command exports:
//   orvel_win_bench redraw      a 160 x 60-cell screen of text, 500 lines,
//                               300 circles and 100 boxes at 1920 x 1080,
//                               headless (best and median of 30 redraws)
//   orvel_win_bench window      win create to the first shown frame, and
//                               the CPU used during win snooze 10000 in a
//                               window (needs a display, e.g. under Xvfb)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "include/orvel_plugin.h"

extern "C" {
int orvel_win_win(void* interp, int argc, char** argv, void* privdata);
int _export_common_routines(orvel_get_var_fn, orvel_set_var_fn, orvel_string_append_fn, orvel_string_free_fn,
                            orvel_frame_at_level_fn, orvel_find_command_fn, orvel_get_command_fn,
                            orvel_split_list_fn, orvel_free_string_array_fn, orvel_set_result_fn, orvel_alloc_fn,
                            orvel_free_fn, orvel_get_element_fn, orvel_set_element_fn, orvel_string_array_add_fn,
                            orvel_delete_var_fn, orvel_assign_fn);
}

namespace {
std::string gResult;
int gInterp;
void ORVEL_CDECL setResult(void*, const char* text, int) { gResult = text ? text : ""; }

std::string win(std::vector<std::string> words) {
  words.insert(words.begin(), "win");
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  if (orvel_win_win(&gInterp, static_cast<int>(words.size()), argv.data(), nullptr) != ORVEL_OK) {
    std::fprintf(stderr, "win %s failed: %s\n", words[1].c_str(), gResult.c_str());
    std::exit(1);
  }
  return gResult;
}

double msSince(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

// The calls of one redraw, made once so that only drawing is timed.
std::vector<std::vector<std::string>> redrawCalls() {
  std::mt19937 rng(42);
  auto r = [&](int lo, int hi) { return std::to_string(std::uniform_int_distribution<int>(lo, hi)(rng)); };
  const char* colours[] = {"black", "red", "#1D480E", "yellow", "#CD7F32", "white", "blue", "darkgrey"};
  auto colour = [&] { return std::string(colours[std::uniform_int_distribution<int>(0, 7)(rng)]); };
  std::vector<std::vector<std::string>> calls;
  calls.push_back({"textcolor", "black", "#E8E5C4"});
  calls.push_back({"cls"});
  std::string row;
  for (int c = 0; c < 160; ++c) row += static_cast<char>(c % 5 == 0 ? 196 : 'A' + c % 26);
  for (int y = 1; y <= 60; ++y) {
    calls.push_back({"gotoxy", "1", std::to_string(y)});
    calls.push_back({"puts", row});
  }
  for (int i = 0; i < 500; ++i)
    calls.push_back({"line", r(0, 1919), r(0, 1079), r(0, 1919), r(0, 1079), colour(), r(1, 6)});
  for (int i = 0; i < 300; ++i) {
    std::vector<std::string> c{"circle", r(0, 1919), r(0, 1079), colour(), r(8, 40)};
    if (i % 2) c.push_back("-fill");
    calls.push_back(c);
  }
  for (int i = 0; i < 100; ++i) calls.push_back({"box", r(1, 200), r(1, 60), r(3, 20), r(3, 10), colour(), "grey", "-single"});
  return calls;
}

int redraw() {
  win({"create", "-headless", "-w", "1920", "-h", "1080"});
  const auto calls = redrawCalls();
  std::vector<double> times;
  const int rounds = 30;
  // The CPU time of each kind of call, for finding what costs.
  const char* kinds[] = {"puts", "line", "circle", "box"};
  for (const char* k : kinds) {
    const std::clock_t k0 = std::clock();
    for (int i = 0; i < 10; ++i)
      for (const auto& c : calls)
        if (c[0] == k) win(c);
    std::printf("  %-6s %.2f ms CPU\n", k, 1000.0 * static_cast<double>(std::clock() - k0) / CLOCKS_PER_SEC / 10);
  }
  const std::clock_t c0 = std::clock();
  for (int i = 0; i < rounds; ++i) {
    auto t = std::chrono::steady_clock::now();
    for (const auto& c : calls) win(c);
    times.push_back(msSince(t));
  }
  const double cpu = 1000.0 * static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC / rounds;
  win({"close"});
  std::sort(times.begin(), times.end());
  std::printf("redraw 160x60 cells + 500 lines + 300 circles + 100 boxes at 1920x1080 (headless): wall best %.2f ms, "
              "median %.2f ms, worst %.2f ms; CPU %.2f ms per redraw\n",
              times.front(), times[times.size() / 2], times.back(), cpu);
  return 0;
}

int window() {
  auto t = std::chrono::steady_clock::now();
  const char* mode = std::getenv("ORVEL_WIN_BENCH_SIZED");
  std::string handle = mode && *mode ? win({"create", "-w", "1280", "-h", "1024", "-smallfont"}) : win({"create", "-fullscreen", "-smallfont"});
  const double createMs = msSince(t);
  if (handle == "0") {
    std::fprintf(stderr, "no window could be opened\n");
    return 1;
  }
  std::printf("win create (%s) to the first shown frame: %.1f ms (%sx%s)\n", mode && *mode ? "sized" : "full screen", createMs, win({"width"}).c_str(),
              win({"height"}).c_str());
  for (const auto& c : redrawCalls()) win(c);
  win({"update"});
  const std::clock_t c0 = std::clock();
  t = std::chrono::steady_clock::now();
  win({"snooze", "10000"});
  const double wall = msSince(t);
  const double cpu = 1000.0 * static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
  std::printf("win snooze 10000 in a window: %.0f ms wall, %.1f ms CPU = %.2f%% of one core\n", wall, cpu,
              100.0 * cpu / wall);
  win({"close"});
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  _export_common_routines(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, setResult,
                          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  std::string mode = argc > 1 ? argv[1] : "redraw";
  if (mode == "redraw") return redraw();
  if (mode == "window") return window();
  std::fprintf(stderr, "usage: orvel_win_bench redraw|window\n");
  return 2;
}
