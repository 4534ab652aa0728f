// Splitting one record of comma-separated values.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// Splits a record into fields at `sep`. A field that begins with a double
// quote runs to the closing quote, may hold separators and line ends, and
// writes a quote as two quotes; text after the closing quote up to the next
// separator is kept as it stands. Unquoted fields are taken as they stand.
// Returns false when the record ends inside a quoted field (the caller may
// add the next line and try again); fields is then unspecified.
bool splitCsvRecord(std::string_view record, char sep, std::vector<std::string>& fields);

}  // namespace orvel
