#include "app/ToolbarDispatch.h"

void ToolbarDispatch::add(const QString& key, Command command, bool final)
{
    commands_.insert(key, Entry{std::move(command), final});
}

void ToolbarDispatch::ignoringFailures(const Step& step)
{
    try {
        step();
    } catch (...) {
        // Deliberately silent: the failed step is abandoned, the next one runs.
    }
}

void ToolbarDispatch::run(const QString& key) const
{
    bool endedEarly = false;
    const auto entry = commands_.constFind(key);
    if (entry != commands_.cend()) {
        if (entry->final) {
            entry->command();
            return;
        }
        ignoringFailures([&] { endedEarly = !entry->command(); });
    }
    if (!endedEarly && afterEach_)
        ignoringFailures(afterEach_);
}
