// The game's program: the application object and the program put together (RunZelboProgram).
#include "app/zelbo_app.h"
#include "app/zelbo_program.h"

CZelboApp theApp;

int main(int argc, char** argv) { return RunZelboProgram(argc, argv, "zelbo"); }
