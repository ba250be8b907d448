#include "DbError.h"
#include "DbTestHelpers.h"
#include "TestDatabases.h"

#include <gtest/gtest.h>

using namespace dbtest;

namespace {

class ProcedureContract : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dbs = std::make_unique<TestDatabases>();
        s_fact = s_dbs->connect(0);
        s_tab = s_dbs->connect(1);
    }
    static void TearDownTestSuite() {
        s_fact.reset();
        s_tab.reset();
        s_dbs.reset();
    }
    static DbConnection& fact() { return *s_fact; }
    static DbConnection& tab() { return *s_tab; }

    static int insertSbr(int npp, const QString& name = {}, int level = 1) {
        return call(tab(), "INSERT_SBR",
                    {{"NPP", npp},
                     {"NAMEFOLDER", name},
                     {"NLEVEL", level},
                     {"NAMEID", "ID"},
                     {"KODSPIS", 3},
                     {"NGOD", 2024},
                     {"NMES", 7}})
            .output("KOD_FOLDER")
            .toInt();
    }
    static int insertCat(int folder, int npp, const QString& name = {}) {
        return call(tab(), "INSERT_CAT",
                    {{"NPP", npp},
                     {"KODFOLDER", folder},
                     {"NAMEFOLDER", name},
                     {"KODALT", "Ф1"},
                     {"KODSPIS", 0}})
            .output("KOD_ELMT")
            .toInt();
    }
    static int insertRub(int npp) {
        return call(fact(), "INSERT_RUB", {{"NPP", npp}, {"NAMEFOLDER", "r"}, {"NLEVEL", 1}})
            .output("KOD_FOLDER")
            .toInt();
    }
    static int insertPok(int rubric, int npp) {
        return call(fact(), "INSERT_POK",
                    {{"NPP", npp},
                     {"KODFOLDER", rubric},
                     {"NAMEFOLDER", "p"},
                     {"KODALT", "a"},
                     {"EIZ", "шт"}})
            .output("KOD_ELMT")
            .toInt();
    }
    static double insertUser() {
        return call(fact(), "INSERT_USERS").output("KOD_USER").toDouble();
    }

    static inline std::unique_ptr<TestDatabases> s_dbs;
    static inline std::unique_ptr<DbConnection> s_fact;
    static inline std::unique_ptr<DbConnection> s_tab;
};

} // namespace

TEST_F(ProcedureContract, RenumSbrSpacesRowsInTheirOrder) {
    exec(tab(), QStringLiteral("DELETE FROM SBR"));
    const int a = insertSbr(300), b = insertSbr(5), c = insertSbr(7);
    call(tab(), "RENUM_SBR", {{"INTERVAL", 100}});
    EXPECT_EQ(ints(column(tab(), QStringLiteral("SELECT KODFOLDER FROM SBR ORDER BY NPP"))),
              (QList<int>{b, c, a}));
    EXPECT_EQ(ints(column(tab(), QStringLiteral("SELECT NPP FROM SBR ORDER BY NPP"))),
              (QList<int>{100, 200, 300}));
}

