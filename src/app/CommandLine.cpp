#include "app/CommandLine.h"

std::string configFileArgument(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.size() < 2 || word[0] != '-' || (word[1] != 'f' && word[1] != 'F')) {
            continue;
        }
        if (word.size() > 2) {
            return word.substr(2);
        }
        return i + 1 < argc ? std::string(argv[i + 1]) : std::string();
    }
    return std::string();
}
