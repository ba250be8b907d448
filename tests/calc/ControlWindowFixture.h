#pragma once

#include "TableWindowFixture.h"
#include "TfmControl.h"
#include "TfmProtocol.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include <functional>

// The table editor with helpers for its modal control windows: what the protocol
// window showed, and the condition dialog filled in as the user fills it.
class ControlWindowFixture : public TableWindowFixture {
protected:
    struct Shown {
        bool shown = false;
        QString caption;
        QString text;
    };

    // Runs a command; a protocol window it shows is read and closed.
    Shown runShowingProtocol(const char* command) {
        Shown seen;
        QTimer::singleShot(0, [&seen] {
            if (auto* p = qobject_cast<TfmProtocol*>(QApplication::activeModalWidget())) {
                seen = {true, p->windowTitle(), p->plainText()};
                p->close();
            }
        });
        trigger(command);
        QCoreApplication::processEvents();
        return seen;
    }

    // Enters a condition at the cursor through the dialog; the texts it started with.
    struct DialogStart {
        bool opened = false;
        QString caption;
        QString condition;
        QString message;
        bool stayedOpen = false;
    };
    DialogStart enterCondition(const char* command, const QString& condition,
                               const QString& message) {
        DialogStart start;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<TfmControl*>(QApplication::activeModalWidget());
            if (!d)
                return;
            start = {true, d->windowTitle(), d->edCondition->text(), d->edText->text(), false};
            d->edCondition->setText(condition);
            d->edText->setText(message);
            d->applyClick();
            start.stayedOpen = d->isVisible();
            if (start.stayedOpen)
                d->reject();
        });
        trigger(command);
        QCoreApplication::processEvents();
        return start;
    }

    int body() { return w->document().model().firstBodyRow(); }
    // Header texts over columns C … the last, so they count as table columns.
    void headers(int lastCol) {
        for (int c = 3; c <= lastCol; ++c)
            book().setText(1, lastHeader(), c, QStringLiteral("гр.%1").arg(c - 2));
    }
    void cursor(int row, int col) { w->Book->setActiveCell(row, col); }
};
