#include "Prompter.h"

namespace {

class SilentPrompter : public Prompter {
public:
    void message(const QString&, const QString&, PromptIcon) override {}
    Answer ask(const QString&, QuestionButtons, Answer, const QString&) override {
        return Answer::Cancel;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    int choose(const QString&, const QStringList&, int) override { return -1; }
    bool inputText(const QString&, const QString&, QString&) override { return false; }
};

SilentPrompter silentPrompter;
Prompter* installed = nullptr;

} // namespace

Prompter& AppPrompter() {
    return installed ? *installed : silentPrompter;
}

void SetAppPrompter(Prompter* prompter) {
    installed = prompter;
}
