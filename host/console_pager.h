// Shows a table of text lines on the console a page at a time.
#pragma once
#include <cstddef>

namespace hexbury {

// Pages lines[0..count-1]. The page is the console window's height less two
// rows (24 rows when it cannot be read). With highlightFirst the first line
// is padded to 79 columns in headerColour with a bright white foreground.
// With paging, a prompt waits after every page: Esc quits, Home, End,
// Up/PgUp and Down/PgDn move (clearing the screen), any other key shows the
// next page below. After the last line a closing prompt waits; the pager
// returns only through Esc (or at the end of the input). Without paging
// the lines are printed and it returns.
void page_lines(const char* const* lines, size_t count, int headerColour, bool paging, bool highlightFirst);

}  // namespace hexbury
