// What the commands share on their command lines: the messages, and the options
// -o/--output, --force, --sheet, --range and --settings.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/spreadsheet_input.h"
#include "core/cell_table.h"
#include "core/file_io.h"

namespace tabulon {

// Writes "tabulon COMMAND: message" and a pointer to the command's help; kExitUsage.
int UsageError(const std::string& command, const std::string& message);
// Writes "tabulon COMMAND: message"; kExitFailure.
int Failure(const std::string& command, const std::string& message);

struct SharedOptions {
    std::optional<std::string> output;
    std::optional<std::string> settings;
    SpreadsheetChoice choice;
    ReadOnlyFiles readOnlyOutput = ReadOnlyFiles::Refuse;  // --force replaces a read-only output
};

// A settings file holds a few short lines; anything this large is not one.
inline constexpr uint64_t kMaxSettingsFileBytes = 1ull << 20;

// The scales of the settings file given with --settings.
ScaleSettings ReadSettingsOption(const std::string& path);

// The message for an output that cannot be written: a read-only one also says
// how to replace it.
std::string OutputFailure(const TabulonError& error);

// When args[k] is one of the shared options (or the flag --force), reads it and its value ("--name
// VALUE" moves k past the value; "--name=VALUE" does not) into options and
// returns true. error then says what is missing, or stays empty. False, leaving
// everything alone, for any other argument.
bool ReadSharedOption(const std::vector<std::string>& args, size_t& k, SharedOptions& options, std::string& error);

// Reads a command line of options and one input, named by inputName ("workbook")
// in the messages: -h/--help, the shared options, then the command's own, for
// which ownOption(arg) returns true. Returns -1 when the command is to go on;
// otherwise the exit status, the help or the usage error already written.
int ReadCommandLine(const std::vector<std::string>& args, const char* command, const char* usage,
                    SharedOptions& options, const std::function<bool(const std::string&)>& ownOption,
                    const char* inputName, std::optional<std::string>& input);

}  // namespace tabulon
