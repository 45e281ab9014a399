// The command-line parser shared by the archiver libraries.
//
// A line is a command letter or options, then arguments:
//     a -x1 -r2 "/home/aki/a.lzh" "/home/aki/" "docs/*.*"
//     -a -r -ml:21 "/tmp/x.cab" "@/tmp/Kes1A2B.tmp"
// Tokens are separated by blanks; double quotes group a token and are removed.
// The first unquoted token that does not start with '-' is the command; every
// other unquoted token starting with '-' is an option; everything else is an
// argument, in order. What the options mean is each library's business and is
// written down next to its own command dispatch.
#ifndef KESTREL_ARC_COMMAND_LINE_H
#define KESTREL_ARC_COMMAND_LINE_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::arc {

class CommandLine {
public:
    // Splits `line`. Returns nothing (and a reason in `error`) for an unbalanced quote.
    static std::optional<CommandLine> parse(std::string_view line, std::string* error = nullptr);

    const std::string& command() const { return command_; }
    const std::vector<std::string>& options() const { return options_; }
    const std::vector<std::string>& arguments() const { return arguments_; }

    // True when exactly `option` (such as "-x1") was given.
    bool hasOption(std::string_view option) const;
    // The text after `prefix` of the last option starting with it ("-v:" gives "1423").
    std::optional<std::string> optionValue(std::string_view prefix) const;

    // Expands the arguments from index `first` on: "@PATH" is replaced by the names
    // listed in that file, the rest is kept. Returns false (and the reason) when a
    // list file cannot be read.
    bool expandedArguments(size_t first, std::vector<std::string>& out, std::string* error) const;

    // Reads a list file: one name per line, CR LF or LF line ends, blank lines
    // ignored. A line's name is the text between its first and last double quote,
    // inner quotes and blanks kept ("a"b.txt" names a"b.txt); a line without two
    // quotes is the name itself, less surrounding blanks. Names in CP932 are turned
    // into UTF-8.
    static bool readListFile(const std::string& path, std::vector<std::string>& names,
                             std::string* error);

    // "*.*" and "*" stand for every entry. Inline, so that code which only
    // matches names (the self-extracting stub) does not link the response-file
    // reading, and with it the C++ streams.
    static bool isEverything(std::string_view pattern) { return pattern == "*.*" || pattern == "*"; }

private:
    std::string command_;
    std::vector<std::string> options_;
    std::vector<std::string> arguments_;
};

}  // namespace kestrel::arc

#endif
