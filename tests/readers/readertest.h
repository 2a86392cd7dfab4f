// Runs one reader on a text held in memory and keeps what it printed and how it failed.
#pragma once

#include "control/control.h"
#include "control/files.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <string>

struct ReadResult {
    Store s;
    std::string out;     // standard output while reading
    std::string message; // empty when the reader returned
    std::string routine;
};

inline ReadResult runreader(void (*reader)(Store&, InputFile&), std::string text,
                            ReadResult r = {}) {
    InputFile in(std::move(text));
    testing::internal::CaptureStdout();
    try {
        reader(r.s, in);
    } catch (const RunError& e) {
        r.message = e.what();
        r.routine = e.routine;
    }
    r.out = testing::internal::GetCapturedStdout();
    return r;
}

/// The "LINE: " echo of a rejected atom line.
inline std::string echoed(std::string_view line) {
    return "LINE: " + record(line) + "\n";
}

inline constexpr double bohr = 0.5291772484779358;
