#include "ElementDescriptor.h"

namespace {

std::map<ElementOp, OutlineMessages> elementMessages() {
    return {
        {ElementOp::Add,
         {QStringLiteral("Пользователь не имеет прав на добавление"),
          QStringLiteral("Ошибка при добавлении. Повторите...")}},
        {ElementOp::Delete,
         {QStringLiteral("Пользователь не имеет прав на удаление"),
          QStringLiteral("Ошибка при удалении. Повторите...")}},
        {ElementOp::Move,
         {QStringLiteral("Пользователь не имеет прав на корректировку"),
          QStringLiteral("Ошибка при переносе. Повторите...")}},
    };
}

} // namespace

ElementDescriptor ElementDescriptor::Tables() {
    ElementDescriptor d;
    d.tag = DatabaseTag::Tab;
    d.dataset = QStringLiteral("quCAT");
    d.table = QStringLiteral("CAT");
    d.spInsert = QStringLiteral("spInsertCAT");
    d.spDelete = QStringLiteral("spDeleteCat");
    d.spUpdateNpp = QStringLiteral("spUpdateNPPCat");
    d.spRenum = QStringLiteral("spRenumCAT");
    d.flagColumn = QStringLiteral("PCAT");
    d.spOne = QStringLiteral("spOneUCAT");
    d.spZero = QStringLiteral("spZeroUCAT");
    d.folderTable = QStringLiteral("SBR");
    d.folderDeleted = QStringLiteral("Сборник удален другим пользователем");
    d.messages = elementMessages();
    return d;
}

ElementDescriptor ElementDescriptor::Indicators() {
    ElementDescriptor d;
    d.tag = DatabaseTag::Main;
    d.dataset = QStringLiteral("quPOK");
    d.table = QStringLiteral("POK");
    d.indicators = true;
    d.spInsert = QStringLiteral("spInsertPOK");
    d.spDelete = QStringLiteral("spDeletePok");
    d.spUpdateNpp = QStringLiteral("spUpdateNPPPok");
    d.spRenum = QStringLiteral("spRenumPOK");
    d.flagColumn = QStringLiteral("PPOK");
    d.spOne = QStringLiteral("spOneUPOK");
    d.spZero = QStringLiteral("spZeroUPOK");
    d.folderTable = QStringLiteral("RUB");
    d.folderDeleted = QStringLiteral("Раздел удален другим пользователем");
    d.messages = elementMessages();
    return d;
}

ElementDescriptor ElementDescriptor::ForCatalogue(int catalogue) {
    return catalogue == 2 ? Indicators() : Tables();
}