TEST_F(ProcedureContract, RenumberingTouchesOnlyItsOwnFolderOrDirectory) {
    const int f1 = insertSbr(1000), f2 = insertSbr(1100);
    insertCat(f1, 9), insertCat(f1, 3);
    const int other = insertCat(f2, 55);
    call(tab(), "RENUM_CAT", {{"KOD_FOLDER", f1}, {"INTERVAL", 10}});
    EXPECT_EQ(ints(column(tab(),
                          QStringLiteral("SELECT NPP FROM CAT WHERE KODFOLDER = :F "
                                         "ORDER BY NPP"),
                          {{"F", f1}})),
              (QList<int>{10, 20}));
    EXPECT_EQ(
        scalar(tab(), QStringLiteral("SELECT NPP FROM CAT WHERE KODELMT = :K"), {{"K", other}})
            .toInt(),
        55);

    const int r1 = insertRub(100), r2 = insertRub(200);
    insertPok(r1, 7), insertPok(r1, 2);
    const int keep = insertPok(r2, 3);
    call(fact(), "RENUM_POK", {{"KOD_FOLDER", r1}, {"INTERVAL", 100}});
    EXPECT_EQ(ints(column(fact(),
                          QStringLiteral("SELECT NPP FROM POK WHERE KODFOLDER = :F "
                                         "ORDER BY NPP"),
                          {{"F", r1}})),
              (QList<int>{100, 200}));
    EXPECT_EQ(
        scalar(fact(), QStringLiteral("SELECT NPP FROM POK WHERE KODELMT = :K"), {{"K", keep}})
            .toInt(),
        3);

    for (int node = 1; node <= 3; ++node)
        call(fact(), "INSERT_AGR",
             {{"NPP", 10 - node},
              {"KODFOLDER", node + 0.0},
              {"NAMEFOLDER", "n"},
              {"NLEVEL", 1},
              {"NUM_AGR", 1}});
    call(fact(), "INSERT_AGR",
         {{"NPP", 1},
          {"KODFOLDER", 1.0},
          {"NAMEFOLDER", "same key, other directory"},
          {"NLEVEL", 1},
          {"NUM_AGR", 2}});
    call(fact(), "RENUM_AGR", {{"NUM_AGR", 1}, {"INTERVAL", 5}});
    EXPECT_EQ(ints(column(fact(), QStringLiteral("SELECT KODFOLDER FROM AGR WHERE NUMAGR = 1 "
                                                 "ORDER BY NPP"))),
              (QList<int>{3, 2, 1}));
    EXPECT_EQ(ints(column(fact(), QStringLiteral("SELECT NPP FROM AGR ORDER BY NUMAGR, NPP"))),
              (QList<int>{5, 10, 15, 1}));
}

TEST_F(ProcedureContract, RenumRubAndRenumElmCoverTheWholeTable) {
    exec(fact(), QStringLiteral("DELETE FROM POK"));
    exec(fact(), QStringLiteral("DELETE FROM RUB"));
    insertRub(50), insertRub(40);
    call(fact(), "RENUM_RUB", {{"INTERVAL", 100}});
    EXPECT_EQ(ints(column(fact(), QStringLiteral("SELECT NPP FROM RUB ORDER BY NPP"))),
              (QList<int>{100, 200}));

    exec(fact(),
         QStringLiteral("INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER) VALUES (2.5, 1, 'a')"));
    exec(fact(),
         QStringLiteral("INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER) VALUES (0.5, 2, 'b')"));
    call(fact(), "RENUM_ELM", {{"INTERVAL", 100}});
    EXPECT_EQ(ints(column(fact(), QStringLiteral("SELECT KODFOLDER FROM ELM ORDER BY NPP"))),
              (QList<int>{2, 1}));
    call(fact(), "UPDATE_ELM", {{"KOD_FOLDER", 2.0}, {"NPP_NEW", 300}});
    call(fact(), "DELETE_ELM", {{"KOD_FOLDER", 1.0}});
    EXPECT_EQ(ints(column(fact(), QStringLiteral("SELECT NPP FROM ELM"))), (QList<int>{300}));
}

