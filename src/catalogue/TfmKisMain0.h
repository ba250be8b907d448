#pragma once

#include <QMainWindow>

// The collections window, the hub of the program.
class TfmKisMain0 : public QMainWindow {
    Q_OBJECT
public:
    explicit TfmKisMain0(QWidget* parent = nullptr);

    static QString mainCaption() { return QStringLiteral("Cборники таблиц"); }
};
