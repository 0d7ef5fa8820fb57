// Setup: the installer's main module. The program reads no command line and
// always exits with 0; the application object makes the window system's
// connection itself.
#include "app/Entry.h"
#include "platform/system/Guard.h"

int main() { guard::EndProcess(RunSetup()); }