TEST_F(ProcedureContract, CollectionsAndTablesKeepWhatTheyAreGiven) {
    const int folder = insertSbr(100, QStringLiteral("Здравоохранение"), 2);
    DbStatement& st = tab().statement(QStringLiteral("row"));
    st.setSql(QStringLiteral("SELECT * FROM SBR WHERE KODFOLDER = :K"));
    st.setParam(QStringLiteral("K"), folder);
    st.open();
    ASSERT_FALSE(st.eof());
    EXPECT_EQ(st.value(QStringLiteral("NAMEFOLDER")).toString(), QStringLiteral("Здравоохранение"));
    EXPECT_EQ(st.value(QStringLiteral("NLEVEL")).toInt(), 2);
    EXPECT_EQ(st.value(QStringLiteral("NMONTH")).toInt(), 7);
    EXPECT_EQ(st.value(QStringLiteral("NGOD")).toInt(), 2024);
    EXPECT_EQ(st.value(QStringLiteral("KODSPIS")).toInt(), 3);
    st.close();

    call(tab(), "UPD_NPPLEV_SBR", {{"KOD_FOLDER", folder}, {"NPPNEW", 150}, {"NLEVEL", 3}});
    call(tab(), "UPDATE_SBRNAME",
         {{"KOD_FOLDER", folder}, {"NAME_FOLDER", "Кадры"}, {"NAME_ID", "К-1"}});
    EXPECT_EQ(scalar(tab(),
                     QStringLiteral("SELECT NPP || '/' || NLEVEL || '/' || NAMEFOLDER "
                                    "|| '/' || NAMEID FROM SBR WHERE KODFOLDER = :K"),
                     {{"K", folder}})
                  .toString(),
              QStringLiteral("150/3/Кадры/К-1"));
    call(tab(), "UPDATE_SBR", {{"KOD_FOLDER", folder}, {"NPP_NEW", 160}});
    call(tab(), "UPDATE_LEV_SBR", {{"KOD_FOLDER", folder}, {"NEW_LEVEL", 1}});
    EXPECT_EQ(scalar(tab(),
                     QStringLiteral("SELECT NPP * 10 + NLEVEL FROM SBR WHERE KODFOLDER = :K"),
                     {{"K", folder}})
                  .toInt(),
              1601);

    const int table = insertCat(folder, 100, QStringLiteral("Коечный фонд"));
    EXPECT_TRUE(
        scalar(tab(), QStringLiteral("SELECT TABF1 FROM CAT WHERE KODELMT = :K"), {{"K", table}})
            .isNull());
    call(tab(), "UPDATE_CAT", {{"KOD_ELMT", table}, {"NPP", 900}});
    call(tab(), "UPDATE_CAT_USE", {{"KOD_ELMT", table}, {"IS_INUSE", 2}});
    EXPECT_EQ(scalar(tab(), QStringLiteral("SELECT NPP + ISINUSE FROM CAT WHERE KODELMT = :K"),
                     {{"K", table}})
                  .toInt(),
              902);
    call(tab(), "DELETE_CAT", {{"KOD_ELMT", table}});
    EXPECT_TRUE(
        column(tab(), QStringLiteral("SELECT 1 FROM CAT WHERE KODELMT = :K"), {{"K", table}})
            .isEmpty());
}

TEST_F(ProcedureContract, DeleteSbrTakesItsTablesAlong) {
    const int gone = insertSbr(5000), kept = insertSbr(5100);
    insertCat(gone, 1), insertCat(gone, 2);
    const int keptTable = insertCat(kept, 1);
    call(tab(), "DELETE_SBR", {{"KOD_FOLDER", gone}});
    EXPECT_EQ(scalar(tab(), QStringLiteral("SELECT COUNT(*) FROM CAT WHERE KODFOLDER = :F"),
                     {{"F", gone}})
                  .toInt(),
              0);
    EXPECT_EQ(scalar(tab(), QStringLiteral("SELECT COUNT(*) FROM SBR WHERE KODFOLDER = :F"),
                     {{"F", gone}})
                  .toInt(),
              0);
    EXPECT_EQ(scalar(tab(), QStringLiteral("SELECT KODFOLDER FROM CAT WHERE KODELMT = :K"),
                     {{"K", keptTable}})
                  .toInt(),
              kept);
}

