// Writing to the standard streams from a program built for the windows subsystem: the handles
// that the starting shell passed on, else the console of the parent, if it has one.
#pragma once

#include <string>

namespace nodesim {

void WriteOut(const std::string& utf8);
void WriteErr(const std::string& utf8);

}  // namespace nodesim
