#pragma once

#include <QComboBox>

class Prompter;

// The font-size box of the formatting bar. A size chosen from the list takes effect at
// once, a typed one on Enter; Esc, or leaving the box blank, brings back the text it had
// when it was entered. A typed size breaking the one rule is told and nothing changes.
class FontSizeBox : public QComboBox {
    Q_OBJECT
public:
    FontSizeBox(Prompter& prompter, QWidget* parent = nullptr);
    // Shows the active cell's size; not a choice.
    void showSize(int points);

signals:
    void sizeChosen(int points);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void enterPressed();
    void restore();

    Prompter& m_prompter;
    QString m_remembered;
};
