// A fresh temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace varsel::test {

/// The bytes of any file, empty when it cannot be read.
std::string FileBytes(const std::filesystem::path& file);

class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    /// The folder with a trailing separator, as WorkFolder holds it.
    std::string AsWorkFolder() const { return path_.string() + '/'; }
    /// Writes `bytes` exactly as given into a file of the folder and returns its full path.
    std::filesystem::path Write(const std::string& name, const std::string& bytes) const;
    /// The bytes of a file of the folder.
    std::string Read(const std::string& name) const { return FileBytes(path_ / name); }

  private:
    std::filesystem::path path_;
};

}  // namespace varsel::test
