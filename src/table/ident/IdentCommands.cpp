#include "IdentCommands.h"

#include <array>

namespace {

constexpr std::array kModes = {IdentMode::Side,       IdentMode::Header,     IdentMode::Title,
                               IdentMode::HiddenRows, IdentMode::HiddenCols, IdentMode::RowFormulas,
                               IdentMode::ColFormulas};

bool isMarking(IdentMode m) {
    return m == IdentMode::HiddenRows || m == IdentMode::HiddenCols;
}

} // namespace

const QStringList& IdentCommands::lockedInModes() {
    // Names the window does not have yet are skipped, so later commands join by name.
    static const QStringList names = {
        // accompanying text and sheet protection
        QStringLiteral("ShowSText"),
        QStringLiteral("MlockSh"),
        // fill, store, collect
        QStringLiteral("imLoadTabl"),
        QStringLiteral("imUnLoadTabl"),
        QStringLiteral("SBunload"),
        QStringLiteral("SBload"),
        QStringLiteral("imCalcAgr"),
        QStringLiteral("sbCalcAgr"),
        // outside files
        QStringLiteral("imOpen"),
        QStringLiteral("sbOpen"),
        QStringLiteral("imImport"),
        // hiding marked rows and columns
        QStringLiteral("SBhidrow"),
        QStringLiteral("SBhidcol"),
        QStringLiteral("imHideStr"),
        QStringLiteral("imHideCol"),
        // sorting, chart
        QStringLiteral("SBSortUp"),
        QStringLiteral("SBSortDn"),
        QStringLiteral("Mchart"),
        QStringLiteral("imChart"),
        QStringLiteral("sbChart"),
        // row and column formats, fonts, patterns, alignment, word wrap, borders
        QStringLiteral("imRowFormat"),
        QStringLiteral("imColFormat"),
        QStringLiteral("imFormat"),
        QStringLiteral("imFont"),
        QStringLiteral("imPattern"),
        QStringLiteral("imBorder"),
        QStringLiteral("sbBold"),
        QStringLiteral("sbItalic"),
        QStringLiteral("sbUnderline"),
        QStringLiteral("sbLeftAlign"),
        QStringLiteral("sbCenter"),
        QStringLiteral("sbRightAlign"),
        QStringLiteral("sbWrap"),
        QStringLiteral("MfCell"),
        QStringLiteral("MrowH"),
        QStringLiteral("McolW"),
        QStringLiteral("mMergeCells"),
        QStringLiteral("sbMerge"),
        QStringLiteral("MrowHavto"),
        QStringLiteral("McolWavto"),
        QStringLiteral("MFont"),
        QStringLiteral("MBorder"),
        QStringLiteral("Mpattern"),
        QStringLiteral("Mleft"),
        QStringLiteral("Mright"),
        QStringLiteral("Mcenter"),
        QStringLiteral("imUp"),
        QStringLiteral("imCenter"),
        QStringLiteral("imDown"),
        QStringLiteral("MwordW"),
        QStringLiteral("Bbld"),
        QStringLiteral("Bital"),
        QStringLiteral("BUdl"),
        QStringLiteral("Bleft"),
        QStringLiteral("Bcnt"),
        QStringLiteral("Bright"),
        QStringLiteral("SBbrd"),
        QStringLiteral("SBdropdn"),
        QStringLiteral("SBzal"),
        QStringLiteral("SBrazup"),
        QStringLiteral("SBrazdn"),
        // zero values, empty lines, subordinate objects
        QStringLiteral("imZero"),
        QStringLiteral("imZeroStr"),
        QStringLiteral("imZeroCol"),
        QStringLiteral("imHideElm"),
        // calculations, formulas, totals, control conditions
        QStringLiteral("imCalc"),
        QStringLiteral("imFormula"),
        QStringLiteral("imPrior"),
        QStringLiteral("imCalcItog"),
        QStringLiteral("ItogUp"),
        QStringLiteral("ItogDown"),
        QStringLiteral("ItogNoRow"),
        QStringLiteral("ItogRight"),
        QStringLiteral("ItogLeft"),
        QStringLiteral("ItogNoCol"),
        QStringLiteral("imControl"),
        QStringLiteral("imTestIdent"),
        QStringLiteral("ConRow"),
        QStringLiteral("ConCol"),
        QStringLiteral("MControl"),
        QStringLiteral("sbControl"),
        QStringLiteral("imProtocol"),
        QStringLiteral("AutoCalc"),
        QStringLiteral("ThisPage"),
        QStringLiteral("AllPages"),
        QStringLiteral("MOperations"),
        QStringLiteral("Prior"),
        QStringLiteral("MformStr"),
        QStringLiteral("MformCol"),
        QStringLiteral("ControlEntry"),
        QStringLiteral("MControl"),
        QStringLiteral("MViewControl"),
    };
    return names;
}

