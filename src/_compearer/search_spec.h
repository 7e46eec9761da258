#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace parvex {

/// The full patterns of a SearchSpec text (start folder, then masks separated by ";"),
/// in scan order. A ";" inside an existing start folder belongs to the folder.
std::vector<std::string> SplitSearchSpec(const std::string& spec);

/// True for the characters trimmed from a typed start folder: blanks and control characters.
bool IsBlankOrControl(char c);

/// The folder with a trailing "/" added unless it already ends in one.
std::string WithTrailingSlash(std::string folder);

/// A start folder as the search wants it, for the window and the command line alike: blanks
/// and control characters dropped at both ends, a trailing "/" added, every other byte kept.
std::string NormalizeStartFolder(std::string_view typed);

/// A mask list as typed at an input (the window's field, the command line): one with nothing
/// left after trimming blanks and control characters means every file, "*.*". The engine
/// itself takes the list as given.
std::string MaskListOfInput(std::string_view typed);

/// Length of the folder part of a pattern: up to and including its last "/".
std::size_t FolderPartLength(std::string_view pattern);

} // namespace parvex
