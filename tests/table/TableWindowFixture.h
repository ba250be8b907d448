#pragma once

#include "TableDbFixture.h"

#include "TBook.h"
#include "TfmKisTabl.h"
#include "model/Workbook.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>

// The table editor window on a new table of its own, driven as the user drives it.
class TableWindowFixture : public TableDbFixture {
protected:
    // A table with `instances` instance sheets; sheet 1 active.
    void open(int instances = 1, int kodSpis = 0) {
        w = std::make_unique<TfmKisTabl>(dm(), m_prompter);
        w->openTable(TableRef::read(dm(), newTable(kodSpis)).value_or(TableRef{}));
        for (int i = 1; i < instances; ++i)
            trigger("MinsSheet");
        w->Book->setSheet(1);
    }
    Workbook& book() { return w->Book->workbook(); }
    Sheet& sheet(int i) { return book().sheet(i); }
    int rowSheet() { return w->document().model().rowIdentSheet(); }
    int colSheet() { return w->document().model().colIdentSheet(); }
    int lastHeader() { return w->document().model().lastHeaderRow(); }
    QAction* act(const char* name) { return w->action(QString::fromLatin1(name)); }
    void trigger(const char* name) { act(name)->trigger(); }
    bool enabled(const char* name) { return act(name)->isEnabled(); }
    QString panel(int i) {
        return w->findChild<QLabel*>(QStringLiteral("StPanel%1").arg(i))->text();
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, k, mods);
        QCoreApplication::sendEvent(w->Book, &press);
    }
    // The user picks item `index` (from 0) of "tip" on the active sheet.
    void chooseKind(int index) {
        ASSERT_NE(book().activeSheet().findObject(QStringLiteral("tip")), 0);
        // Through the control's own box, as the user chooses.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        auto* box = w->Book->viewport()->findChild<QComboBox*>(QStringLiteral("tip"));
        ASSERT_NE(box, nullptr);
        emit box->activated(index);
    }
    int tipSelected(int sheetIndex) {
        const Sheet& s = sheet(sheetIndex);
        const DropDownObject* o = s.object(s.findObject(QStringLiteral("tip")));
        return o ? o->selected : -1;
    }

    std::unique_ptr<TfmKisTabl> w;
};
