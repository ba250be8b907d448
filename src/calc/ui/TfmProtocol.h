#pragma once

#include "ProtocolText.h"

#include <QDialog>

class Prompter;
class QAction;
class QFontComboBox;
class QLabel;
class QSpinBox;
class QTextEdit;

// The protocol window: a rich-text editor in a fixed-pitch font that long checks fill
// (control run, condition list, identification test, imports). Its text can be edited,
// saved as rich or plain text and printed.
class TfmProtocol : public QDialog {
    Q_OBJECT
public:
    explicit TfmProtocol(Prompter& prompter, QWidget* parent = nullptr);

    // The caption and text of a check; the text counts as unmodified.
    void setProtocol(const ProtocolText& protocol);
    QString plainText() const; // lines joined with "\r\n"
    QString documentName() const { return m_fileName; }
    QAction* action(const QString& name) const;

    QTextEdit* Editor = nullptr;

    // The menu commands, callable from tests.
    void fileNew();
    void fileOpen();
    bool fileSave();
    bool fileSaveAs();
    void filePrint();
    void openFile(const QString& path);
    bool saveFile(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QAction* addAction(QMenu* menu, const QString& name, const QString& caption,
                       const QKeySequence& key = {});
    void buildToolBar(class QVBoxLayout* layout);
    void updateStatus();
    // The close question over a modified text; false keeps the window open.
    bool maySave();
    void updateFormatButtons();
    void setFileName(const QString& name);

    Prompter& m_prompter;
    QString m_fileName = QStringLiteral("Untitled");
    QString m_title;
    QLabel* m_position = nullptr;
    QLabel* m_modified = nullptr;
    QFontComboBox* m_fontName = nullptr;
    QSpinBox* m_fontSize = nullptr;
};
