#include "host/console_pager.h"

#include <algorithm>
#include <string>

#include "interp/interp.h"
#include "platform/console.h"

namespace hexbury {

namespace {

constexpr int kEsc = 27;
constexpr int kHome = 71, kUp = 72, kPgUp = 73, kEnd = 79, kDown = 80, kPgDn = 81;
const char* const kMorePrompt = "-- More (PgUp, PgDn, Home, End, Esc quits) --";
const char* const kEndPrompt = "-- End - ESC to Close --";

struct Key {
  int code = 0;
  bool extended = false;
};

Key readKey() {
  Key k;
  k.code = plat::readKey();
  if (k.code == 0 || k.code == 224) {
    k.extended = true;
    k.code = plat::readKey();
  }
  return k;
}

void erasePrompt(size_t length) { plat::writeOut("\r" + std::string(length, ' ') + "\r"); }

void clear() { plat::clearScreen(' ', 7); }

}  // namespace

void page_lines(const char* const* lines, size_t count, int headerColour, bool paging, bool highlightFirst) {
  if (!lines || count == 0) return;
  int cols = 80, rows = 24;
  if (!plat::windowSize(cols, rows)) rows = 24;
  size_t pageSize = rows > 2 ? static_cast<size_t>(rows - 2) : 1;
  pageSize = std::min(pageSize, count);

  auto printLine = [&](size_t i) {
    if (i == 0 && highlightFirst) {
      plat::setAttribute((headerColour & 0xF0) | 0x0F);
      plat::writeOut(orvel::strprintf("%-79s", lines[0]));
      plat::setAttribute(7);
      plat::writeOut("\r\n");
    } else {
      plat::writeOut(std::string(lines[i]) + "\r\n");
    }
  };

  if (!paging) {
    for (size_t i = 0; i < count; i++) printLine(i);
    return;
  }

  const size_t lastPage = count - pageSize;
  size_t next = 0;          // the next line to print
  size_t displayStart = 0;  // where the display since the last clear began
  size_t pageStart = 0;     // the first line of the page last shown
  for (;;) {
    pageStart = next;
    size_t shown = 0;
    while (next < count && shown < pageSize) printLine(next++), shown++;
    if (next < count) {
      plat::writeOut(kMorePrompt);
      Key k = readKey();
      erasePrompt(std::string(kMorePrompt).size());
      if (!k.extended && k.code == kEsc) return;
      if (!k.extended) continue;  // the next page below this one
      switch (k.code) {
        case kHome: next = 0; break;
        case kUp:
        case kPgUp: next = pageStart >= pageSize ? pageStart - pageSize : 0; break;
        case kEnd: next = lastPage; break;
        case kDown:
        case kPgDn: break;
        default: continue;
      }
      clear();
      displayStart = next;
      continue;
    }
    plat::setAttribute(0x70);
    plat::writeOut(kEndPrompt);
    plat::setAttribute(7);
    Key k = readKey();
    if (!k.extended && k.code == kEsc) {
      plat::writeOut("\r\n");
      return;
    }
    if (k.extended && (k.code == kUp || k.code == kPgUp)) next = pageStart >= pageSize ? pageStart - pageSize : 0;
    else if (k.extended && k.code == kHome) next = 0;
    else next = displayStart;
    clear();
    displayStart = next;
  }
}

}  // namespace hexbury
