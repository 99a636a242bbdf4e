#pragma once

#include <string>
#include <vector>

// Makes the process ready to write the report and returns its arguments after the program's
// name, in UTF-8 whatever the system passes them in. A closed pipe then shows as a failed
// write, not a silent death, and standard output takes the report's bytes as they are.
std::vector<std::string> StartProcess(int argc, char** argv);
