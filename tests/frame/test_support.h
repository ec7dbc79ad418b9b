// Temporary folders and small file helpers for the frame tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace qm::test {

class TempDir {
 public:
  // A new folder "qmtest-XXXXXX" in the system's temporary folder.
  TempDir() {
    std::random_device random;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
      std::string name = "qmtest-";
      for (int i = 0; i < 6; ++i) name += digits[random() % 36];
      std::error_code ec;
      if (std::filesystem::create_directory(base / name, ec)) path_ = (base / name).string();
    }
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder with a trailing separator ('/', on Windows '\\').
  std::string dir() const { return path_ + kSep; }
  std::string Sub(const std::string& name) const {
    std::filesystem::create_directories(path_ + kSep + name);
    return path_ + kSep + name + kSep;
  }

 private:
  static constexpr char kSep[] = {std::filesystem::path::preferred_separator, '\0'};
  std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& content) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

inline void CopyFile(const std::string& from, const std::string& to) {
  std::filesystem::create_directories(std::filesystem::path(to).parent_path());
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

}  // namespace qm::test
