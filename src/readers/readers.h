// The input readers: each reads the open input file in two passes and fills the store.
#pragma once

struct Store;
class InputFile;
