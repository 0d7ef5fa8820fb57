// The program's entry logic, apart from main so that tests can run it in
// process: initialise the application, create the setup window, run it, and
// destroy the forms. Returns the exit code, always 0.
#pragma once

int RunSetup();
