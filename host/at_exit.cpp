#include "host/at_exit.h"

namespace hexbury {

void run_at_exit(orvel::Interp& in) {
  static bool ran = false;
  if (ran) return;
  ran = true;
  orvel::Command* c = orvel::orvelGetCommand(in, "at_exit");
  if (!c || !c->handler) return;
  try {
    orvel::Args words{"at_exit"};
    orvel::Handler h = c->handler;
    void* pd = c->pd;
    auto keep = c->owner;  // the command may delete itself
    h(in, words, pd);
  } catch (...) {
    orvel::reportException("at_exit", nullptr);
  }
}

}  // namespace hexbury
