#pragma once

#include <QObject>

class QWidget;

// A window whose help context follows its mode (the table editor's identification
// modes) answers F1 through this.
class HelpContextSource {
public:
    virtual ~HelpContextSource() = default;
    virtual int helpContext() const = 0;
};

// A window or a part of it gives its help context once.
void SetHelpContext(QWidget* widget, int context);
// The context of the widget or the nearest of its parents that has one; 0 for none.
int HelpContextOf(const QWidget* widget);

// F1 anywhere in the program opens the help on the page of the window or mode it was
// pressed in, or the contents when that has no page.
class HelpKey : public QObject {
    Q_OBJECT
public:
    static void install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};
