// libFuzzer target: arbitrary bytes through a reader of the input-type table, then the
// arrangement step and every writer of the output-type table. A RunError is the orderly end of
// a run; anything else that escapes, a sanitizer report, a slow input or one that needs too much
// memory is a finding.
//
// KRU_FUZZ_TYPE=ORCA selects the reader; without it the first byte of the input does, so that
// an input found that way carries its type. KRU_FUZZ_LIST=1 lists the readers, each by its types.
#include "analysis/analysis.h"
#include "control/control.h"
#include "control/dispatch.h"
#include "fuzzinput.h"
#include "store/store.h"

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Far below the fuzzer's memory limit, and small enough that creating the tables takes a few
// milliseconds: an input that announces more atoms or modes than this holds fails through
// allocexit, as it would beyond the program's own limit.
constexpr long long tablelimit = 16LL << 20;

// One entry per reader: types that share a reader ("VESKO" and "OUT") are one target.
std::vector<const ReaderEntry*> readers() {
    std::vector<const ReaderEntry*> list;
    for (const ReaderEntry& r : inputtypes()) {
        bool seen = false;
        for (const ReaderEntry* e : list) {
            seen = seen || e->read == r.read;
        }
        if (!seen) {
            list.push_back(&r);
        }
    }
    return list;
}

const ReaderEntry*& chosen() {
    static const ReaderEntry* reader = nullptr;
    return reader;
}

// How far an input goes: through the reader only, also the arrangement step, or also every
// writer (the default).
enum class Stages { read, arrange, all };
Stages& stages() {
    static Stages upto = Stages::all;
    return upto;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (std::getenv("KRU_FUZZ_LIST") != nullptr) {
        // The type that names the target, then the other types of the same reader.
        for (const ReaderEntry* r : readers()) {
            std::cout << r->type;
            for (const ReaderEntry& other : inputtypes()) {
                if (other.read == r->read && &other != r) {
                    std::cout << ' ' << other.type;
                }
            }
            std::cout << '\n';
        }
        std::exit(0);
    }
    if (const char* type = std::getenv("KRU_FUZZ_TYPE"); type != nullptr) {
        for (const ReaderEntry& r : inputtypes()) {
            if (r.type == type) {
                chosen() = &r;
            }
        }
        if (chosen() == nullptr) {
            std::cerr << "kru fuzz: no input type " << type << '\n';
            std::exit(2);
        }
    }
    if (const char* upto = std::getenv("KRU_FUZZ_STAGES"); upto != nullptr) {
        const std::string_view text(upto);
        if (text == "read") {
            stages() = Stages::read;
        } else if (text == "arrange") {
            stages() = Stages::arrange;
        } else if (text != "all") {
            std::cerr << "kru fuzz: KRU_FUZZ_STAGES is read, arrange or all, not " << text << '\n';
            std::exit(2);
        }
    }
    kfuzz::makescratch();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ReaderEntry* reader = chosen();
    if (reader == nullptr) {
        if (bytes.empty()) {
            return 0;
        }
        const std::vector<const ReaderEntry*> all = readers();
        reader = all[std::size_t(static_cast<unsigned char>(bytes[0])) % all.size()];
        bytes.remove_prefix(1);
    }
    const kfuzz::Parts parts = kfuzz::split(bytes);
    kfuzz::writefiles(parts);

    Store s(kfuzz::context());
    s.tablelimit = tablelimit;
    // The harness's IN line comes last, so it wins over any the input holds.
    std::istringstream control(parts.control + "\nIN  " + fixedtext(reader->type, 6) + " in\n");
    try {
        processinput(s, control);
        readfile(s);
        if (stages() == Stages::read) {
            return 0;
        }
        // The output type of a writer that reads the near lists makes the arrangement step
        // find them, so that every writer below has a complete store.
        for (const WriterEntry& w : outputtypes()) {
            if (w.nearlists) {
                s.outputtype = std::string(w.type);
            }
        }
        arrange(s);
    } catch (const RunError&) {
        return 0;
    }
    if (stages() == Stages::arrange) {
        return 0;
    }
    // Every writer on its own copy: some writers leave changes in the store.
    for (const WriterEntry& w : outputtypes()) {
        Store c = s;
        c.outputtype = std::string(w.type);
        c.outputfile = "out";
        try {
            writefile(c);
        } catch (const RunError&) {
        }
    }
    return 0;
}
