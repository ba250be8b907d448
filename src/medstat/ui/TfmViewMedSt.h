#pragma once

#include <QDialog>

class DbfGridModel;
class DbfTable;
class Prompter;
class QTableView;

// "Просмотр (редактирование) файла MEDSTAT.DBF": the report file in an editable grid.
class TfmViewMedSt : public QDialog {
    Q_OBJECT
public:
    TfmViewMedSt(DbfTable& table, Prompter& prompter, QWidget* parent = nullptr);
    QTableView* dgMedSt = nullptr;
    DbfGridModel* dsMedSt = nullptr;
};
