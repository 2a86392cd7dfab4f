// The scratch folder of a fuzz target and the layout of its inputs.
#include "fuzzinput.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdlib.h>

namespace fs = std::filesystem;

namespace kfuzz {

namespace {

fs::path& scratch() {
    static fs::path dir;
    return dir;
}

void removescratch() {
    std::error_code ec;
    fs::remove_all(scratch(), ec);
}

void spill(const fs::path& p, std::string_view text) {
    std::ofstream out(p, std::ios::binary);
    out.write(text.data(), std::streamsize(text.size()));
}

} // namespace

Parts split(std::string_view bytes) {
    Parts p;
    std::size_t at = bytes.find(separator);
    if (at == std::string_view::npos) {
        p.data = std::string(bytes);
        return p;
    }
    p.control = std::string(bytes.substr(0, at));
    bytes.remove_prefix(at + separator.size());
    at = bytes.find(separator);
    p.data = std::string(bytes.substr(0, at));
    while (at != std::string_view::npos && p.sides.size() < 3) {
        bytes.remove_prefix(at + separator.size());
        at = bytes.find(separator);
        p.sides.emplace_back(bytes.substr(0, at));
    }
    return p;
}

void makescratch() {
    // A folder in memory where there is one: on a disk file system, replacing files thousands of
    // times a second waits for the disk.
    std::error_code ec;
    const fs::path base =
        fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string name = (base / "kru-fuzz-XXXXXX").string();
    if (mkdtemp(name.data()) == nullptr) {
        std::cerr << "kru fuzz: cannot create a scratch folder\n";
        std::exit(2);
    }
    scratch() = name;
    std::atexit(removescratch);
}

const RunContext& context() {
    static std::ostream dropped(nullptr);
    static const RunContext c(dropped, std::cerr, scratch());
    return c;
}

void writefiles(const Parts& parts) {
    for (const fs::directory_entry& e : fs::directory_iterator(scratch())) {
        fs::remove_all(e.path());
    }
    spill(scratch() / "in", parts.data);
    for (std::size_t k = 0; k < parts.sides.size(); ++k) {
        spill(scratch() / ("side" + std::to_string(k + 1)), parts.sides[k]);
    }
}

} // namespace kfuzz
