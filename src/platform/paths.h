#pragma once
// Paths of the system and real paths. Courseware paths are built as the system builds them, by concatenating
// folder texts that end in "\" (CP932 bytes); they become real paths once, at the file system call:
// "\" becomes "/", CP932 becomes UTF-8, a drive text such as "C:\" becomes the user's data folder, and when the
// exact name does not exist a case-insensitive match in the same folder is used, so courseware authored on a
// case-insensitive file system keeps working.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavola::paths {

// The real (UTF-8, "/"-separated) path of a system path.
std::string realPath(const std::string& systemPath);

// The system path (CP932, as the file system spells it) of a real path; nullopt when the name cannot be
// written in CP932.
std::optional<std::string> systemPathOf(const std::string& realPath);

// The user's data folder, which stands for a drive such as "C:\": $XDG_DATA_HOME/tavola, default
// ~/.local/share/tavola (no trailing separator).
std::string dataFolder();

// The current directory as a system path.
std::optional<std::string> currentDirectory();

// True only for a regular file (a named pipe or a device is not a file).
bool fileExists(const std::string& systemPath);
bool directoryExists(const std::string& systemPath);
bool createDirectory(const std::string& systemPath);
// Makes the folder that is to hold a file, with any folders above it, when it is missing.
bool ensureParentFolder(const std::string& systemPath);

// True when the folder cannot be written by the user (a read-only file system or no write permission): what a
// CD-ROM drive was to the system.
bool isReadOnlyFolder(const std::string& systemPath);

// Names (files and folders) in a folder, as system texts, in the order the file system lists them.
std::vector<std::string> listFolder(const std::string& systemFolder);
// The regular files of a folder (a system folder text ending in a separator) whose names end in extension
// (".prp", ".bmp") in any ASCII case, sorted by name like every file list of the program.
std::vector<std::string> filesWithExtension(const std::string& systemFolder, std::string_view extension);

} // namespace tavola::paths