QStringList IdentCommands::switchesOf(IdentMode mode) {
    switch (mode) {
    case IdentMode::Side:
        return {QStringLiteral("mIdBok"), QStringLiteral("SBidbok")};
    case IdentMode::Header:
        return {QStringLiteral("mIdShap"), QStringLiteral("SBidshap")};
    case IdentMode::Title:
        return {QStringLiteral("mIdZag"), QStringLiteral("SBidzag")};
    case IdentMode::HiddenRows:
        return {QStringLiteral("MhiddenS")};
    case IdentMode::HiddenCols:
        return {QStringLiteral("MhiddenC")};
    case IdentMode::RowFormulas:
        return {QStringLiteral("FViewSTR")};
    case IdentMode::ColFormulas:
        return {QStringLiteral("FViewCOL")};
    case IdentMode::Normal:
        break;
    }
    return {};
}

QString IdentCommands::hintOf(IdentMode mode) {
    switch (mode) {
    case IdentMode::Side:
        return QStringLiteral("Идентификация боковика");
    case IdentMode::Header:
        return QStringLiteral("Идентификация шапки");
    case IdentMode::Title:
        return QStringLiteral("Идентификация заголовка");
    case IdentMode::HiddenRows:
        return QStringLiteral("Отметка скрытых строк");
    case IdentMode::HiddenCols:
        return QStringLiteral("Отметка скрытых колонок");
    case IdentMode::RowFormulas:
        return QStringLiteral("Формулы над строками");
    case IdentMode::ColFormulas:
        return QStringLiteral("Формулы над колонками");
    case IdentMode::Normal:
        break;
    }
    return {};
}

void IdentCommands::setEnabled(const QString& name, bool on) {
    if (m_commands.has(name))
        m_commands.setEnabled(name, on);
}

void IdentCommands::apply(IdentMode mode, const CommandFacts& facts) {
    const bool normal = mode == IdentMode::Normal;
    const QStringList& locked = lockedInModes();
    if (!normal && m_saved.isEmpty()) {
        for (const QString& name : locked)
            if (m_commands.has(name))
                m_saved.insert(name, m_commands.isEnabled(name));
    }
    for (const QString& name : locked) {
        if (!normal)
            setEnabled(name, false);
        else if (m_saved.contains(name))
            setEnabled(name, m_saved.value(name));
    }

    for (IdentMode m : kModes) {
        for (const QString& name : switchesOf(m)) {
            if (!m_commands.has(name))
                continue;
            m_commands.setChecked(name, mode == m);
            m_commands.setEnabled(name, normal || mode == m);
        }
    }

    setEnabled(QStringLiteral("MinsSheet"), normal && facts.instanceSheetActive);
    setEnabled(QStringLiteral("MdelSheet"), normal);

    // Side and header identification and the marking need the table's object list for
    // sorting, the sheet list and special identification.
    const bool sideOrHeader = mode == IdentMode::Side || mode == IdentMode::Header;
    const bool listRestricted = (sideOrHeader || isMarking(mode)) && !facts.objectListAttached;
    setEnabled(QStringLiteral("SBsheet"),
               facts.instanceSheets > 1 && !isMarking(mode) && !listRestricted);
    setEnabled(QStringLiteral("Msved"), !listRestricted);
    if (sideOrHeader && facts.objectListAttached) {
        for (const QString& name : {QStringLiteral("SBSortUp"), QStringLiteral("SBSortDn")})
            setEnabled(name, m_saved.value(name, false));
    }
    setEnabled(QStringLiteral("imKodInternal"), sideOrHeader);
    setEnabled(QStringLiteral("Moption"), true);

    if (normal)
        m_saved.clear();
}
