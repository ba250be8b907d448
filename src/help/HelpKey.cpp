#include "HelpKey.h"

#include "HelpViewer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {
const char* const contextProperty = "helpContext";
}

void SetHelpContext(QWidget* widget, int context) {
    widget->setProperty(contextProperty, context);
}

int HelpContextOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (const auto* source = dynamic_cast<const HelpContextSource*>(w))
            if (const int context = source->helpContext())
                return context;
        if (const int context = w->property(contextProperty).toInt())
            return context;
    }
    return 0;
}

void HelpKey::install() {
    static HelpKey* key = nullptr;
    if (!key) {
        key = new HelpKey(qApp);
        qApp->installEventFilter(key);
    }
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || (key->modifiers() & ~Qt::KeypadModifier) || key->isAutoRepeat())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (qobject_cast<HelpViewer*>(widget->window()))
        return true;
    HelpViewer::showContext(HelpContextOf(widget), widget);
    return true;
}
