#pragma once

// A scratch directory for one test, removed with everything in it when the test ends.

#include <filesystem>
#include <fstream>
#include <string>

#include <stdlib.h>

class TempDir
{
public:
  TempDir()
  {
    std::string pattern =
      (std::filesystem::temp_directory_path() / "kelvaron_test_XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir()
  {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir &) = delete;
  TempDir & operator=(const TempDir &) = delete;

  const std::filesystem::path & path() const { return path_; }
  // The full path of `name` inside the directory (nothing is created).
  std::string path(const std::string & name) const { return (path_ / name).string(); }

  // Writes `contents` to `relative` (creating folders) and returns the full path.
  std::string write(const std::string & relative, const std::string & contents) const
  {
    const auto file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << contents;
    return file.string();
  }

private:
  std::filesystem::path path_;
};
