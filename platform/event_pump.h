// Event pumps of loaded plug-ins. A plug-in with a window registers its
// pump when it is loaded; the message pump (doevents, vwait) and the
// console key commands run every pump, so the plug-in's windows stay alive
// while a script waits, and keys typed into them reach the console key
// queue as if typed at the console.
#pragma once

namespace plat {

using EventPumpFn = int (*)(int* keys, int maxKeys);

void addEventPump(EventPumpFn fn);
void removeEventPump(EventPumpFn fn);
bool haveEventPumps();
// Runs every registered pump once and queues the keys they hand back
// (queueKey). Returns the number of keys queued.
int runEventPumps();

// Appends a key code to the console key queue (console backends).
void queueKey(int code);

}  // namespace plat
