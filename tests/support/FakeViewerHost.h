#pragma once

#include "archive/Archiver.h"
#include "archive/ViewerHost.h"
#include "platform/ScriptedProgress.h"
#include "platform/ScriptedPrompter.h"

#include <QSet>
#include <QStringList>
#include <QWidget>

// The archive viewer as its commands see it: a list of entry names (all
// selected unless a test says otherwise), a scripted Prompter and Progress and
// the Archiver a test gives it. listAgain() lists through that Archiver, as
// the viewer does, and leaves nothing selected.
class FakeViewerHost : public ViewerHost {
public:
    explicit FakeViewerHost(Archiver& archiver) : archiver_(archiver) {}

    QString path;
    QString type = QStringLiteral("LZH");
    QStringList items;      // every entry, in list order
    QStringList selected;   // in list order
    QSet<QString> cut;      // names the library had to cut
    ScriptedPrompter prompts;
    QWidget window;
    int listings = 0;

    void selectAll() { selected = items; }

    // Lists the archive as the viewer would, selecting everything as after a load.
    bool load()
    {
        const bool ok = listAgain();
        selectAll();
        return ok;
    }

    QString archivePath() const override { return path; }
    QString archiveType() const override { return type; }
    QStringList selectedEntries() const override { return selected; }
    QStringList selectedCutEntries() const override
    {
        QStringList names;
        for (const QString& name : selected)
            if (cut.contains(name))
                names << name;
        return names;
    }
    int itemCount() const override { return static_cast<int>(items.size()); }

    bool listAgain() override
    {
        ++listings;
        items.clear();
        selected.clear();
        const ArchiverKind kind = type == QLatin1String("ZIP")   ? ArchiverKind::UnZip
                                  : type == QLatin1String("CAB") ? ArchiverKind::Cab
                                                                  : ArchiverKind::Unlha;
        ArchiveUi ui{prompts, &window, [this] { return makeProgress(); }};
        return archiver_.list(kind, path, ui, [this](const EntryInfo& e) {
            items << QString::fromUtf8(e.name);
        });
    }

    Prompter& prompter() override { return prompts; }
    QWidget* ownerWindow() override { return &window; }
    std::unique_ptr<Progress> makeProgress() override { return std::make_unique<ScriptedProgress>(); }
    Archiver& archiver() override { return archiver_; }

private:
    Archiver& archiver_;
};
