#include "host/embedded_script.h"

namespace hexbury {

std::string joinScriptPieces() {
  std::string text;
  for (const char* piece : kScriptPieces) text += piece;
  return text;
}

}  // namespace hexbury
