// What the commands share on their command lines: the messages, and the options
// -o/--output, --sheet, --range and --settings.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/spreadsheet_input.h"

namespace tabulon {

// Writes "tabulon COMMAND: message" and a pointer to the command's help; kExitUsage.
int UsageError(const std::string& command, const std::string& message);
// Writes "tabulon COMMAND: message"; kExitFailure.
int Failure(const std::string& command, const std::string& message);

struct SharedOptions {
    std::optional<std::string> output;
    std::optional<std::string> settings;
    SpreadsheetChoice choice;
};

// When args[k] is one of the shared options, reads it and its value ("--name
// VALUE" moves k past the value; "--name=VALUE" does not) into options and
// returns true. error then says what is missing, or stays empty. False, leaving
// everything alone, for any other argument.
bool ReadSharedOption(const std::vector<std::string>& args, size_t& k, SharedOptions& options, std::string& error);

}  // namespace tabulon
