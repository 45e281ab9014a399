#include "CabCommand.h"

#include <algorithm>
#include <new>

#include "ArchiverApi.h"
#include "CabExtractor.h"
#ifdef KESTREL_HAVE_SFX
#include "CabSfxMaker.h"
#endif
#include "CabSourceList.h"
#include "CabinetWriter.h"

namespace kestrel::arc::cab {

namespace {

bool parseNumber(const std::string& text, long min, long max, long& value) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    value = std::stol(text);
    return value >= min && value <= max;
}

}  // namespace

int CabCommand::run(void* window, const char* commandLine, char* output, unsigned long outputSize) {
    OutputBuffer out(output, outputSize);
    try {
        Host host(window);
        std::string error;
        auto line = CommandLine::parse(commandLine ? commandLine : "", &error);
        if (!line) {
            out.line("コマンドラインが正しくありません: " + error);
            return KA_ERR_USAGE;
        }
        CabCommand command(host, out);
        return command.dispatch(*line);
    } catch (const std::bad_alloc&) {
        out.line("メモリが足りません");
        return KA_ERR_MEMORY;
    } catch (const std::exception& e) {
        out.line(std::string("エラー: ") + e.what());
        return KA_ERR_WRITE;
    }
}

int CabCommand::dispatch(const CommandLine& line) {
    if (!line.command().empty()) {
        out_.line("知らないコマンドです: " + line.command());
        return KA_ERR_USAGE;
    }
    if (line.hasOption("-a")) return create(line);
    if (line.hasOption("-x")) return extract(line);
    if (line.hasOption("-f")) return makeSfx(line);
    out_.line("コマンドがありません (-a, -x, -f のどれかを指定して下さい)");
    return KA_ERR_USAGE;
}

int CabCommand::create(const CommandLine& line) {
    const auto& args = line.arguments();
    if (args.size() < 2) {
        out_.line("書庫と対象を指定して下さい");
        return KA_ERR_USAGE;
    }
    CabWriteOptions options;
    if (auto bits = line.optionValue("-ml:")) {
        long n = 0;
        if (!parseNumber(*bits, 15, 21, n)) {
            out_.line("-ml: の値は 15 から 21 です: " + *bits);
            return KA_ERR_USAGE;
        }
        options.method = CabMethod::Lzx;
        options.lzxWindowBits = static_cast<int>(n);
    }
    if (line.hasOption("-mz")) options.method = CabMethod::MsZip;
    if (auto kb = line.optionValue("-v:")) {
        long n = 0;
        if (!parseNumber(*kb, 1, 2 * 1024 * 1024 - 1, n)) {
            out_.line("ﾏﾙﾁﾎﾞﾘｭｰﾑのｻｲｽﾞは数字しか指定できません: " + *kb);
            return KA_ERR_USAGE;
        }
        options.volumeLimit = static_cast<uint64_t>(n) * 1024;
    }

    const std::string& archive = args[0];
    size_t first = 1;
    std::string base;
    if (args.size() >= 3 && !args[1].empty() && args[1].back() == '/') {
        base = args[1];
        first = 2;
    }
    std::vector<std::string> targets;
    std::string error;
    if (!line.expandedArguments(first, targets, &error)) {
        out_.line(error);
        return KA_ERR_OPEN;
    }
    CabResult result;
    CabSourceList sources;
    int rc = sources.collect(archive, options.volumeLimit > 0, base, targets, line.hasOption("-r"), out_);
    result.note(rc);
    if (rc >= 0x8000) return rc;

    CabinetWriter writer(archive, options);
    std::string message;
    // The window shows the name as the listing and extraction do, with '/':
    // the cabinet's own '\\' reads as a yen sign in Japanese fonts.
    rc = writer.write(sources.take(), [this](const std::string& name, uint64_t done, uint64_t total) {
        std::string shown = name;
        std::replace(shown.begin(), shown.end(), '\\', '/');
        return host_.progress(shown, done, total);
    }, message);
    if (rc != KA_OK) {
        out_.line(message);
        return rc;
    }
    for (const std::string& path : writer.writtenPaths()) out_.line("作成: " + path);
    return result.code();
}

int CabCommand::extract(const CommandLine& line) {
    const auto& args = line.arguments();
    if (args.size() < 2) {
        out_.line("書庫と解凍先を指定して下さい");
        return KA_ERR_USAGE;
    }
    CabExtractOptions options;
    options.keepFolders = !line.hasOption("-j");
    options.askForMissing = line.hasOption("-k");
    std::string error;
    if (!line.expandedArguments(2, options.patterns, &error)) {
        out_.line(error);
        return KA_ERR_OPEN;
    }
    CabExtractor extractor(host_, out_);
    int rc = extractor.run(args[0], args[1], options);
    if (options.askForMissing && rc == KA_ERR_MISSING_VOLUME && !host_.interactive())
        out_.line("分割書庫を揃えてからもう一度実行して下さい");
    return rc;
}

int CabCommand::makeSfx(const CommandLine& line) {
    const auto& args = line.arguments();
    if (args.size() < 2) {
        out_.line("書庫と作成先を指定して下さい");
        return KA_ERR_USAGE;
    }
#ifdef KESTREL_HAVE_SFX
    CabSfxMaker maker(host_, out_);
    return maker.run(args[0], args[1]);
#else
    out_.line("このビルドでは自己解凍書庫を作成できません");
    return KA_ERR_UNSUPPORTED;
#endif
}

}  // namespace kestrel::arc::cab
