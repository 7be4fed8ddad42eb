// The configuration-file name on the tool's command line.
#pragma once

#include <string>

namespace Tessor::shell {

// The command line as one text: the arguments joined by single blanks.
std::string commandLineText(int argc, char** argv);

// Copies the name after "-f" or "-F" (with or without blanks between) into
// the run agent's configuration name. A text of 1024 characters or more, an
// empty one, or one without a name after the switch leaves it unchanged.
void parseCommandLine(const std::string& text);

}  // namespace Tessor::shell
