// A request to end the program from outside (the session ending, Ctrl+C, kill)
// ends its event loop in order, so what closing the window saves is saved.
#pragma once

class QCoreApplication;

// SIGTERM, SIGINT and SIGHUP quit `app`'s event loop from the loop itself.
// Call once, after the application object exists.
void QuitOnTerminationSignals(QCoreApplication &app);
