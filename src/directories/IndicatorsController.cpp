#include "IndicatorsController.h"

#include "DbError.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "ElementOperations.h"
#include "ElementRowSet.h"
#include "Prompter.h"
#include "ServerErrors.h"
#include "TdmMSSQL.h"

namespace {

const QString kKodElmt = QStringLiteral("KODELMT");

} // namespace

IndicatorsController::IndicatorsController(TdmMSSQL& dm, Prompter& prompter,
                                           OutlineEngine<int>& engine, ElementOperations& elements)
    : m_dm(dm), m_prompter(prompter), m_engine(engine), m_elements(elements),
      m_rows(elements.rows()) {}

ElementDescriptor IndicatorsController::Descriptor(const QString& userName) {
    ElementDescriptor d = ElementDescriptor::Indicators();
    d.messages[ElementOp::Add] = {QStringLiteral("Пользователю ") + userName +
                                      QStringLiteral(" добавление запрещено"),
                                  QStringLiteral("Ошибка при добавлении. Повторите...")};
    return d;
}

QString IndicatorsController::userName() const {
    return m_dm.dbMain.userName();
}

QString IndicatorsController::caption() const {
    if (m_mode == Mode::Rubrics)
        return rubricsCaption();
    return QStringLiteral("Показатели раздела \"") + m_rubricName + QLatin1Char('"');
}

bool IndicatorsController::openRubric() {
    OutlineNode* node = m_engine.tree().current();
    if (!node || node->hasChildren())
        return false;
    if (!m_engine.BeginCommand())
        return false;
    node = m_engine.tree().current();
    if (!node || node->hasChildren())
        return false;
    try {
        m_elements.openFolder(m_engine.keyOf(node));
    } catch (const DbError& e) {
        m_prompter.error(
            WithServerText(QStringLiteral("Ошибка при чтении показателей"), e.message()));
        return false;
    }
    m_rubric = m_engine.keyOf(node);
    m_rubricName = node->text();
    m_mode = Mode::Indicators;
    return true;
}

void IndicatorsController::enterTree() {
    m_rows.cancel();
    m_rows.close();
    m_mode = Mode::Rubrics;
}

bool IndicatorsController::addRubric() {
    return m_engine.BeginCommand() && m_engine.AddOutlineNode();
}

bool IndicatorsController::subtreeInUse(OutlineNode* node) {
    DbStatement& st = m_dm.dbMain.statement(QStringLiteral("quInUseRUB"));
    st.setSql(QStringLiteral("SELECT ISINUSE FROM RUB WHERE KodFolder = :KOD_FOLDER"));
    for (OutlineNode* n : m_engine.tree().subtree(node)) {
        st.setParam(QStringLiteral("KOD_FOLDER"), m_engine.keyOf(n));
        st.open();
        const bool used = !st.isEmpty() && st.value(0).toInt() > 0;
        st.close();
        if (used)
            return true;
    }
    return false;
}

bool IndicatorsController::deleteRubric() {
    if (!m_engine.BeginCommand())
        return false;
    OutlineNode* node = m_engine.tree().current();
    if (!node)
        return false;
    try {
        if (subtreeInUse(node)) {
            m_prompter.info(QStringLiteral("С разделом работают другие пользователи"));
            return false;
        }
    } catch (const DbError& e) {
        m_prompter.error(
            WithServerText(QStringLiteral("Ошибка при удалении. Повторите..."), e.message()));
        return false;
    }
    if (!m_prompter.confirm(
            QStringLiteral("Вы действительно хотите удалить раздел и все его показатели ?"),
            Answer::No))
        return false;
    return m_engine.DeleteOutlineSubtree();
}

bool IndicatorsController::indicatorsUnchanged(const QString& changedText) {
    const int result = m_elements.CheckChange();
    if (result == ChangeFlags::Failed)
        return false;
    if (result != ChangeFlags::Unchanged) {
        m_prompter.info(changedText);
        return false;
    }
    return true;
}

bool IndicatorsController::addIndicator() {
    if (!m_rows.isOpen())
        return false;
    if (!indicatorsUnchanged(QStringLiteral("Справочник изменен другим пользователем\r\n") +
                             QString(22, QLatin1Char(' ')) + QStringLiteral("Повторите...")))
        return false;
    if (!m_elements.AddElement()) {
        if (m_elements.folderDeleted()) {
            enterTree();
            m_engine.BuildOutline();
        }
        return false;
    }
    // A new indicator is found by its code until the user types another one.
    const QVariant code = m_elements.lastAddedKey();
    if (m_rows.locate(kKodElmt, code)) {
        m_rows.edit(QStringLiteral("KODALT"), code.toString());
        try {
            m_rows.post();
        } catch (const IndicatorEditRefused&) {
            m_rows.cancel();
        } catch (const std::exception& e) {
            m_rows.cancel();
            m_prompter.error(WithServerText(QStringLiteral("Ошибка при сохранении показателя"),
                                            ExceptionMessage(e)));
        }
    }
    return true;
}

