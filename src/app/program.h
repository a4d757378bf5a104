// The whole program, as main() runs it.
#pragma once

namespace quarzello {

// Sets up the process, opens the window with the real prompts and printers, and runs until the
// window is closed; returns the exit code.
int runProgram(int argc, char* argv[]);

}  // namespace quarzello
