#include "tests/support/test_tree.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

TestTree::TestTree() {
    // A name nobody else holds: create_directory fails for one that exists.
    std::random_device seed;
    std::mt19937_64 random(seed());
    const std::filesystem::path temp = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate =
            temp / ("mossgrain-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            root_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TestTree::~TestTree() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

void TestTree::File(const std::string& relative, const std::string& bytes) const {
    const std::filesystem::path p = root_ / relative;
    std::filesystem::create_directories(p.parent_path());
    WriteFile(p.string(), bytes);
}

void TestTree::WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

void TestTree::Folder(const std::string& relative) const {
    std::filesystem::create_directories(root_ / relative);
}

void TestTree::Link(const std::string& relative, const std::string& target) const {
    const std::filesystem::path p = root_ / relative;
    std::filesystem::create_directories(p.parent_path());
    std::filesystem::create_symlink(target, p);
}

std::string TestTree::Read(const std::string& relative) const {
    return ReadFile((root_ / relative).string());
}

std::string TestTree::ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}
