#pragma once

#include <QString>

struct MedstatParams;
class Prompter;
class TdmMSSQL;

// Finds the directory entry of an object code typed into the dialog: in every
// aggregation directory and in the objects directory; several entries are offered as a
// pop-up choice. Sets the directory type and the name; false after its message.
class ObjectResolver {
public:
    ObjectResolver(TdmMSSQL& dm, Prompter& prompter) : m_dm(dm), m_prompter(prompter) {}
    bool resolve(const QString& text, MedstatParams& params);

private:
    TdmMSSQL& m_dm;
    Prompter& m_prompter;
};

// The fields of the dialog as typed.
struct MedstatDialogFields {
    QString kod, raz, ob, god, file;
};
enum class MedstatFocus { None, Kod, Raz, Ob, God };

// The checks of "OK" in their order; the parameters of the steps passed keep their new
// values. Returns the box to focus after a failed check, None when all passed.
MedstatFocus AcceptMedstatDialog(const MedstatDialogFields& fields, MedstatParams& params,
                                 ObjectResolver& resolver, Prompter& prompter);
