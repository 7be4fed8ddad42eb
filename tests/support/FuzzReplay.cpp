// Runs a fuzz target without libFuzzer: every file named on the command
// line, and every file of a folder named there, goes to the target once, in
// name order. A target that finds a fault aborts, so the run fails.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        // A target may change the working folder.
        const std::filesystem::path named = std::filesystem::absolute(argv[i]);
        if (std::filesystem::is_directory(named)) {
            for (const auto& entry : std::filesystem::directory_iterator(named)) {
                if (entry.is_regular_file()) {
                    inputs.push_back(entry.path());
                }
            }
        } else {
            inputs.push_back(named);
        }
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: %s FILE|FOLDER...: no input to replay\n", argv[0]);
        return 1;
    }
    for (const std::filesystem::path& input : inputs) {
        std::ifstream in(input, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "%s cannot be read\n", input.c_str());
            return 1;
        }
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::fprintf(stderr, "%s (%zu bytes)\n", input.c_str(), bytes.size());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::fprintf(stderr, "%zu inputs replayed\n", inputs.size());
    return 0;
}
