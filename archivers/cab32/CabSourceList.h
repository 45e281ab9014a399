// Turns the targets of a create command into the files a cabinet will hold:
// expands folders, reads sizes, times and attributes, makes the stored names
// ('\' separated, UTF-8 flagged when not plain ASCII) and leaves out what a
// cabinet cannot hold, saying why.
#ifndef KESTREL_CAB_SOURCE_LIST_H
#define KESTREL_CAB_SOURCE_LIST_H

#include <string>
#include <vector>

#include "CabinetWriter.h"
#include "OutputBuffer.h"

namespace kestrel::arc::cab {

class CabSourceList {
public:
    // Returns a KestrelResult: KA_OK, KA_WARN_SKIPPED when something was left
    // out, or an error when nothing can be stored or a file is too large.
    int collect(const std::string& archivePath, bool isSet, const std::string& base,
                const std::vector<std::string>& targets, bool recurse, OutputBuffer& out);
    std::vector<CabInput> take() { return std::move(inputs_); }

    // The stored form of a '/'-separated UTF-8 name and the attribute bits it needs.
    static std::string storedName(const std::string& name, uint16_t& attributes);

private:
    std::vector<CabInput> inputs_;
};

}  // namespace kestrel::arc::cab

#endif
