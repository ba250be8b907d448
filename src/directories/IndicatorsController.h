#pragma once

#include "ElementDescriptor.h"
#include "OutlineEngine.h"

#include <QString>

#include <functional>
#include <stdexcept>

class ElementOperations;
class ElementRowSet;
class Prompter;
class TdmMSSQL;

// A grid edit refused after the user was told why; the row keeps its stored values.
struct IndicatorEditRefused : std::runtime_error {
    IndicatorEditRefused() : std::runtime_error("edit refused") {}
};

// What the indicators directory does on its commands, apart from its widgets: the
// rubric tree (through the outline engine), the indicators of one rubric (through
// the element operations), the checks of a typed code, copy and paste, and the
// exchange of a rubric with a dBase file.
class IndicatorsController {
public:
    enum class Mode { Rubrics, Indicators };

    IndicatorsController(TdmMSSQL& dm, Prompter& prompter, OutlineEngine<int>& engine,
                         ElementOperations& elements);

    // The grid's descriptor for this directory: its failure messages name the user.
    static ElementDescriptor Descriptor(const QString& userName);

    Mode mode() const { return m_mode; }
    QString caption() const;
    static QString rubricsCaption() { return QStringLiteral("Разделы показателей"); }

    // Rubric side.
    // Enter or double click on a rubric without sub-rubrics: its indicators.
    bool openRubric();
    // Back to the tree: a pending edit is cancelled and the indicators closed.
    void enterTree();
    bool addRubric();
    bool deleteRubric();

    // Indicator side.
    bool addIndicator();
    bool deleteIndicator();
    // "Копировать": holds the current indicator.
    bool copyIndicator();
    bool pasteIndicator();
    bool holding() const { return m_heldCode != 0; }
    // Typed codes, names, alternative codes and units go to POK as each row is posted.
    void attachGridEditing();

    // Exchange with a dBase file; the file is asked through the prompter.
    bool exportRubric();
    bool importRubric();
    // Shows the import protocol (caption, text); the window shows it modally.
    using ProtocolShower = std::function<void(const QString& caption, const QString& text)>;
    void setProtocolShower(ProtocolShower shower) { m_showProtocol = std::move(shower); }
    // Progress of an import: the count done and the count of records (0, 0: hidden).
    using Progress = std::function<void(int done, int total)>;
    void setProgress(Progress progress) { m_progress = std::move(progress); }
    // The last import's protocol text (empty when nothing was re-coded).
    const QString& lastProtocol() const { return m_protocol; }

    QString userName() const;

private:
    friend class IndicatorImport;
    bool subtreeInUse(OutlineNode* node);
    // The PPOK check before an indicator command; false after telling the user.
    bool indicatorsUnchanged(const QString& changedText);
    void reopenAt(const QVariant& key);
    int maxCode();
    void setGenerator(int value);
    bool codeUsedByFunds(int code);

    TdmMSSQL& m_dm;
    Prompter& m_prompter;
    OutlineEngine<int>& m_engine;
    ElementOperations& m_elements;
    ElementRowSet& m_rows;
    Mode m_mode = Mode::Rubrics;
    int m_rubric = 0;
    QString m_rubricName;
    int m_heldCode = 0;
    int m_heldNpp = 0;
    ProtocolShower m_showProtocol;
    Progress m_progress;
    QString m_protocol;
};
