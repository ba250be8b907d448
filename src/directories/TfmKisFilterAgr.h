#pragma once

#include "ObjectFilter.h"

#include <QDialog>

class QTreeWidget;
class QTreeWidgetItem;

// "Задание фильтра": the nodes of one aggregation directory as a read-only tree
// under a root that carries the directory's name; choosing the root removes the
// directory's condition. Used by the objects directory and the object picker.
class TfmKisFilterAgr : public QDialog {
    Q_OBJECT
public:
    TfmKisFilterAgr(const QString& directoryName, const QList<AgrNode>& nodes,
                    QWidget* parent = nullptr);

    // The chosen node's key, ObjectFilter::kNone for the root.
    double chosenKey() const;
    QString chosenName() const;
    // Shown modally; false when cancelled.
    static bool choose(const QString& directoryName, const QList<AgrNode>& nodes, double& key,
                       QString& name, QWidget* parent = nullptr);

    QTreeWidget* trvAgr = nullptr;

protected:
    // The tree with an optional root; the picker of a membership has none.
    TfmKisFilterAgr(const QString& caption, bool withRoot, const QString& rootText,
                    const QList<AgrNode>& nodes, QWidget* parent);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build(bool withRoot, const QString& rootText, const QList<AgrNode>& nodes);
};

// The dialog of "Отбор независимого объекта": the same tree without a root,
// captioned with the directory's name, the first node selected.
class TfmKisSelectAgr : public TfmKisFilterAgr {
    Q_OBJECT
public:
    TfmKisSelectAgr(const QString& directoryName, const QList<AgrNode>& nodes,
                    QWidget* parent = nullptr);
};
