// A fresh folder under /tmp for one test, removed with everything in it at the end.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <string_view>

namespace utm::test {

class TempFolder {
  public:
    TempFolder() {
        char pattern[] = "/tmp/utm-test-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    /// The path of `name` inside the folder.
    std::string File(const std::string& name) const { return path_ + "/" + name; }

    /// Writes `bytes` exactly into `name`; returns its path.
    std::string Write(const std::string& name, std::string_view bytes) const {
        const std::string p = File(name);
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return p;
    }

    /// The names of the entries of the folder (hidden ones included).
    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

  private:
    std::string path_;
};

}  // namespace utm::test
