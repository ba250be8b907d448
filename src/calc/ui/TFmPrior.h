#pragma once

#include <QDialog>

class QCheckBox;
class QListWidget;
class QPushButton;
class QSpinBox;

// "Установка порядка пересчета": the three steps of recalculation in a list, moved one
// place per click of the up-down control. "Собрать уровни" belongs to the program, not
// to a table: it keeps its state while the program runs.
class TFmPrior : public QDialog {
    Q_OBJECT
public:
    // The program's one instance, created on first use.
    static TFmPrior& FmPrior();

    // Shows the window for a table's order; the order applied, 0 when cancelled.
    int choose(int order);
    // Whether a total's own value joins the sum of its components.
    bool collectLevels() const;

    QListWidget* ListBox1 = nullptr;
    QListWidget* ListBox2 = nullptr;
    QSpinBox* UpDown1 = nullptr;
    QCheckBox* SborUr = nullptr;
    QPushButton* bApply = nullptr;
    QPushButton* bCancel = nullptr;

    // The order the list shows now.
    int shownOrder() const;

private:
    explicit TFmPrior(QWidget* parent = nullptr);
    void load(int order);
    void upDownChanged(int position);

    int m_position = 0;
    bool m_loading = false;
};
