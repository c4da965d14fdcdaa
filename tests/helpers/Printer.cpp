// quillmark-test-printer: prints its arguments, for the console runner's tests on every
// system. Each argument is one piece, written and flushed by itself:
//   TEXT       to standard output, with \xHH escapes for any byte
//   2>TEXT     the same to standard error
//   @FILE      the file's bytes to standard output; 2>@FILE to standard error
//   ~MS        a pause of MS milliseconds
//   <          standard input, read to its end and written to standard output

#include "BinaryStreams.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace {

// \xHH escapes, the only ones; a backslash without them stands for itself.
std::string Unescaped(const std::string& text)
{
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\x") == 0 && i + 3 < text.size()) {
            bytes += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

std::string FileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

} // namespace

int main(int argc, char* argv[])
{
    UseBinaryStreams();
    for (int i = 1; i < argc; ++i) {
        std::string piece = argv[i];
        if (piece.starts_with("~")) {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(piece.substr(1))));
            continue;
        }
        std::FILE* stream = stdout;
        if (piece.starts_with("2>")) {
            stream = stderr;
            piece.erase(0, 2);
        }
        std::string bytes;
        if (piece == "<") {
            char buffer[4096];
            while (const size_t got = std::fread(buffer, 1, sizeof buffer, stdin))
                bytes.append(buffer, got);
        } else {
            bytes = piece.starts_with("@") ? FileBytes(piece.substr(1)) : Unescaped(piece);
        }
        std::fwrite(bytes.data(), 1, bytes.size(), stream);
        std::fflush(stream);
    }
    return 0;
}