bool IndicatorsController::deleteIndicator() {
    if (m_rows.isEmpty() || m_rows.currentRow() < 0)
        return false;
    if (!m_prompter.confirm(QStringLiteral("Вы действительно хотите удалить показатель ?"),
                            Answer::No))
        return false;
    const QVariant code = m_rows.value(kKodElmt);
    const int npp = m_rows.value(QStringLiteral("NPP")).toInt();
    const int result = m_elements.CheckChange();
    if (result == ChangeFlags::Failed)
        return false;
    if (result == ChangeFlags::ChangedKeyLost) {
        m_prompter.info(QStringLiteral("Показатель удален другим пользователем. Повторите..."));
        return false;
    }
    if (!m_elements.DeleteElement())
        return false;
    if (code.toInt() == m_heldCode && npp == m_heldNpp)
        m_heldCode = m_heldNpp = 0;
    return true;
}

bool IndicatorsController::copyIndicator() {
    if (m_mode != Mode::Indicators || m_rows.isEmpty() || m_rows.currentRow() < 0)
        return false;
    m_heldCode = m_rows.value(kKodElmt).toInt();
    m_heldNpp = m_rows.value(QStringLiteral("NPP")).toInt();
    return true;
}

void IndicatorsController::reopenAt(const QVariant& key) {
    try {
        m_rows.open();
        if (!key.isValid() || !m_rows.locate(kKodElmt, key))
            m_rows.first();
    } catch (const DbError&) {
        m_rows.close();
    }
}

bool IndicatorsController::pasteIndicator() {
    if (!holding() || !m_rows.isOpen())
        return false;
    if (!indicatorsUnchanged(
            QStringLiteral("Справочник изменен другим пользователем. Повторите...")))
        return false;
    const QVariant current = m_rows.isEmpty() ? QVariant() : m_rows.value(kKodElmt);
    try {
        DbStatement& held = m_dm.dbMain.statement(QStringLiteral("quHeldPOK"));
        held.setSql(QStringLiteral("SELECT NAMEFOLDER,KODALT,EIZ FROM POK WHERE KodElmt = ") +
                    QString::number(m_heldCode));
        held.open();
        if (held.isEmpty()) {
            held.close();
            m_prompter.error(QStringLiteral("Копируемый показатель удален"));
            return false;
        }
        const QVariant name = held.value(0), alt = held.value(1), eiz = held.value(2);
        held.close();
        RunInTransaction(m_dm.dbMain, [&] {
            int npp = m_engine.state().nppStep;
            if (!m_rows.isEmpty()) {
                if (m_rows.isLast()) {
                    npp = m_rows.value(QStringLiteral("NPP")).toInt() + m_engine.state().nppStep;
                } else {
                    m_rows.next();
                    npp = m_elements.AllocateElementNpp();
                }
            }
            DbProcedure& p = m_dm.storedProc(QStringLiteral("spInsertPOK"));
            p.clearParams();
            p.setParam(QStringLiteral("NPP"), npp);
            p.setParam(QStringLiteral("KODFOLDER"), m_rubric);
            p.setParam(QStringLiteral("NAMEFOLDER"), name.isNull() ? QStringLiteral("") : name);
            p.setParam(QStringLiteral("KODALT"), alt.isNull() ? QStringLiteral("") : alt);
            p.setParam(QStringLiteral("EIZ"), eiz.isNull() ? QStringLiteral("") : eiz);
            p.execute();
            m_elements.flags().FlagChangeForOthers(QStringLiteral("spOneUPOK"));
        });
    } catch (const DbError& e) {
        RollbackQuietly(m_dm.dbMain);
        m_prompter.error(
            IsRightsError(e.message(), e.sqlCode())
                ? QStringLiteral("Пользователю ") + userName() +
                      QStringLiteral(" копирование показателя запрещено")
                : WithServerText(QStringLiteral("Ошибка при копировании. Повторите..."),
                                 e.message()));
        reopenAt(current);
        return false;
    }
    reopenAt(current);
    return true;
}

int IndicatorsController::maxCode() {
    DbStatement& st = m_dm.dbMain.statement(QStringLiteral("quMaxPOK"));
    st.setSql(QStringLiteral("SELECT MAX(KODELMT) FROM POK"));
    st.open();
    const int value = st.isEmpty() ? 0 : st.value(0).toInt();
    st.close();
    return value;
}

void IndicatorsController::setGenerator(int value) {
    DbStatement& st = m_dm.dbMain.statement(QStringLiteral("quSetGenPOK"));
    st.setSql(QStringLiteral("SET GENERATOR GET_KOD_POK TO ") + QString::number(value));
    st.execute();
}

bool IndicatorsController::codeUsedByFunds(int code) {
    DbStatement& st = m_dm.dbMain.statement(QStringLiteral("quFundUsePOK"));
    for (const char* table : {"FD_OPERELM", "FD_DOLGELM", "FD_OPERAGR", "FD_DOLGAGR"}) {
        // Only our own table names reach the text.
        st.setSql(QStringLiteral("SELECT FIRST 1 1 FROM %1 WHERE KODPOK = :K OR KODPOK1 = :K "
                                 "OR KODPOK2 = :K")
                      .arg(QLatin1String(table)));
        st.clearParams();
        st.setParam(QStringLiteral("K"), code);
        st.open();
        const bool used = !st.isEmpty();
        st.close();
        if (used)
            return true;
    }
    return false;
}
