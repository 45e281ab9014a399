#include "ZipCommand.h"

#include <cstdio>
#include <new>
#include <vector>

#include "ArchiverApi.h"
#include "CommandLine.h"
#include "Host.h"
#include "OutputBuffer.h"
#include "Wildcard.h"
#include "ZipEntryRecord.h"
#include "ZipExtractor.h"
#include "ZipMethod.h"
#include "ZipReader.h"

namespace kestrel::zip {

namespace {

enum class Action { Extract, Test, List };

struct Request {
    Action action = Action::Extract;
    ExtractOptions options;
};

// Reads the command letter and the options; false for anything unknown.
bool readRequest(const arc::CommandLine& line, Request& request, std::string& bad) {
    const std::string& command = line.command();
    if (command == "t") {
        request.action = Action::Test;
    } else if (command == "l") {
        request.action = Action::List;
    } else if (command == "e") {
        request.options.junkPaths = true;
    } else if (!command.empty() && command != "x") {
        bad = command;
        return false;
    }
    for (const std::string& option : line.options()) {
        if (option == "-x")
            request.action = Action::Extract;
        else if (option == "-t")
            request.action = Action::Test;
        else if (option == "-l")
            request.action = Action::List;
        else if (option == "-j")
            request.options.junkPaths = true;
        else if (option == "-o")
            request.options.overwriteAll = true;
        else {
            bad = option;
            return false;
        }
    }
    request.options.testOnly = request.action == Action::Test;
    return true;
}

int listEntries(const ZipReader& reader, const std::vector<std::string>& patterns,
                arc::OutputBuffer& out) {
    int count = 0;
    for (const ZipEntry& entry : reader.entries()) {
        bool wanted = patterns.empty();
        for (const std::string& p : patterns)
            wanted = wanted || arc::CommandLine::isEverything(p) || arc::Wildcard::match(p, entry.name);
        if (!wanted)
            continue;
        char line[96];
        std::snprintf(line, sizeof line, "%12llu %12llu %-8s %-4s  ",
                      static_cast<unsigned long long>(entry.size),
                      static_cast<unsigned long long>(entry.compressedSize),
                      methodText(entry.method).c_str(), attributeText(entry).c_str());
        out.line(line + entry.name);
        ++count;
    }
    out.line(std::to_string(count) + " 個のファイル");
    return count > 0 || patterns.empty() ? KA_OK : KA_ERR_NO_MATCH;
}

int runParsed(void* window, const arc::CommandLine& line, arc::OutputBuffer& out) {
    Request request;
    std::string bad;
    if (!readRequest(line, request, bad)) {
        out.line("不明なオプションです: " + bad);
        return KA_ERR_USAGE;
    }
    const auto& args = line.arguments();
    const size_t namesFrom = request.action == Action::Extract ? 2 : 1;
    if (args.size() < namesFrom) {
        out.line(request.action == Action::Extract ? "書庫と展開先を指定して下さい"
                                                   : "書庫を指定して下さい");
        return KA_ERR_USAGE;
    }
    std::vector<std::string> names;
    std::string error;
    if (!line.expandedArguments(namesFrom, names, &error)) {
        out.line("リストファイルを読めません: " + error);
        return KA_ERR_OPEN;
    }
    ZipReader reader;
    if (!reader.open(args[0])) {
        out.line("書庫を開けません: " + args[0] + " (" + reader.error() + ")");
        return reader.openFailed() ? KA_ERR_OPEN : KA_ERR_NOT_ARCHIVE;
    }
    if (request.action == Action::List)
        return listEntries(reader, names, out);
    arc::Host host(window);
    ZipExtractor extractor(reader, host, out, request.options);
    return extractor.run(request.action == Action::Extract ? args[1] : std::string(), names);
}

}  // namespace

int ZipCommand::run(void* window, const char* text, char* output, unsigned long size) {
    arc::OutputBuffer out(output, size);
    try {
        std::string error;
        const std::optional<arc::CommandLine> line =
            arc::CommandLine::parse(text != nullptr ? text : "", &error);
        if (!line) {
            out.line("コマンドラインが正しくありません: " + error);
            return KA_ERR_USAGE;
        }
        return runParsed(window, *line, out);
    } catch (const std::bad_alloc&) {
        out.line("メモリが足りません");
        return KA_ERR_MEMORY;
    } catch (const std::exception& e) {
        out.line(std::string("エラー: ") + e.what());
        return KA_ERR_DAMAGED;
    }
}

}  // namespace kestrel::zip
