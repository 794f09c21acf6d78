#pragma once
// The game's three data files are opened by bare name from the working
// directory; anything there but a regular file is refused before SFML sees
// it, since SFML would read a folder or a named pipe forever.

#include <filesystem>
#include <system_error>

inline bool isRegularFile(const char* file) {
    std::error_code error;
    return std::filesystem::is_regular_file(file, error);
}
