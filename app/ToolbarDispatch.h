#pragma once

#include <QHash>
#include <QString>
#include <functional>

// Runs the command of a toolbar button by its key. A command that fails is
// abandoned silently and the dispatch goes on with its next step: the step
// that runs after every command (keeping the view-mode menu checks right).
// A command returns false when it ended early, and a final command (exit)
// skips that step; neither runs it.
class ToolbarDispatch {
public:
    using Command = std::function<bool()>;  // false: ended early
    using Step = std::function<void()>;

    void add(const QString& key, Command command, bool final = false);
    void setAfterEach(Step step) { afterEach_ = std::move(step); }

    // Unknown keys run nothing but the step after.
    void run(const QString& key) const;

    // Runs one step; a failure ends the step, not the caller.
    static void ignoringFailures(const Step& step);

private:
    struct Entry {
        Command command;
        bool final = false;
    };
    QHash<QString, Entry> commands_;
    Step afterEach_;
};
