// Runs a reader on a text in memory, keeping what it printed and how it failed.
#pragma once

#include "control/control.h"
#include "control/files.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>

struct Read {
    Store s;
    std::string out, message, routine;
};

/// Reads `text` into r.s (prepared by the caller) with `reader`.
inline void readinto(Read& r, void (*reader)(Store&, InputFile&), std::string text) {
    InputFile in(std::move(text));
    std::ostringstream log;
    r.s.context.log = &log;
    try {
        reader(r.s, in);
    } catch (const RunError& e) {
        r.message = e.what();
        r.routine = e.routine;
    }
    r.s.context.log = &std::cout; // the stream ends here, the store lives on
    r.out = log.str();
}
