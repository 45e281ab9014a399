#include "ScriptedHost.h"

namespace kestrel::test {

std::optional<std::string> ScriptedHost::askText(const std::string& prompt, const std::string&, bool secret) {
    prompts.push_back(prompt);
    secrets.push_back(secret ? 1 : 0);
    if (texts.empty())
        return std::nullopt;
    auto answer = texts.front();
    texts.pop_front();
    return answer;
}

int ScriptedHost::askYesNo(const std::string& question) {
    prompts.push_back(question);
    if (answers.empty())
        return whenNoAnswer;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedHost::askFile(const std::string&, const std::string& wantedName) {
    filesAsked.push_back(wantedName);
    const auto it = files.find(wantedName);
    if (it == files.end())
        return std::nullopt;
    return it->second;
}

bool ScriptedHost::progress(const std::string& name, uint64_t done, uint64_t total) {
    reports.push_back({name, done, total});
    return cancelAfterBytes < 0 || done < static_cast<uint64_t>(cancelAfterBytes);
}

std::string progressFault(const std::vector<ScriptedHost::Report>& reports) {
    for (size_t i = 0; i < reports.size(); ++i) {
        const ScriptedHost::Report& r = reports[i];
        const bool backwards = i > 0 && r.done < reports[i - 1].done;
        const bool totalChanged = i > 0 && r.total != reports[i - 1].total;
        if (backwards || totalChanged || r.done > r.total)
            return "report " + std::to_string(i) + " (" + r.name + "): " + std::to_string(r.done) + " of " +
                   std::to_string(r.total) + (i > 0 ? ", after " + std::to_string(reports[i - 1].done) + " of " +
                                                          std::to_string(reports[i - 1].total)
                                                    : std::string());
    }
    return {};
}

}  // namespace kestrel::test
