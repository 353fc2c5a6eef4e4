#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace orv::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvella-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(std::string_view name) const { return path_ + "/" + std::string(name); }

void TempDir::write(std::string_view name, std::string_view bytes) const {
    const auto p = std::filesystem::path(file(name));
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempDir::read(std::string_view name) const {
    std::ifstream in(file(name), std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool TempDir::exists(std::string_view name) const { return std::filesystem::exists(file(name)); }

}  // namespace orv::test
