// The KestrelHost of the library tests: answers come from queues filled by the test,
// and every question and progress report is recorded.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "HostBase.h"

namespace kestrel::test {

class ScriptedHost : public arc::HostBase {
public:
    struct Report {
        std::string name;
        uint64_t done;
        uint64_t total;
    };

    void* window() { return host(); }

    std::deque<std::optional<std::string>> texts;  // askText answers; nullopt or empty = cancel
    std::deque<int> answers;                       // askYesNo answers (KestrelAnswer)
    int whenNoAnswer = KH_CANCEL;                  // askYesNo once `answers` is empty
    std::map<std::string, std::string> files;      // askFile: wanted name -> path
    long long cancelAfterBytes = -1;               // progress cancels from this many bytes on

    std::vector<std::string> prompts;     // every askText and askYesNo text, in order
    std::vector<int> secrets;             // the secret flag of each askText
    std::vector<std::string> filesAsked;  // every wanted name of askFile
    std::vector<Report> reports;          // every progress report
    uint64_t progressCalls() const { return reports.size(); }

protected:
    std::optional<std::string> askText(const std::string& prompt, const std::string& defaultText,
                                       bool secret) override;
    int askYesNo(const std::string& question) override;
    std::optional<std::string> askFile(const std::string& prompt, const std::string& wantedName) override;
    bool progress(const std::string& name, uint64_t done, uint64_t total) override;
};

// Whether the reports of one call never run backwards and never pass their total
// (empty when they are fine, otherwise the first offending report).
std::string progressFault(const std::vector<ScriptedHost::Report>& reports);

}  // namespace kestrel::test
