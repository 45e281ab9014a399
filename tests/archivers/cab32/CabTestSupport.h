// Helpers shared by the cabinet tests: scratch folders, files, the C entry, a
// scripted host and the peer tools.
#ifndef KESTREL_CAB_TEST_SUPPORT_H
#define KESTREL_CAB_TEST_SUPPORT_H

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "Cab32.h"
#include "CabinetWriter.h"
#include "PeerTool.h"
#include "ScriptedHost.h"
#include "TempDir.h"

namespace cabtest {

using kestrel::test::TempDir;
using kestrel::test::haveTool;

void writeFile(const std::string& path, const std::string& data);
std::string readFile(const std::string& path);
bool exists(const std::string& path);
// Deterministic bytes: text-like when `text`, otherwise pseudo-random.
std::string sampleData(size_t size, uint32_t seed, bool text);

struct CabRun {
    int result;
    std::string output;
};
// Calls Cab() with `line` and a buffer of `bufferSize` bytes.
CabRun runCab(const std::string& line, void* window = nullptr, size_t bufferSize = 8192);

// The shared scripted host; a question nobody scripted is answered "no", the safe
// answer of a cabinet command.
struct ScriptedHost : kestrel::test::ScriptedHost {
    ScriptedHost() { whenNoAnswer = KH_NO; }
};

// Writes a cabinet straight through the writer, with the given stored names and
// contents (names as stored, '\' separated).
int writeCabinet(const std::string& path, const std::vector<std::pair<std::string, std::string>>& files,
                 kestrel::arc::cab::CabWriteOptions options, const TempDir& scratch);

// Runs a shell command; returns its exit status and fills `output` with stdout+stderr.
int runTool(const std::string& command, std::string* output = nullptr);
std::string quote(const std::string& s);

}  // namespace cabtest

#endif
