#include "DataModuleComponents.h"

namespace {

QStringList L(std::initializer_list<const char*> lines) {
    QStringList out;
    for (const char* line : lines)
        out << QString::fromUtf8(line);
    return out;
}

} // namespace

const std::vector<QueryComponent>& QueryComponents() {
    static const std::vector<QueryComponent> components = {
        {QStringLiteral("quNast"), 0, L({"SELECT * FROM NAST"})},
        {QStringLiteral("quRUB"), 0, L({"SELECT *  FROM RUB   ORDER  BY NPP"})},
        {QStringLiteral("quPOK"), 0,
         L({"SELECT *  FROM POK  WHERE KODFOLDER = :KODFOLDER", "  ORDER BY NPP"})},
        {QStringLiteral("quGetAgrKod"), 0,
         L({"SELECT MAX(KODFOLDER) FROM AGR WHERE NUMAGR = :NUM_AGR"})},
        {QStringLiteral("quAGR"), 0,
         L({"SELECT NPP, KODFOLDER, NAMEFOLDER, NLEVEL   FROM AGR ",
            "    WHERE NUMAGR = :N_AGR   ORDER BY NPP"})},
        {QStringLiteral("quElmFull"), 0, L({"SELECT NPP, KODFOLDER  FROM ELM ORDER BY NPP"})},
        {QStringLiteral("quGetElmKod"), 0, L({"SELECT MAX(KODFOLDER)  FROM ELM"})},
        {QStringLiteral("quSpisAgr"), 0, L({"SELECT * FROM SPISAGR ORDER BY NUMAGR"})},
        {QStringLiteral("quSPIS"), 0, L({"SELECT * FROM SPIS"})},
        {QStringLiteral("quUser"), 0, L({"SELECT * FROM USERS  WHERE KODUSER = :KOD_USER"})},
        {QStringLiteral("quFindPok"), 0,
         L({"SELECT NameFolder, KodAlt FROM POK WHERE KodElmt = :KODELMT"})},
        {QStringLiteral("quFindPokAlt"), 0,
         L({"SELECT KodElmt, NameFolder FROM POK WHERE KodAlt = :KODALT"})},
        {QStringLiteral("quFindAgr"), 0,
         L({"SELECT KodFolder, NUMAGR, NameFolder FROM AGR ", "  WHERE KodFOLDER = :KODFOLDER"})},
        {QStringLiteral("quFindElm"), 0,
         L({"SELECT KodFolder, NameFolder FROM ELM ", "  WHERE KodFOLDER = :KODFOLDER"})},
        // Its text is set by whoever uses it: the start-up check, then the objects window.
        {QStringLiteral("quElm"), 0, {}},
        {QStringLiteral("quCommonMAIN"), 0, {}},
        {QStringLiteral("quSBR"), 1,
         L({"SELECT NPP, KODFOLDER, NAMEFOLDER, NLEVEL, NAMEID,",
            " KODSPIS, NGOD, NMONTH, PAROL  FROM SBR    ORDER  BY NPP"})},
        {QStringLiteral("quCAT"), 1,
         L({"SELECT  KODELMT,NPP,  KODFOLDER ,NAMEFOLDER, KODALT, ",
            "KODSPIS, ISINUSE, PAROL, TYPEUSE",
            "FROM CAT   WHERE KODFOLDER = :KODFOLDER   ORDER BY NPP"})},
        {QStringLiteral("quGetTABCat"), 1,
         L({"SELECT TABF1, KODAGR, NUMAGR,  KODELM, GODOLD,",
            "               MONTHOLD1, MONTHOLD2, GODNEW, MONTHNEW1, ",
            "               MONTHNEW2 ,KODELMT", "  FROM CAT  WHERE KODELMT  =  :P_KODELMT"})},
        {QStringLiteral("quCommonTAB"), 1, {}},
    };
    return components;
}

