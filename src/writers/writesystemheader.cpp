// The interpreter line that opens every ADF job script, chosen by the SYS setting, and the empty
// line after it.
#include "control/files.h"
#include "store/store.h"
#include "writers/writers.h"

void writesystemheader(const Store& s, OutputFile& out) {
    // The setting is compared as stored, case included.
    if (s.systemtype == "AIX") {
        out.line("#! /slocal/bin/zsh");
    } else if (s.systemtype == "LINUX") {
        out.line("#! /bin/bash");
    } else {
        out.line("#! /bin/sh");
    }
    out.line("");
}
