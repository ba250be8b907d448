#pragma once

#include "DbTestHelpers.h"

// Funds to fill from and store into: three long-term years (list 2003, 2001, 2002),
// the operational year 2004, two aggregation directories, objects 501…503 and
// indicators 7 and 8.
inline void PrepareFunds(DbConnection& f) {
    const char* ddl[] = {
        "ALTER TABLE FD_DOLGELM ADD D1 VARCHAR(250), ADD D2 VARCHAR(250), "
        "ADD D3 VARCHAR(250)",
        "ALTER TABLE FD_DOLGAGR ADD KOD1 DOUBLE PRECISION, ADD KOD2 DOUBLE PRECISION, "
        "ADD D1 VARCHAR(250), ADD D2 VARCHAR(250), ADD D3 VARCHAR(250)",
        "ALTER TABLE FD_OPERAGR ADD KOD1 DOUBLE PRECISION, ADD KOD2 DOUBLE PRECISION",
        "INSERT INTO SPISAGR (NUMAGR, NAMEAGR) VALUES (1, 'Районы')",
        "INSERT INTO SPISAGR (NUMAGR, NAMEAGR) VALUES (2, 'Формы')",
        "UPDATE NAST SET GODDOLG = '200320012002', GODOPER = '2004'",
        "INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER) VALUES (1, 501, 'Один')",
        "INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER) VALUES (2, 502, 'Два')",
        "INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER) VALUES (3, 503, 'Три')",
        "INSERT INTO POK (KODELMT, NAMEFOLDER) VALUES (7, 'Семь')",
        "INSERT INTO POK (KODELMT, NAMEFOLDER) VALUES (8, 'Восемь')",
    };
    for (const char* sql : ddl)
        dbtest::exec(f, QString::fromUtf8(sql));
}
