// The command entry of libcab32: parses a command line and runs it.
//
// Commands and what their options mean here:
//
//   -a [-r] [-mz | -ml:N] [-v:KB] "ARCHIVE" ["BASE/"] "TARGET"... | "@LIST"
//       Creates the cabinet ARCHIVE anew, replacing a file of that name (the
//       caller has asked the user already). A target is a file, or a folder
//       followed by "*.*" (its files; with -r everything below it). Names are
//       stored relative to BASE, or as full paths without the leading "/" when
//       no BASE is given (the second argument is BASE when it ends in "/" and
//       targets follow). -mz compresses with MSZIP, -ml:N with LZX and a 2^N-byte
//       window (N = 15..21); neither means MSZIP. -v:KB makes a set of cabinets
//       of at most KB x 1024 bytes each, named after ARCHIVE's stem: "disk.cab"
//       gives disk1.cab, disk2.cab, ... Folders are not stored: a cabinet only
//       knows them as parts of file names.
//   -x [-j] [-k] "ARCHIVE" "DEST/" ["*.*" | "ENTRY"... | "@LIST"]
//       Extracts the named entries (all for "*.*" or none given) into DEST with
//       their stored folders; -j drops the folders. Cabinets of the same set
//       found beside ARCHIVE are joined silently; with -k a missing one is asked
//       for through the host (without a host the command ends with
//       KA_ERR_MISSING_VOLUME and names it in the output).
//   -f "ARCHIVE" "DEST/" "*.*"
//       Makes the self-extracting program DEST + ARCHIVE's stem + ".run" holding
//       every file of the cabinet (or of its set).
#ifndef KESTREL_CAB_COMMAND_H
#define KESTREL_CAB_COMMAND_H

#include <string>
#include <vector>

#include "CommandLine.h"
#include "Host.h"
#include "OutputBuffer.h"

namespace kestrel::arc::cab {

class CabCommand {
public:
    // The whole of Cab(): never throws, always leaves a report in `output`.
    static int run(void* window, const char* commandLine, char* output, unsigned long outputSize);

private:
    CabCommand(Host& host, OutputBuffer& out) : host_(host), out_(out) {}

    int dispatch(const CommandLine& line);
    int create(const CommandLine& line);
    int extract(const CommandLine& line);
    int makeSfx(const CommandLine& line);

    Host& host_;
    OutputBuffer& out_;
};

}  // namespace kestrel::arc::cab

#endif
