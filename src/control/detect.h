// Telling a file's type from its first lines and its name, and the hints for a type name that
// is not known.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class FileHead;

enum class TypeKind { input, output };

/// What the detection of an input type found.
struct Detection {
    std::string_view type; // the input type; empty when none was chosen
    /// When none was chosen: the types that fit equally well, or the ones the name suggests.
    std::vector<std::string_view> candidates;
    std::string reason; // when none was chosen: why, with the candidates and how to name one
};

/// The input type of a file, from the content tests on its first lines, the most specific fit
/// winning and the name's extension deciding between equal fits; reads only the file's head.
Detection detectinputtype(const std::string& path);
/// The same for a head already read; name gives the extension.
Detection detectinputtype(std::string_view name, const FileHead& head);
/// The output type chosen by a file name's extension; empty when no type has it.
std::string_view outputtypeforname(std::string_view name);
/// The known type name nearest to an unknown one (a letter wrong, missing, extra or two letters
/// swapped; two such in a longer name); empty when none is that near.
std::string_view nearesttypename(std::string_view name, TypeKind kind);
/// The names of the input or output types, in table order.
std::vector<std::string_view> typenames(TypeKind kind);
/// One line for an unknown type name: the nearest known one, if any, and the known ones.
std::string unknowntypehint(std::string_view name, TypeKind kind);
/// Whether a file name ends, without regard to case and after a ".gz", in one of the
/// blank-separated extensions.
bool namehasextension(std::string_view name, std::string_view extensions);
