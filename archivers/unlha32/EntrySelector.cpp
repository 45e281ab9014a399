#include "EntrySelector.h"

#include "CommandLine.h"
#include "Wildcard.h"

namespace kestrel::lzh {

std::string EntrySelector::normalise(const std::string& name) {
    std::string n = name;
    for (char& c : n)
        if (c == '\\') c = '/';
    while (n.rfind("./", 0) == 0) n.erase(0, 2);
    while (!n.empty() && n.back() == '/') n.pop_back();
    return n;
}

std::vector<size_t> EntrySelector::select(const std::vector<LzhEntry>& entries,
                                          const std::vector<std::string>& patterns,
                                          std::vector<std::string>& unmatched) {
    std::vector<bool> chosen(entries.size(), false);
    for (const std::string& raw : patterns) {
        bool everything = arc::CommandLine::isEverything(raw);
        std::string pattern = normalise(raw);
        // The viewer passes entry names as listed: a name that exists is taken
        // literally, so deleting "a*b.txt" never takes "aXb.txt" with it.
        bool literal = false;
        for (const LzhEntry& e : entries) literal = literal || e.name == pattern;
        bool hit = false;
        for (size_t i = 0; i < entries.size(); ++i) {
            if (everything || entries[i].name == pattern ||
                (!literal && arc::Wildcard::match(pattern, entries[i].name))) {
                chosen[i] = true;
                hit = true;
            }
        }
        if (!hit && !(everything && entries.empty())) unmatched.push_back(raw);
    }
    std::vector<size_t> result;
    for (size_t i = 0; i < entries.size(); ++i)
        if (chosen[i]) result.push_back(i);
    return result;
}

}  // namespace kestrel::lzh
