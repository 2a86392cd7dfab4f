// The output writers: each writes the store in one format to the open output file.
#pragma once

struct Store;
class OutputFile;

/// Writes geometries displaced along the imaginary modes, after every output.
void writedistort(Store& s);