TEST_F(ProcedureContract, RubricsAndIndicators) {
    const int rubric = insertRub(7000), other = insertRub(7100);
    const int p1 = insertPok(rubric, 1), p2 = insertPok(rubric, 2);
    EXPECT_GT(p2, p1);
    // An import inserts with its own code and then moves the generator on.
    exec(fact(),
         QStringLiteral("INSERT INTO POK (NAMEFOLDER,KODFOLDER,NPP,KODALT,EIZ,KODELMT) "
                        "VALUES (:NAMEFOLDER,:KODFOLDER,:NPP,:KODALT,:EIZ,:KODELMT)"),
         {{"NAMEFOLDER", "imp"},
          {"KODFOLDER", other},
          {"NPP", 1},
          {"KODALT", "x"},
          {"EIZ", ""},
          {"KODELMT", 5000}});
    EXPECT_EQ(
        scalar(fact(), QStringLiteral("SELECT KODFOLDER FROM POK WHERE KODELMT = 5000")).toInt(),
        other);
    exec(fact(), QStringLiteral("SET GENERATOR GET_KOD_POK TO 5003"));
    EXPECT_EQ(insertPok(other, 2), 5004);

    call(fact(), "UPDATE_POK", {{"KOD_ELMT", p1}, {"NPP", 77}});
    EXPECT_EQ(scalar(fact(), QStringLiteral("SELECT NPP FROM POK WHERE KODELMT = :K"), {{"K", p1}})
                  .toInt(),
              77);
    call(fact(), "UPDATE_RUBNAME",
         {{"KOD_FOLDER", rubric}, {"NAME_FOLDER", "Коечный фонд"}, {"NAME_ID", ""}});
    call(fact(), "UPD_NPPLEV_RUB", {{"KOD_FOLDER", rubric}, {"NPPNEW", 7050}, {"NLEVEL", 2}});
    EXPECT_EQ(scalar(fact(),
                     QStringLiteral("SELECT NAMEFOLDER || NPP || NLEVEL FROM RUB "
                                    "WHERE KODFOLDER = :K"),
                     {{"K", rubric}})
                  .toString(),
              QStringLiteral("Коечный фонд70502"));

    call(fact(), "DELETE_RUB", {{"KOD_FOLDER", rubric}});
    EXPECT_EQ(scalar(fact(), QStringLiteral("SELECT COUNT(*) FROM POK WHERE KODFOLDER = :F"),
                     {{"F", rubric}})
                  .toInt(),
              0);
    EXPECT_EQ(scalar(fact(), QStringLiteral("SELECT COUNT(*) FROM POK WHERE KODFOLDER = :F"),
                     {{"F", other}})
                  .toInt(),
              2);
    call(fact(), "DELETE_POK", {{"KOD_ELMT", 5000}});
    EXPECT_EQ(scalar(fact(), QStringLiteral("SELECT COUNT(*) FROM POK WHERE KODFOLDER = :F"),
                     {{"F", other}})
                  .toInt(),
              1);
}

TEST_F(ProcedureContract, AggregationNodesAndDirectories) {
    call(fact(), "INSERT_AGR",
         {{"NPP", 100},
          {"KODFOLDER", 41.0},
          {"NAMEFOLDER", "Район"},
          {"NLEVEL", 1},
          {"NUM_AGR", 4}});
    call(fact(), "UPD_NPPLEV_AGR",
         {{"KOD_FOLDER", 41.0}, {"NUM_AGR", 4}, {"NPPNEW", 300}, {"NLEVEL", 2}});
    call(fact(), "UPDATE_AGRNAME",
         {{"KOD_FOLDER", 41.0}, {"NUM_AGR", 4}, {"NAME_FOLDER", "Город"}});
    call(fact(), "UPDATE_KOD_AGR",
         {{"KOD_FOLDER", 41.0}, {"NUM_AGR", 4}, {"KOD_FOLDER_NEW", 42.0}});
    EXPECT_EQ(scalar(fact(), QStringLiteral("SELECT KODFOLDER || '/' || NPP || '/' || NLEVEL || "
                                            "'/' || NAMEFOLDER FROM AGR WHERE NUMAGR = 4"))
                  .toString(),
              QStringLiteral("42.00000000000000/300/2/Город"));
    call(fact(), "DELETE_AGR", {{"KOD_FOLDER", 42.0}, {"NUM_AGR", 4}});
    EXPECT_EQ(scalar(fact(), QStringLiteral("SELECT COUNT(*) FROM AGR WHERE NUMAGR = 4")).toInt(),
              0);

    const QString longName(60, QChar(u'Ж'));
    call(fact(), "INSERT_SPISAGR",
         {{"NAMEAGR", longName}, {"NAMEAGRZAG", " "}, {"NUM_AGR", 9}, {"ISINELM", "F"}});
    call(fact(), "UPDATE_ELMSPISAGR", {{"NUM_AGR", 9}, {"ISINELM", "T"}});
    EXPECT_EQ(
        scalar(fact(), QStringLiteral("SELECT NAMEAGR FROM SPISAGR WHERE NUMAGR = 9")).toString(),
        longName.left(50));
    call(fact(), "UPDATE_SPISAGR", {{"NAMEAGR", "Территории"}, {"NUM_AGR", 9}});
    EXPECT_EQ(scalar(fact(), QStringLiteral("SELECT NAMEAGR || ISINELM FROM SPISAGR "
                                            "WHERE NUMAGR = 9"))
                  .toString(),
              QStringLiteral("ТерриторииT"));
}

