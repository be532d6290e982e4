// A folder tree built for one test in a fresh temporary folder and removed
// again afterwards.
#pragma once

#include <filesystem>
#include <string>

class TestTree {
public:
    TestTree();
    ~TestTree();
    TestTree(const TestTree&) = delete;
    TestTree& operator=(const TestTree&) = delete;

    const std::filesystem::path& root() const { return root_; }
    // root with a trailing separator, as the host passes a source folder.
    std::string source() const {
        return root_.string() + static_cast<char>(std::filesystem::path::preferred_separator);
    }
    std::string path(const std::string& relative) const { return (root_ / relative).string(); }

    // Writes a file (creating its folders) with exactly these bytes.
    void File(const std::string& relative, const std::string& bytes) const;
    void Folder(const std::string& relative) const;
    void Link(const std::string& relative, const std::string& target) const;
    std::string Read(const std::string& relative) const;

    // Writes a file at an absolute path (its folder must exist).
    static void WriteFile(const std::string& path, const std::string& bytes);
    static std::string ReadFile(const std::string& path);

private:
    std::filesystem::path root_;
};
