// A fresh directory of the test's own, made current while it lives and
// removed after, so that DOVRA.SCR never lands anywhere else.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

class ScratchDirectory {
  public:
    ScratchDirectory() : previous(std::filesystem::current_path()) {
        std::random_device random;
        do {
            path = std::filesystem::temp_directory_path() /
                   ("dovra-test-" + std::to_string(random()) + std::to_string(random()));
        } while (!std::filesystem::create_directory(path));
        std::filesystem::current_path(path);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(previous, ignored);
        std::filesystem::remove_all(path, ignored);
    }
    ScratchDirectory(const ScratchDirectory &) = delete;
    ScratchDirectory &operator=(const ScratchDirectory &) = delete;

  private:
    std::filesystem::path previous;
    std::filesystem::path path;
};