TEST_F(ProcedureContract, ChangeFlagsReachEveryOtherInstance) {
    exec(fact(), QStringLiteral("DELETE FROM USERS"));
    const double me = insertUser(), other = insertUser();
    // A row left behind by an instance that crashed still counts and gets flags.
    const double crashed = insertUser();
    EXPECT_NE(me, other);
    EXPECT_EQ(call(fact(), "GET_KOL_USERS").output("KOL_USERS").toInt(), 3);

    const char* flags[][3] = {
        {"PSBR", "ONE_USBR", "ZERO_USBR"},    {"PCAT", "ONE_UCAT", "ZERO_UCAT"},
        {"PRUB", "ONE_URUB", "ZERO_URUB"},    {"PPOK", "ONE_UPOK", "ZERO_UPOK"},
        {"PAGR", "ONE_UAGR", "ZERO_UAGR"},    {"PELM", "ONE_UELM", "ZERO_UELM"},
        {"PSPIS", "ONE_USPIS", "ZERO_USPIS"}, {"PSPISELMT", "ONE_USPISELMT", "ZERO_USPISELMT"},
        {"PNAST", "ONE_UNAST", "ZERO_UNAST"}};
    for (const auto& f : flags) {
        SCOPED_TRACE(f[0]);
        const QString flagOf =
            QStringLiteral("SELECT %1 FROM USERS WHERE KODUSER = :K").arg(QLatin1String(f[0]));
        call(fact(), f[1], {{"KOD_USER", me}});
        EXPECT_EQ(scalar(fact(), flagOf, {{"K", me}}).toInt(), 0);
        EXPECT_EQ(scalar(fact(), flagOf, {{"K", other}}).toInt(), 1);
        EXPECT_EQ(scalar(fact(), flagOf, {{"K", crashed}}).toInt(), 1);
        // The key goes in as the double the program holds, also where the
        // parameter is declared integer.
        call(fact(), f[2], {{"KOD_USER", other}});
        EXPECT_EQ(scalar(fact(), flagOf, {{"K", other}}).toInt(), 0);
        EXPECT_EQ(scalar(fact(), flagOf, {{"K", crashed}}).toInt(), 1);
        const QString otherFlags =
            QStringLiteral("SELECT PSBR+PCAT+PRUB+PPOK+PAGR+PELM+PSPIS+PSPISELMT+PNAST - %1 "
                           "FROM USERS WHERE KODUSER = :K")
                .arg(QLatin1String(f[0]));
        EXPECT_EQ(scalar(fact(), otherFlags, {{"K", other}}).toInt(), 0);
        exec(fact(), QStringLiteral("UPDATE USERS SET %1 = 0").arg(QLatin1String(f[0])));
    }

    call(fact(), "DELETE_USERS", {{"KOD_USER", other}});
    EXPECT_EQ(call(fact(), "GET_KOL_USERS").output("KOL_USERS").toInt(), 2);
}

TEST_F(ProcedureContract, ObjectListsTakeKeysFromTheTrigger) {
    const int first = call(fact(), "INSERT_SPIS", {{"NAME", "Больницы"}}).output("KODSP").toInt();
    const int second =
        call(fact(), "INSERT_SPIS", {{"NAME", "Поликлиники"}}).output("KODSP").toInt();
    EXPECT_GT(first, 0);
    EXPECT_EQ(second, first + 1);
    // A plain insert goes through the same trigger, whatever key it names.
    exec(fact(), QStringLiteral("INSERT INTO SPIS (KODSPIS, NAME) VALUES (0, 'x')"));
    EXPECT_EQ(scalar(fact(), QStringLiteral("SELECT KODSPIS FROM SPIS WHERE NAME = 'x'")).toInt(),
              second + 1);

    for (int npp = 1; npp <= 2; ++npp)
        call(fact(), "INSERT_SPISELMT",
             {{"KODSPIS", first},
              {"NPP", npp},
              {"KOD", 10.0 + npp},
              {"TIP", 99},
              {"UR", 1},
              {"NAMEOBJ", "ЦРБ"}});
    EXPECT_THROW(call(fact(), "INSERT_SPISELMT", {{"KODSPIS", first}, {"NPP", 2}, {"UR", 1}}),
                 DbError);
    const QString members = QStringLiteral("SELECT COUNT(*) FROM SPISELMT WHERE KODSPIS = :K");
    const QString lists = QStringLiteral("SELECT COUNT(*) FROM SPIS WHERE KODSPIS = :K");
    call(fact(), "DELETE_SPIS", {{"KODSPIS", first}, {"P_USL", 0}});
    EXPECT_EQ(scalar(fact(), members, {{"K", first}}).toInt(), 0);
    EXPECT_EQ(scalar(fact(), lists, {{"K", first}}).toInt(), 1);
    call(fact(), "INSERT_SPISELMT", {{"KODSPIS", first}, {"NPP", 1}, {"UR", 1}});
    call(fact(), "DELETE_SPIS", {{"KODSPIS", first}, {"P_USL", 1}});
    EXPECT_EQ(scalar(fact(), members, {{"K", first}}).toInt(), 0);
    EXPECT_EQ(scalar(fact(), lists, {{"K", first}}).toInt(), 0);
}

