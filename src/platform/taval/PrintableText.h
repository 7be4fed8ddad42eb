// Text from files and folder names as it may be shown to a person or put in
// a log: control characters and bytes beyond ASCII become \xNN, so a bad
// file never moves the terminal or hides a character in a message.
#pragma once

#include <string>

namespace Tessor::taval {

std::string printableText(const std::string& text);

}  // namespace Tessor::taval
