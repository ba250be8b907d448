#include "OutlineDescriptor.h"

namespace {

std::map<OutlineOp, OutlineMessages> treeMessages() {
    const QString noEdit = QStringLiteral("Пользователь не имеет прав на корректировку");
    return {
        {OutlineOp::Add,
         {QStringLiteral("Пользователь не имеет прав на добавление"),
          QStringLiteral("Ошибка при добавлении. Повторите...")}},
        {OutlineOp::Delete,
         {QStringLiteral("Пользователь не имеет прав на удаление"),
          QStringLiteral("Ошибка при удалении. Повторите...")}},
        {OutlineOp::Promote, {noEdit, QStringLiteral("Ошибка при сдвиге. Повторите...")}},
        {OutlineOp::Demote, {noEdit, QStringLiteral("Ошибка при сдвиге. Повторите...")}},
        {OutlineOp::MoveUp, {noEdit, QStringLiteral("Ошибка при смещении вверх. Повторите...")}},
        {OutlineOp::MoveDown, {noEdit, QStringLiteral("Ошибка при смещении вниз. Повторите...")}},
        {OutlineOp::Drop, {noEdit, QStringLiteral("Ошибка при переносе. Повторите...")}},
    };
}

} // namespace

OutlineDescriptor OutlineDescriptor::Collections() {
    OutlineDescriptor d;
    d.catalogue = 1;
    d.tag = DatabaseTag::Tab;
    d.table = QStringLiteral("SBR");
    d.dataset = QStringLiteral("quSBR");
    d.hasIdentifiers = true;
    d.spInsert = QStringLiteral("spInsertSBR");
    d.spDelete = QStringLiteral("spDeleteSBR");
    d.spUpdateNpp = QStringLiteral("spUpdateNppSBR");
    d.spUpdateLev = QStringLiteral("spUpdateLevSBR");
    d.spUpdateNppLev = QStringLiteral("spUpdateNppLevSBR");
    d.spRenum = QStringLiteral("spRenumSBR");
    d.spRename = QStringLiteral("spUpdateNameSBR");
    d.flagColumn = QStringLiteral("PSBR");
    d.spOne = QStringLiteral("spOneUSBR");
    d.spZero = QStringLiteral("spZeroUSBR");
    d.changedMessage =
        QStringLiteral("Каталог сборников изменен другим пользователем. Повторите...");
    d.existsSql = QStringLiteral("SELECT COUNT(*) FROM SBR WHERE KODFOLDER = :p_KodFolder");
    d.deletedMessage = QStringLiteral("Сборник удален другим пользователем");
    d.messages = treeMessages();
    return d;
}

OutlineDescriptor OutlineDescriptor::Rubrics() {
    OutlineDescriptor d;
    d.catalogue = 2;
    d.tag = DatabaseTag::Main;
    d.table = QStringLiteral("RUB");
    d.dataset = QStringLiteral("quRUB");
    d.spInsert = QStringLiteral("spInsertRUB");
    d.spDelete = QStringLiteral("spDeleteRUB");
    d.spUpdateNpp = QStringLiteral("spUpdateNppRUB");
    d.spUpdateLev = QStringLiteral("spUpdateLevRUB");
    d.spUpdateNppLev = QStringLiteral("spUpdateNppLevRUB");
    d.spRenum = QStringLiteral("spRenumRUB");
    d.spRename = QStringLiteral("spUpdateNameRUB");
    d.flagColumn = QStringLiteral("PRUB");
    d.spOne = QStringLiteral("spOneURUB");
    d.spZero = QStringLiteral("spZeroURUB");
    d.changedMessage = QStringLiteral("Разделы изменены другим пользователем. Повторите...");
    d.existsSql = QStringLiteral("SELECT COUNT(*) FROM RUB WHERE KODFOLDER = :p_KodFolder");
    d.deletedMessage = QStringLiteral("Раздел удален другим пользователем");
    d.messages = treeMessages();
    return d;
}

OutlineDescriptor OutlineDescriptor::Aggregation(int numAgr, const QString& userName) {
    OutlineDescriptor d;
    d.catalogue = 0;
    d.tag = DatabaseTag::Main;
    d.table = QStringLiteral("AGR");
    d.dataset = QStringLiteral("quAGR");
    d.datasetParams = {{QStringLiteral("N_AGR"), numAgr}};
    d.spInsert = QStringLiteral("spInsertAgr");
    d.spDelete = QStringLiteral("spDeleteAgr");
    d.spUpdateNpp = QStringLiteral("spUpdateNPPAgr");
    d.spUpdateLev = QStringLiteral("spUpdateLevAgr");
    d.spUpdateNppLev = QStringLiteral("spUpdateNPPLevAgr");
    d.spRenum = QStringLiteral("spRenumAgr");
    d.spRename = QStringLiteral("spUpdateNameAgr");
    d.insertKeyOutput.clear();
    d.newKeyQuery = QStringLiteral("quGetAgrKod");
    d.nppParam = QStringLiteral("NPP");
    d.levelParam = QStringLiteral("NLEVEL");
    d.extraParams = {{QStringLiteral("NUM_AGR"), numAgr}};
    d.flagColumn = QStringLiteral("PAGR");
    d.spOne = QStringLiteral("spOneUAGR");
    d.spZero = QStringLiteral("spZeroUAGR");
    d.changedMessage = QStringLiteral("Справочник изменен другим пользователем. Повторите...");
    d.existsSql = QStringLiteral("SELECT COUNT(*) FROM AGR WHERE KODFOLDER = :p_KodFolder "
                                 "AND NUMAGR = %1")
                      .arg(numAgr);
    d.deletedMessage = QStringLiteral("Объект справочника удален другим пользователем");
    d.serverTextInMessages = false;
    const QString who = QStringLiteral("Пользователю ") + userName;
    const QString tree = who + QStringLiteral(" корректировка дерева объектов запрещена");
    d.messages = {
        {OutlineOp::Add,
         {who + QStringLiteral(" добавление запрещено"),
          QStringLiteral("Ошибка при добавлении. Повторите...")}},
        {OutlineOp::Delete,
         {who + QStringLiteral(" удаление запрещено"),
          QStringLiteral("Ошибка при удалении. Повторите...")}},
        {OutlineOp::Promote, {tree, QStringLiteral("Ошибка при сдвиге влево. Повторите...")}},
        {OutlineOp::Demote, {tree, QStringLiteral("Ошибка при сдвиге вправо. Повторите...")}},
        {OutlineOp::MoveUp, {tree, QStringLiteral("Ошибка при перемещении вверх. Повторите...")}},
        {OutlineOp::MoveDown, {tree, QStringLiteral("Ошибка при перемещении вниз. Повторите...")}},
        {OutlineOp::Drop, {tree, QStringLiteral("Ошибка при переносе. Повторите...")}},
    };
    return d;
}

OutlineDescriptor OutlineDescriptor::ForCatalogue(int catalogue) {
    return catalogue == 2 ? Rubrics() : Collections();
}