TEST_F(ProcedureContract, FundTablesRefuseDuplicatesAndUnknownKeys) {
    const int pok = insertPok(insertRub(9000), 1);
    exec(fact(),
         QStringLiteral("INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER) VALUES (1, 900, 'o')"));
    const QString insert =
        QStringLiteral("INSERT INTO FD_OPERELM (KODFOLDER, KODPOK, KODPOK1, KODPOK2, GOD, D3) "
                       "VALUES (:O, :P, 0, 0, 2024, '12,5')");
    exec(fact(), insert, {{"O", 900.0}, {"P", pok}});
    try {
        exec(fact(), insert, {{"O", 900.0}, {"P", pok}});
        FAIL() << "a second row with the same key was stored";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QLatin1String("FDOINDEXELM")))
            << e.message().toStdString();
    }
    EXPECT_THROW(exec(fact(), insert, {{"O", 900.0}, {"P", pok + 1000}}), DbError);
    EXPECT_THROW(exec(fact(), insert, {{"O", 901.0}, {"P", pok}}), DbError);
    EXPECT_EQ(
        scalar(fact(), QStringLiteral("SELECT D3 FROM FD_OPERELM WHERE KODPOK = :P"), {{"P", pok}})
            .toString(),
        QStringLiteral("12,5"));
    EXPECT_FALSE(column(fact(), QStringLiteral("SELECT * FROM SBR")).size() > 0);
    EXPECT_EQ(scalar(fact(), QStringLiteral("SELECT COUNT(*) FROM NAST")).toInt(), 1);
}

