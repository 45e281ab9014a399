#include "CommandLine.h"

#include <fstream>
#include <sstream>

#include "NameEncoding.h"

namespace kestrel::arc {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

struct Token {
    std::string text;
    bool quoted = false;
};

// Splits on blanks outside double quotes. A quote may open in the middle of a
// token ("-d"x y"" gives -dx y); the token counts as quoted if any part was.
bool tokenize(std::string_view line, std::vector<Token>& tokens, std::string* error) {
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) ++i;
        if (i >= line.size()) break;
        Token token;
        bool inQuote = false;
        while (i < line.size() && (inQuote || !isBlank(line[i]))) {
            if (line[i] == '"') {
                inQuote = !inQuote;
                token.quoted = true;
            } else {
                token.text += line[i];
            }
            ++i;
        }
        if (inQuote) {
            if (error) *error = "unbalanced double quote";
            return false;
        }
        tokens.push_back(std::move(token));
    }
    return true;
}

// One line of a list file, without its line end, as a name. The name is the text
// between the line's first and last double quote, taken as it stands: quotes
// inside it belong to the name (a name on Linux may hold '"'), and so do blanks.
// A line with fewer than two quotes is the name itself, less the blanks around it.
std::string listFileName(const std::string& line) {
    const size_t first = line.find('"');
    const size_t last = line.rfind('"');
    if (first != std::string::npos && last > first) return line.substr(first + 1, last - first - 1);
    size_t b = 0, e = line.size();
    while (b < e && isBlank(line[b])) ++b;
    while (e > b && isBlank(line[e - 1])) --e;
    return line.substr(b, e - b);
}

}  // namespace

std::optional<CommandLine> CommandLine::parse(std::string_view line, std::string* error) {
    std::vector<Token> tokens;
    if (!tokenize(line, tokens, error)) return std::nullopt;
    CommandLine result;
    bool haveCommand = false;
    for (Token& token : tokens) {
        if (!token.quoted && !token.text.empty() && token.text[0] == '-') {
            result.options_.push_back(std::move(token.text));
        } else if (!token.quoted && !haveCommand && result.arguments_.empty() &&
                   result.options_.empty()) {
            result.command_ = std::move(token.text);
            haveCommand = true;
        } else {
            result.arguments_.push_back(std::move(token.text));
        }
    }
    return result;
}

bool CommandLine::hasOption(std::string_view option) const {
    for (const std::string& o : options_)
        if (o == option) return true;
    return false;
}

std::optional<std::string> CommandLine::optionValue(std::string_view prefix) const {
    std::optional<std::string> value;
    for (const std::string& o : options_)
        if (o.size() >= prefix.size() && std::string_view(o).substr(0, prefix.size()) == prefix)
            value = o.substr(prefix.size());
    return value;
}

bool CommandLine::expandedArguments(size_t first, std::vector<std::string>& out,
                                    std::string* error) const {
    for (size_t i = first; i < arguments_.size(); ++i) {
        const std::string& arg = arguments_[i];
        if (arg.size() > 1 && arg[0] == '@') {
            if (!readListFile(arg.substr(1), out, error)) return false;
        } else {
            out.push_back(arg);
        }
    }
    return true;
}

bool CommandLine::readListFile(const std::string& path, std::vector<std::string>& names,
                               std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = "cannot read the list file " + path;
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string name = listFileName(line);
        if (name.empty()) continue;
        names.push_back(NameEncoding::toUtf8(name));
    }
    if (in.bad()) {
        if (error) *error = "cannot read the list file " + path;
        return false;
    }
    return true;
}

}  // namespace kestrel::arc
