// The configuration file named on the command line.
#pragma once

#include <string>

// The name after "-f" or "-F", with or without a blank between; empty when
// there is none.
std::string configFileArgument(int argc, char** argv);
