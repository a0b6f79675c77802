// Standard output and standard error as the libraries and the commands
// share them. The libraries' messages begin with a line break and leave
// their last line open ("\nDevice initialized"); a command's own line
// first closes such a line, so that no two lines run together.
#pragma once

#include <ostream>

namespace kelo::cli {

// Lets freshLine know where the lines of std::cout and std::cerr stand.
// Called once, before anything is written.
void trackOutputLines();

// Closes the open line of std::cout and of std::cerr, each with a line
// break of its own, before a line on `out`: `std::cerr << freshLine <<
// "kelo grab: ..."`. Both, because a terminal shows the two streams as one.
std::ostream& freshLine(std::ostream& out);

}  // namespace kelo::cli
