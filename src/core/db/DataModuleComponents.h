#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The fixed statement and procedure components of the data module, with the
// connection each belongs to (0 = fact, 1 = table materials).
struct QueryComponent {
    QString name;
    int tag;
    QStringList lines;
};

struct ProcedureComponent {
    QString name;
    int tag;
    QString procedure;
};

const std::vector<QueryComponent>& QueryComponents();
const std::vector<ProcedureComponent>& ProcedureComponents();
