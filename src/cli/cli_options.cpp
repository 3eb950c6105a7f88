#include "cli/cli_options.h"

#include <utility>

#include "cli/cli.h"
#include "core/settings_file.h"
#include "platform/console.h"

namespace tabulon {

int UsageError(const std::string& command, const std::string& message) {
    WriteErr("tabulon " + command + ": " + message + "\n");
    WriteErr("Try 'tabulon " + command + " --help'.\n");
    return kExitUsage;
}

int Failure(const std::string& command, const std::string& message) {
    WriteErr("tabulon " + command + ": " + message + "\n");
    return kExitFailure;
}

ScaleSettings ReadSettingsOption(const std::string& path) {
    return ReadScaleSettings(ReadWholeFile(path, kMaxSettingsFileBytes));
}

std::string OutputFailure(const TabulonError& error) {
    std::string message = error.what();
    if (dynamic_cast<const ReadOnlyFileError*>(&error)) message += "; --force replaces it";
    return message;
}

bool ReadSharedOption(const std::vector<std::string>& args, size_t& k, SharedOptions& options, std::string& error) {
    struct Option {
        std::string name;
        std::optional<std::string>* value;
        const char* needs;
    };
    const Option table[] = {
        {"--output", &options.output, "a file name"},
        {"--sheet", &options.choice.sheet, "a sheet name"},
        {"--range", &options.choice.range, "a range such as A1:F20"},
        {"--settings", &options.settings, "a file name"},
    };
    const std::string& arg = args[k];
    if (arg == "--force") {
        options.readOnlyOutput = ReadOnlyFiles::Replace;
        return true;
    }
    for (const Option& option : table) {
        const bool output = option.name == "--output";
        std::optional<std::string> value;
        if (arg.rfind(option.name + "=", 0) == 0) {
            value = arg.substr(option.name.size() + 1);
        } else if (arg == option.name || (output && arg == "-o")) {
            if (k + 1 < args.size()) value = args[++k];
        } else {
            continue;
        }
        if (value && !value->empty()) {
            *option.value = std::move(value);
        } else {
            // -o and --output= are named as written.
            error = "option " + (output ? arg : option.name) + " needs " + option.needs;
        }
        return true;
    }
    return false;
}

int ReadCommandLine(const std::vector<std::string>& args, const char* command, const char* usage,
                    SharedOptions& options, const std::function<bool(const std::string&)>& ownOption,
                    const char* inputName, std::optional<std::string>& input) {
    for (size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        if (arg == "-h" || arg == "--help") {
            WriteOut(usage);
            return kExitOk;
        } else if (std::string error; ReadSharedOption(args, k, options, error)) {
            if (!error.empty()) return UsageError(command, error);
        } else if (ownOption && ownOption(arg)) {
            // one of the command's own options, taken
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError(command, "unknown option \"" + arg + "\"");
        } else if (!input) {
            input = arg;
        } else {
            return UsageError(command, std::string("more than one ") + inputName + " given (\"" + *input + "\", \"" +
                                           arg + "\")");
        }
    }
    if (!input) return UsageError(command, std::string("no ") + inputName + " given");
    return -1;
}

}  // namespace tabulon
