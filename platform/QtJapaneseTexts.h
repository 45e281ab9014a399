#pragma once

#include <QTranslator>

// Qt's own texts (message box buttons, the file dialogs) in Japanese, like the
// rest of the program: Qt's Japanese catalogue, the few texts it lacks (the
// file dialogs' "Folder", "Drive"…), and Japanese as the default locale, so
// the file type names the dialogs read from the MIME database ("unknown")
// come in Japanese too.
class QtJapaneseTexts : public QTranslator {
    Q_OBJECT
public:
    // Installs the catalogue and the missing texts into the application and
    // makes Japanese the default locale. Once per run.
    static void install();

    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};
