// Splitting one record of comma-separated values (see csv_fields.h).
#include "commands/system/csv_fields.h"

namespace orvel {

bool splitCsvRecord(std::string_view record, char sep, std::vector<std::string>& fields) {
  fields.clear();
  std::string field;
  size_t i = 0;
  for (;;) {
    field.clear();
    if (i < record.size() && record[i] == '"') {
      bool closed = false;
      for (i++; i < record.size(); i++) {
        if (record[i] != '"') {
          field += record[i];
        } else if (i + 1 < record.size() && record[i + 1] == '"') {
          field += '"';
          i++;
        } else {
          closed = true;
          i++;
          break;
        }
      }
      if (!closed) return false;
    }
    while (i < record.size() && record[i] != sep) field += record[i++];
    fields.push_back(field);
    if (i >= record.size()) return true;
    i++;  // the separator; a final one leaves an empty last field
  }
}

}  // namespace orvel
