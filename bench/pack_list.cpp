// Packs a file manager's selection: loads the module and calls PackFiles once
// with an entry list read from a file, as the file manager passes it (every
// file and folder below the selected folders, folders ending in a separator).
// The stand-in host takes its entries on the command line, which cannot hold
// the list of a tree as large as the Linux sources.
//
//   pack_list MODULE REPORT SOURCE LIST
//
// LIST holds the entries, each ended by a NUL. The settings dialog is
// answered with Enter. Exit status 0 when PackFiles returned 0.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "standin/standin_os.h"
#include "standin/plugin_module.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: pack_list MODULE REPORT SOURCE LIST\n");
        return 2;
    }
    std::ifstream in(argv[4], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "pack_list: cannot read %s\n", argv[4]);
        return 2;
    }
    std::string list{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!list.empty() && list.back() != '\0') list += '\0';
    list += '\0';  // the empty entry that ends the list

    PluginModule module;
    std::string error;
    if (!module.Load(argv[1], error)) {
        std::fprintf(stderr, "pack_list: cannot use %s: %s\n", argv[1], error.c_str());
        return 2;
    }
    standin_os::AnswerDialogsWith("Enter");
    std::string report = argv[2], source = argv[3];
    const int result = module.PackFiles(report.data(), nullptr, source.data(), list.data(), 0);
    if (result != 0) std::fprintf(stderr, "pack_list: PackFiles returned %d\n", result);
    return result == 0 ? 0 : 1;
}
