// Keeps the program's windows painted while a long loop runs on the GUI
// thread, without letting anything else in.
#pragma once

// Called between the items of a long loop. About every 100 ms it dispatches
// the thread's pending paint messages and nothing else: no input, no timer,
// no command, so nothing can start while the loop runs. As any look at the
// queue does, it also delivers the messages other programs send to the
// thread's windows, and it keeps the system from taking the window for hung.
void KeepPainting();
