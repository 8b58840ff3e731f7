// The command line's side of a verb: it reaches the running simulator (COM starts one when none
// runs), hands it the words and prints the answer.
#pragma once

#include <string>
#include <vector>

namespace nodesim {

// The process exit code: 0 done, 1 the simulator refused or cannot be reached, 2 a usage error.
int RunClientCommand(const std::vector<std::string>& words);

}  // namespace nodesim
