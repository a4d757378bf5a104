// The program's entry point; everything it does starts in the app layer.
#include "app/program.h"

int main(int argc, char* argv[]) { return quarzello::runProgram(argc, argv); }