const std::vector<ProcedureComponent>& ProcedureComponents() {
    static const std::vector<ProcedureComponent> components = [] {
        std::vector<ProcedureComponent> list;
        auto add = [&list](int tag, std::initializer_list<std::pair<const char*, const char*>> ps) {
            for (const auto& [component, procedure] : ps)
                list.push_back(
                    {QString::fromLatin1(component), tag, QString::fromLatin1(procedure)});
        };
        add(1, {{"spInsertSBR", "INSERT_SBR"},
                {"spDeleteSBR", "DELETE_SBR"},
                {"spUpdateNppSBR", "UPDATE_SBR"},
                {"spUpdateLevSBR", "UPDATE_LEV_SBR"},
                {"spUpdateNppLevSBR", "UPD_NPPLEV_SBR"},
                {"spUpdateNameSBR", "UPDATE_SBRNAME"},
                {"spRenumSBR", "RENUM_SBR"},
                {"spInsertCAT", "INSERT_CAT"},
                {"spDeleteCat", "DELETE_CAT"},
                {"spUpdateNPPCat", "UPDATE_CAT"},
                {"spRenumCAT", "RENUM_CAT"},
                {"spUpdateUSESlave", "UPDATE_CAT_USE"}});
        add(0, {{"spInsertRUB", "INSERT_RUB"},
                {"spDeleteRUB", "DELETE_RUB"},
                {"spUpdateNppRUB", "UPDATE_RUB"},
                {"spUpdateLevRUB", "UPDATE_LEV_RUB"},
                {"spUpdateNppLevRUB", "UPD_NPPLEV_RUB"},
                {"spUpdateNameRUB", "UPDATE_RUBNAME"},
                {"spRenumRUB", "RENUM_RUB"},
                {"spInsertPOK", "INSERT_POK"},
                {"spDeletePok", "DELETE_POK"},
                {"spUpdateNPPPok", "UPDATE_POK"},
                {"spRenumPOK", "RENUM_POK"},
                {"spInsertAgr", "INSERT_AGR"},
                {"spDeleteAgr", "DELETE_AGR"},
                {"spUpdateNPPAgr", "UPDATE_AGR"},
                {"spUpdateLevAgr", "UPDATE_LEV_AGR"},
                {"spUpdateNPPLevAgr", "UPD_NPPLEV_AGR"},
                {"spUpdateNameAgr", "UPDATE_AGRNAME"},
                {"spUpdateKodAgr", "UPDATE_KOD_AGR"},
                {"spRenumAgr", "RENUM_AGR"},
                {"spInsSpisAgr", "INSERT_SPISAGR"},
                {"spUpdSpisAgr", "UPDATE_SPISAGR"},
                {"spUpdSpisAgrElm", "UPDATE_ELMSPISAGR"},
                {"spDeleteElm", "DELETE_ELM"},
                {"spUpdateNppElm", "UPDATE_ELM"},
                {"spRenumElm", "RENUM_ELM"},
                {"spInsertSpis", "INSERT_SPIS"},
                {"spDeleteSpis", "DELETE_SPIS"},
                {"spInsertSpisElmt", "INSERT_SPISELMT"},
                {"spInsertUsers", "INSERT_USERS"},
                {"spDeleteUsers", "DELETE_USERS"},
                {"spGetNumUsers", "GET_KOL_USERS"},
                {"spOneUSBR", "ONE_USBR"},
                {"spOneUCAT", "ONE_UCAT"},
                {"spOneURUB", "ONE_URUB"},
                {"spOneUPOK", "ONE_UPOK"},
                {"spOneUAGR", "ONE_UAGR"},
                {"spOneUELM", "ONE_UELM"},
                {"spOneUSPIS", "ONE_USPIS"},
                {"spOneUSPISELMT", "ONE_USPISELMT"},
                {"spOneUNAST", "ONE_UNAST"},
                {"spZeroUSBR", "ZERO_USBR"},
                {"spZeroUCAT", "ZERO_UCAT"},
                {"spZeroURUB", "ZERO_URUB"},
                {"spZeroUPOK", "ZERO_UPOK"},
                {"spZeroUAGR", "ZERO_UAGR"},
                {"spZeroUELM", "ZERO_UELM"},
                {"spZeroUSPIS", "ZERO_USPIS"},
                {"spZeroUSPISELMT", "ZERO_USPISELMT"},
                {"spZeroUNAST", "ZERO_UNAST"}});
        return list;
    }();
    return components;
}
