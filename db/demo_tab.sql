-- Demo data for the table-materials database: a collection of report tables.
-- The tables carry no workbook yet; the table editor creates it when a table is
-- first opened and saved.
INSERT INTO SBR (KODFOLDER, NPP, NAMEFOLDER, NLEVEL, NAMEID, KODSPIS, NGOD, NMONTH, PAROL)
  VALUES (1, 100, 'Здравоохранение области', 1, 'ЗДР', 0, 2025, 0, '');
INSERT INTO SBR (KODFOLDER, NPP, NAMEFOLDER, NLEVEL, NAMEID, KODSPIS, NGOD, NMONTH, PAROL)
  VALUES (2, 200, 'Сеть и коечный фонд', 2, 'ЗДР-1', 0, 2025, 0, '');
INSERT INTO SBR (KODFOLDER, NPP, NAMEFOLDER, NLEVEL, NAMEID, KODSPIS, NGOD, NMONTH, PAROL)
  VALUES (3, 300, 'Кадры и посещения', 2, '030', 0, 2025, 9, '');
INSERT INTO SBR (KODFOLDER, NPP, NAMEFOLDER, NLEVEL, NAMEID, KODSPIS, NGOD, NMONTH, PAROL)
  VALUES (4, 400, 'Демонстрационный сборник', 1, 'ДЕМО', 0, 0, 0, '');
SET GENERATOR GET_KOD_SBR TO 4;

INSERT INTO CAT (KODELMT, NPP, KODFOLDER, NAMEFOLDER, KODALT, KODSPIS, ISINUSE, PAROL, TYPEUSE)
  VALUES (1, 100, 2, 'Коечный фонд учреждений', 'КФ-1', 0, 0, '', 0);
INSERT INTO CAT (KODELMT, NPP, KODFOLDER, NAMEFOLDER, KODALT, KODSPIS, ISINUSE, PAROL, TYPEUSE)
  VALUES (2, 200, 2, 'Коечный фонд по профилям коек', 'КФ-2', 0, 0, '', 0);
INSERT INTO CAT (KODELMT, NPP, KODFOLDER, NAMEFOLDER, KODALT, KODSPIS, ISINUSE, PAROL, TYPEUSE)
  VALUES (3, 100, 3, 'Медицинские кадры', '1001', 0, 0, '', 0);
INSERT INTO CAT (KODELMT, NPP, KODFOLDER, NAMEFOLDER, KODALT, KODSPIS, ISINUSE, PAROL, TYPEUSE)
  VALUES (4, 200, 3, 'Посещения по месяцам', '1002', 0, 0, '', 0);
INSERT INTO CAT (KODELMT, NPP, KODFOLDER, NAMEFOLDER, KODALT, KODSPIS, ISINUSE, PAROL, TYPEUSE)
  VALUES (5, 100, 4, 'Пример таблицы', 'ДЕМО-1', 0, 0, '', 0);
INSERT INTO CAT (KODELMT, NPP, KODFOLDER, NAMEFOLDER, KODALT, KODSPIS, ISINUSE, PAROL, TYPEUSE)
  VALUES (6, 300, 2, 'Коечный фонд районов: итог и доли', 'КФ-3', 0, 0, '', 0);
SET GENERATOR GET_KOD_CAT TO 6;

-- Tender: the offers of three suppliers for the medicines the institutions ordered.
INSERT INTO SBR (KODFOLDER, NPP, NAMEFOLDER, NLEVEL, NAMEID, KODSPIS, NGOD, NMONTH, PAROL)
  VALUES (5, 500, 'Тендер на медикаменты', 1, 'ТЕНДЕР', 0, 2025, 0, '');
SET GENERATOR GET_KOD_SBR TO 5;
INSERT INTO CAT (KODELMT, NPP, KODFOLDER, NAMEFOLDER, KODALT, KODSPIS, ISINUSE, PAROL, TYPEUSE)
  VALUES (7, 100, 5, 'Предложения поставщиков', 'Пост.', 0, 0, '', 0);
SET GENERATOR GET_KOD_CAT TO 7;
