#ifndef TOOLMAIN_H
#define TOOLMAIN_H

#include "main/control_panel.h"

// The body of both programs: application names, the window in the given configuration, the
// event loop. SIGINT and SIGTERM end the program whenever they arrive, also while a box that
// start-up shows is up.
int toolMain(int argc, char* argv[], Control_Panel::Configuration configuration);

#endif // TOOLMAIN_H
