// The game's program put together: the platform, the message boxes and dialogs, the program's
// resources, the grown-ups' section, the players' preference files, the game's modules and the
// picture hosts, then the application's run. The program that links it defines the application
// object (`CZelboApp theApp`).
#pragma once

class IAdultSection;

// Runs the program and returns its exit code; `name` prefixes what it reports on the standard
// error. `beforeRun`, when given, is called once the game's modules are registered and before
// the application starts (a test program puts a module of its own in place there).
int RunZelboProgram(int argc, char** argv, const char* name, void (*beforeRun)() = nullptr);

// Installs the program's one grown-ups' section into the engine; returns what was installed
// before.
IAdultSection* InstallAdultSection();
