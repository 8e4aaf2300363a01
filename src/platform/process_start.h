// What the process is given when it starts: its arguments, and standard
// output as results are written to it.
#pragma once

#include <string>
#include <vector>

namespace quorvid::platform {

/// The program's arguments as UTF-8 text, the program's own name first. On
/// Windows they are read from the wide command line, so names in any script
/// survive; `argc` and `argv` serve elsewhere.
std::vector<std::string> ProgramArguments(int argc, char** argv);

/// Makes a console that shows standard output read it as UTF-8, the text the
/// program writes (nothing to do on POSIX, where the terminal decides).
void PrepareStandardOutput();

}  // namespace quorvid::platform
