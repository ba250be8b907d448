#pragma once

#include "OutlineEngine.h"

#include <QString>

#include <functional>

class Prompter;
class TdmMSSQL;

// What the node tree window of one aggregation directory does apart from its
// widgets: the tree commands run through the outline engine; deleting a subtree
// also clears the memberships and aggregated values of its nodes; the node code
// can be changed; the directory goes to and comes from a dBase file.
class AggregationController {
public:
    AggregationController(TdmMSSQL& dm, Prompter& prompter, OutlineEngine<double>& engine,
                          int numAgr);

    // The tree's descriptor: every procedure gets the directory number, and a
    // deleted node takes its memberships and aggregated fund rows along.
    static OutlineDescriptor Descriptor(int numAgr, const QString& userName);

    int numAgr() const { return m_numAgr; }
    OutlineEngine<double>& engine() { return m_engine; }

    // Asks first; the whole subtree in one transaction.
    bool deleteNode();

    // The selected node's code as the code box shows it ("12", "2.5"); empty without one.
    QString codeText() const;
    static QString codeText(double code);
    enum class CodeEdit {
        Unchanged, // nothing typed, or the stored code again
        Stored,
        Invalid,  // not a number or not above zero: the box keeps the text
        Restored, // refused by the database: the stored code is back in the box
        Reloaded  // the directory was changed by another user
    };
    CodeEdit changeCode(const QString& typed);

    bool exportNodes();
    bool importNodes();
    using Progress = std::function<void(int done, int total)>;
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    QString userName() const;

private:
    double maxCode();
    void progress(int done, int total);

    TdmMSSQL& m_dm;
    Prompter& m_prompter;
    OutlineEngine<double>& m_engine;
    int m_numAgr;
    Progress m_progress;
};
