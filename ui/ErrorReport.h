// The error report: what a handler's escaping error turns into at every
// callback boundary (window procedures, hooks, timers).
#pragma once
#include <string>

// Shows the report for one error's message, false when it could not (no
// application object now). The application object sets itself up as the
// reporter; without one, or when it cannot, a plain box titled "Error" shows.
// Returns the reporter it replaces, for the one who set up a reporter to
// put back when it goes.
using TErrorReporter = bool (*)(const std::string& message);
TErrorReporter SetErrorReporter(TErrorReporter reporter);

// Reports the exception in flight; call it only inside a catch block.
void HandleCurrentException();
