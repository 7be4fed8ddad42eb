#include "shell/CommandLine.h"

#include <cstring>

#include "schema/base/RunAgent.h"

namespace Tessor::shell {

using schema::RunAgent;

std::string commandLineText(int argc, char** argv)
{
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            text += ' ';
        }
        text += argv[i];
    }
    return text;
}

void parseCommandLine(const std::string& text)
{
    if (text.empty() || text.size() >= RunAgent::PARAM_SIZE) {
        return;
    }
    size_t at = 0;
    bool switchSeen = false;
    for (;;) {
        if (at >= text.size()) {
            return;
        }
        if (text[at] == '-' && at + 1 < text.size() && (text[at + 1] == 'f' || text[at + 1] == 'F')) {
            at += 2;
            switchSeen = true;
            if (at >= text.size()) {
                return;
            }
        }
        if (switchSeen && text[at] != ' ') {
            break;
        }
        ++at;
    }
    const size_t end = text.find(' ', at);
    const std::string name = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    std::memcpy(RunAgent::cfgParm, name.c_str(), name.size() + 1);
}

}  // namespace Tessor::shell
