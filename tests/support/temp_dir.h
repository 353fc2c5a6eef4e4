#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it at the end.

#include <string>
#include <string_view>

namespace orv::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const;  // path + "/" + name

    void write(std::string_view name, std::string_view bytes) const;
    std::string read(std::string_view name) const;  // empty when missing
    bool exists(std::string_view name) const;

private:
    std::string path_;
};

}  // namespace orv::test
