// quillmark-test-listing: stands in for "ipconfig" and "arp" when copied under their
// names, printing a captured listing instead of this machine's: the file beside it named
// after the program and its arguments ("ipconfig /all" prints ipconfig-all.txt, "arp -a"
// arp-a.txt), bytes as they are.

#include "BinaryStreams.h"
#include "platform/ProcessInfo.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char* argv[])
{
    UseBinaryStreams();
    std::string name = std::filesystem::path(platform::ExecutablePath()).stem().string();
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument.starts_with("/") || argument.starts_with("-"))
            argument.erase(0, 1);
        name += "-" + argument;
    }
    // The directory is UTF-8, which a plain narrow path is not on Windows.
    const std::string path = platform::ExecutableDirectory() + name + ".txt";
    std::ifstream file(std::filesystem::path(std::u8string(path.begin(), path.end())),
                       std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "no listing %s.txt\n", name.c_str());
        return 1;
    }
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    return 0;
}