// The program binds every procedure's parameters by name; a misspelt name in a
// script would only show when that command runs, so the lists are checked here.
TEST_F(ProcedureContract, ParameterNamesAndTypesAreTheOnesBound) {
    const QString signature = QStringLiteral(
        "SELECT LIST(TRIM(P), ',') FROM (SELECT TRIM(PP.RDB$PARAMETER_NAME) || ':' || "
        "CASE F.RDB$FIELD_TYPE WHEN 8 THEN 'i' WHEN 27 THEN 'd' ELSE 's' END || "
        "IIF(PP.RDB$PARAMETER_TYPE = 1, '>', '') AS P "
        "FROM RDB$PROCEDURE_PARAMETERS PP JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = "
        "PP.RDB$FIELD_SOURCE WHERE PP.RDB$PROCEDURE_NAME = :N "
        "ORDER BY PP.RDB$PARAMETER_TYPE, PP.RDB$PARAMETER_NUMBER)");
    const std::pair<const char*, const char*> tabProcedures[] = {
        {"INSERT_SBR",
         "NPP:i,NAMEFOLDER:s,NLEVEL:i,NAMEID:s,KODSPIS:i,NGOD:i,NMES:i,KOD_FOLDER:i>"},
        {"DELETE_SBR", "KOD_FOLDER:i"},
        {"UPDATE_SBR", "KOD_FOLDER:i,NPP_NEW:i"},
        {"UPDATE_LEV_SBR", "KOD_FOLDER:i,NEW_LEVEL:i"},
        {"UPD_NPPLEV_SBR", "KOD_FOLDER:i,NPPNEW:i,NLEVEL:i"},
        {"UPDATE_SBRNAME", "KOD_FOLDER:i,NAME_FOLDER:s,NAME_ID:s"},
        {"RENUM_SBR", "INTERVAL:i"},
        {"INSERT_CAT", "NPP:i,KODFOLDER:i,NAMEFOLDER:s,KODALT:s,KODSPIS:i,KOD_ELMT:i>"},
        {"DELETE_CAT", "KOD_ELMT:i"},
        {"UPDATE_CAT", "KOD_ELMT:i,NPP:i"},
        {"RENUM_CAT", "KOD_FOLDER:i,INTERVAL:i"},
        {"UPDATE_CAT_USE", "KOD_ELMT:i,IS_INUSE:i"},
    };
    const std::pair<const char*, const char*> factProcedures[] = {
        {"INSERT_RUB", "NPP:i,NAMEFOLDER:s,NLEVEL:i,KOD_FOLDER:i>"},
        {"DELETE_RUB", "KOD_FOLDER:i"},
        {"UPDATE_RUB", "KOD_FOLDER:i,NPP_NEW:i"},
        {"UPDATE_LEV_RUB", "KOD_FOLDER:i,NEW_LEVEL:i"},
        {"UPD_NPPLEV_RUB", "KOD_FOLDER:i,NPPNEW:i,NLEVEL:i"},
        {"UPDATE_RUBNAME", "KOD_FOLDER:i,NAME_FOLDER:s,NAME_ID:s"},
        {"RENUM_RUB", "INTERVAL:i"},
        {"INSERT_POK", "NPP:i,KODFOLDER:i,NAMEFOLDER:s,KODALT:s,EIZ:s,KOD_ELMT:i>"},
        {"DELETE_POK", "KOD_ELMT:i"},
        {"UPDATE_POK", "KOD_ELMT:i,NPP:i"},
        {"RENUM_POK", "KOD_FOLDER:i,INTERVAL:i"},
        {"INSERT_AGR", "NPP:i,KODFOLDER:d,NAMEFOLDER:s,NLEVEL:i,NUM_AGR:i"},
        {"DELETE_AGR", "KOD_FOLDER:d,NUM_AGR:i"},
        {"UPDATE_AGR", "KOD_FOLDER:d,NUM_AGR:i,NPP:i"},
        {"UPDATE_LEV_AGR", "KOD_FOLDER:d,NUM_AGR:i,NLEVEL:i"},
        {"UPD_NPPLEV_AGR", "KOD_FOLDER:d,NUM_AGR:i,NPPNEW:i,NLEVEL:i"},
        {"UPDATE_AGRNAME", "KOD_FOLDER:d,NUM_AGR:i,NAME_FOLDER:s"},
        {"UPDATE_KOD_AGR", "KOD_FOLDER:d,NUM_AGR:i,KOD_FOLDER_NEW:d"},
        {"RENUM_AGR", "NUM_AGR:i,INTERVAL:i"},
        {"INSERT_SPISAGR", "NAMEAGR:s,NAMEAGRZAG:s,NUM_AGR:i,ISINELM:s"},
        {"UPDATE_SPISAGR", "NAMEAGR:s,NUM_AGR:i"},
        {"UPDATE_ELMSPISAGR", "NUM_AGR:i,ISINELM:s"},
        {"DELETE_ELM", "KOD_FOLDER:d"},
        {"UPDATE_ELM", "KOD_FOLDER:d,NPP_NEW:i"},
        {"RENUM_ELM", "INTERVAL:i"},
        {"INSERT_SPIS", "NAME:s,KODSP:i>"},
        {"DELETE_SPIS", "KODSPIS:i,P_USL:i"},
        {"INSERT_SPISELMT", "KODSPIS:i,NPP:i,KOD:d,KOD1:d,KOD2:d,KOD3:d,KOD4:d,TIP:i,TIP1:i,"
                            "TIP2:i,TIP3:i,TIP4:i,UR:i,NAMEOBJ:s"},
        {"INSERT_USERS", "KOD_USER:d>"},
        {"DELETE_USERS", "KOD_USER:d"},
        {"GET_KOL_USERS", "KOL_USERS:i>"},
        {"ZERO_UCAT", "KOD_USER:d"},
        {"ZERO_USBR", "KOD_USER:i"},
        {"ZERO_USPISELMT", "KOD_USER:i"},
        {"ONE_USPISELMT", "KOD_USER:d"},
    };
    for (const auto& [name, expected] : tabProcedures)
        EXPECT_EQ(scalar(tab(), signature, {{"N", name}}).toString(), QLatin1String(expected))
            << name;
    for (const auto& [name, expected] : factProcedures)
        EXPECT_EQ(scalar(fact(), signature, {{"N", name}}).toString(), QLatin1String(expected))
            << name;
}
