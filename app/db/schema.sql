-- schema.sql - the warehouse database: the 18 tables of one warehouse and the rows a new one starts with.
--
-- The build runs this file (make_template) into New/New.kvb beside the program; a new warehouse is a copy
-- of that file, and the program itself never creates tables.
--
-- Types. Quantities, prices and sums are REAL, ids, flags and widths INTEGER, texts VARCHAR(n) (the size is
-- what the grids and reports take as the display width; SQLite does not cut longer texts). Dates are DATETIME
-- holding day numbers: days since 30 December 1899 with the time of day as the fraction, the platform's
-- TDateTime, so they compare and sort as numbers. The CHECK constraints keep every number column a number:
-- a text such as '12,5' or '12.03.2024' that the column cannot take as a number is refused with an error
-- instead of being stored as text that sorts and sums wrongly, and so is a number beyond 1e30 (infinity
-- included), which would make every sum it enters meaningless.
--
-- Collation. Every text column compares with RUNOCASE, registered by the database layer: case is ignored
-- for Latin and Cyrillic letters (Ё and ё included), as the old file format did for '=', '<>' and Order By.
-- A connection without that collation cannot compare these columns, so other tools refuse rather than
-- give wrong answers.
--
-- Ids. Every table whose first column is ID numbers its rows itself (AUTOINCREMENT: an id is never given
-- twice, even after the last row was deleted). ColumnSize keeps its fixed ids 1, 2, 3, 4 and 9.
--
-- application_id 'KVB1' marks a warehouse file; the database layer refuses SQLite files without it.

PRAGMA application_id = 1263944241;  -- 0x4B564231, 'KVB1'
PRAGMA user_version = 2;  -- the program brings older files up to this once (TForm1::UpgradeSchema)
PRAGMA journal_mode = DELETE;

CREATE TABLE Groups (
    ID        INTEGER PRIMARY KEY AUTOINCREMENT,
    NameGroup VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    IDName    INTEGER NOT NULL DEFAULT 0 CHECK (typeof(IDName) = 'integer')
);
CREATE INDEX Groups_NameGroup ON Groups (NameGroup);
CREATE INDEX Groups_IDName ON Groups (IDName);

CREATE TABLE Products (
    ID                INTEGER PRIMARY KEY AUTOINCREMENT,
    "№"               VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    Наименование      VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    Марка             VARCHAR(100) COLLATE RUNOCASE DEFAULT '',
    Цвет              VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    Размеры           VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    Единица_измерения VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    Имя_поставщика    VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    Цена              REAL DEFAULT 0 CHECK (typeof(Цена) IN ('integer', 'real', 'null') AND abs(Цена) <= 1e30),
    Минимум           REAL DEFAULT 0 CHECK (typeof(Минимум) IN ('integer', 'real', 'null') AND abs(Минимум) <= 1e30),
    Максимум          REAL DEFAULT 0 CHECK (typeof(Максимум) IN ('integer', 'real', 'null') AND abs(Максимум) <= 1e30),
    Группа            VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    Количество        REAL DEFAULT 0 CHECK (typeof(Количество) IN ('integer', 'real', 'null') AND abs(Количество) <= 1e30),
    ПоставщикОстатка  VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    КоличествоОстатка REAL DEFAULT 0 CHECK (typeof(КоличествоОстатка) IN ('integer', 'real', 'null') AND abs(КоличествоОстатка) <= 1e30),
    V                 VARCHAR(1)   COLLATE RUNOCASE DEFAULT ' ',
    O                 VARCHAR(50)  COLLATE RUNOCASE DEFAULT '-'
);
CREATE INDEX Products_Группа ON Products (Группа);
-- Goods are found by name: an imported request's lines, a document line without its product's id.
CREATE INDEX Products_Наименование ON Products (Наименование);

CREATE TABLE P (
    Название VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    Адрес    VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    Рс       VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    Кс       VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    В        VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    БИК      VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    ИНН      VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    КПП      VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    ОКОНХ    VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    ОКПО     VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    Тел      VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    Директор VARCHAR(100) COLLATE RUNOCASE DEFAULT ''
);

CREATE TABLE Owner (
    Название VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    Адрес    VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    Рс       VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    Кс       VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    В        VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    БИК      VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    ИНН      VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    КПП      VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    ОКОНХ    VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    ОКПО     VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    Тел      VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    Директор VARCHAR(100) COLLATE RUNOCASE DEFAULT ''
);

CREATE TABLE NDS (
    НДС INTEGER NOT NULL DEFAULT 0 CHECK (typeof(НДС) = 'integer')
);

CREATE TABLE Passwords (
    Пароль VARCHAR(50) DEFAULT ''   -- compared exactly by the program, so no case-folding collation
);

CREATE TABLE Name (
    Цвет    INTEGER NOT NULL DEFAULT 1 CHECK (Цвет IN (0, 1)),
    Размеры INTEGER NOT NULL DEFAULT 1 CHECK (Размеры IN (0, 1))
);

CREATE TABLE ColumnSize (
    ID   INTEGER PRIMARY KEY,
    "0"  INTEGER DEFAULT 64 CHECK (typeof("0")  IN ('integer', 'null')),
    "1"  INTEGER DEFAULT 64 CHECK (typeof("1")  IN ('integer', 'null')),
    "2"  INTEGER DEFAULT 64 CHECK (typeof("2")  IN ('integer', 'null')),
    "3"  INTEGER DEFAULT 64 CHECK (typeof("3")  IN ('integer', 'null')),
    "4"  INTEGER DEFAULT 64 CHECK (typeof("4")  IN ('integer', 'null')),
    "5"  INTEGER DEFAULT 64 CHECK (typeof("5")  IN ('integer', 'null')),
    "6"  INTEGER DEFAULT 64 CHECK (typeof("6")  IN ('integer', 'null')),
    "7"  INTEGER DEFAULT 64 CHECK (typeof("7")  IN ('integer', 'null')),
    "8"  INTEGER DEFAULT 64 CHECK (typeof("8")  IN ('integer', 'null')),
    "9"  INTEGER DEFAULT 64 CHECK (typeof("9")  IN ('integer', 'null')),
    "10" INTEGER DEFAULT 64 CHECK (typeof("10") IN ('integer', 'null')),
    "11" INTEGER DEFAULT 64 CHECK (typeof("11") IN ('integer', 'null')),
    "12" INTEGER DEFAULT 64 CHECK (typeof("12") IN ('integer', 'null'))
);

CREATE TABLE Documents (
    ID             INTEGER PRIMARY KEY AUTOINCREMENT,
    Дата_создания  DATETIME CHECK (typeof(Дата_создания) IN ('integer', 'real', 'null') AND abs(Дата_создания) <= 1e30),
    "№_заказа"     VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    Тип_документа  VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    Вид_оплаты     VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    Имя_поставщика VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    Через_кого     VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    Архив          INTEGER NOT NULL DEFAULT 0 CHECK (Архив IN (0, 1))
);

CREATE TABLE StructureDocuments (
    IDДокумента INTEGER CHECK (typeof(IDДокумента) IN ('integer', 'null')),
    IDТовара    INTEGER CHECK (typeof(IDТовара) IN ('integer', 'null')),
    Количество  REAL DEFAULT 0 CHECK (typeof(Количество) IN ('integer', 'real', 'null') AND abs(Количество) <= 1e30),
    Сумма       REAL DEFAULT 0 CHECK (typeof(Сумма) IN ('integer', 'real', 'null') AND abs(Сумма) <= 1e30),
    Ставка      REAL DEFAULT 0 CHECK (typeof(Ставка) IN ('integer', 'real', 'null') AND abs(Ставка) <= 1e30),
    Сумма_с_НДС REAL DEFAULT 0 CHECK (typeof(Сумма_с_НДС) IN ('integer', 'real', 'null') AND abs(Сумма_с_НДС) <= 1e30),
    Архив       INTEGER NOT NULL DEFAULT 0 CHECK (Архив IN (0, 1))
);
CREATE INDEX StructureDocuments_IDДокумента ON StructureDocuments (IDДокумента);
CREATE INDEX StructureDocuments_IDТовара ON StructureDocuments (IDТовара);

CREATE TABLE Otpusk (
    ID            INTEGER PRIMARY KEY AUTOINCREMENT,
    Дата_создания DATETIME CHECK (typeof(Дата_создания) IN ('integer', 'real', 'null') AND abs(Дата_создания) <= 1e30),
    Получатель    VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    Через_кого    VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    Заказчик      VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    "№_заказа"    VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    IDЗаявки      INTEGER CHECK (typeof(IDЗаявки) IN ('integer', 'null')),
    Архив         INTEGER NOT NULL DEFAULT 0 CHECK (Архив IN (0, 1))
);

CREATE TABLE StructureOtpusk (
    IDДокумента INTEGER CHECK (typeof(IDДокумента) IN ('integer', 'null')),
    IDТовара    INTEGER CHECK (typeof(IDТовара) IN ('integer', 'null')),
    Количество  REAL DEFAULT 0 CHECK (typeof(Количество) IN ('integer', 'real', 'null') AND abs(Количество) <= 1e30),
    Сумма       REAL DEFAULT 0 CHECK (typeof(Сумма) IN ('integer', 'real', 'null') AND abs(Сумма) <= 1e30),
    Ставка      REAL DEFAULT 0 CHECK (typeof(Ставка) IN ('integer', 'real', 'null') AND abs(Ставка) <= 1e30),
    Сумма_с_НДС REAL DEFAULT 0 CHECK (typeof(Сумма_с_НДС) IN ('integer', 'real', 'null') AND abs(Сумма_с_НДС) <= 1e30),
    Архив       INTEGER NOT NULL DEFAULT 0 CHECK (Архив IN (0, 1))
);
CREATE INDEX StructureOtpusk_IDДокумента ON StructureOtpusk (IDДокумента);
CREATE INDEX StructureOtpusk_IDТовара ON StructureOtpusk (IDТовара);

CREATE TABLE Application (
    ID            INTEGER PRIMARY KEY AUTOINCREMENT,
    Дата_создания DATETIME CHECK (typeof(Дата_создания) IN ('integer', 'real', 'null') AND abs(Дата_создания) <= 1e30),
    Дата_сдачи    DATETIME CHECK (typeof(Дата_сдачи) IN ('integer', 'real', 'null') AND abs(Дата_сдачи) <= 1e30),
    Получатель    VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    Через_кого    VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    Отпуск_товара VARCHAR(50)  COLLATE RUNOCASE DEFAULT 'Не выдавался',
    Заказчик      VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    "№_заказа"    VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    Sort          INTEGER DEFAULT 0 CHECK (typeof(Sort) IN ('integer', 'null')),
    Архив         INTEGER NOT NULL DEFAULT 0 CHECK (Архив IN (0, 1))
);

CREATE TABLE StructureApplication (
    IDДокумента INTEGER CHECK (typeof(IDДокумента) IN ('integer', 'null')),
    IDТовара    INTEGER CHECK (typeof(IDТовара) IN ('integer', 'null')),
    Количество  REAL DEFAULT 0 CHECK (typeof(Количество) IN ('integer', 'real', 'null') AND abs(Количество) <= 1e30),
    Сумма       REAL DEFAULT 0 CHECK (typeof(Сумма) IN ('integer', 'real', 'null') AND abs(Сумма) <= 1e30),
    Отпущено    REAL DEFAULT 0 CHECK (typeof(Отпущено) IN ('integer', 'real', 'null') AND abs(Отпущено) <= 1e30),
    Архив       INTEGER NOT NULL DEFAULT 0 CHECK (Архив IN (0, 1))
);
CREATE INDEX StructureApplication_IDДокумента ON StructureApplication (IDДокумента);
CREATE INDEX StructureApplication_IDТовара ON StructureApplication (IDТовара);

CREATE TABLE Akt (
    ID            INTEGER PRIMARY KEY AUTOINCREMENT,
    Дата_создания DATETIME CHECK (typeof(Дата_создания) IN ('integer', 'real', 'null') AND abs(Дата_создания) <= 1e30),
    Причина       VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    Дата          DATETIME CHECK (typeof(Дата) IN ('integer', 'real', 'null') AND abs(Дата) <= 1e30),
    Архив         INTEGER NOT NULL DEFAULT 0 CHECK (Архив IN (0, 1))
);

CREATE TABLE StructureAkt (
    IDДокумента INTEGER CHECK (typeof(IDДокумента) IN ('integer', 'null')),
    IDТовара    INTEGER CHECK (typeof(IDТовара) IN ('integer', 'null')),
    Количество  REAL DEFAULT 0 CHECK (typeof(Количество) IN ('integer', 'real', 'null') AND abs(Количество) <= 1e30),
    Сумма       REAL DEFAULT 0 CHECK (typeof(Сумма) IN ('integer', 'real', 'null') AND abs(Сумма) <= 1e30),
    Архив       INTEGER NOT NULL DEFAULT 0 CHECK (Архив IN (0, 1))
);
CREATE INDEX StructureAkt_IDДокумента ON StructureAkt (IDДокумента);
CREATE INDEX StructureAkt_IDТовара ON StructureAkt (IDТовара);

CREATE TABLE TempStructureDocuments (
    ID                INTEGER PRIMARY KEY AUTOINCREMENT,
    Наименование      VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    Марка             VARCHAR(100) COLLATE RUNOCASE DEFAULT '',
    Цвет              VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    Размеры           VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    Единица_измерения VARCHAR(50)  COLLATE RUNOCASE DEFAULT '',
    Имя_поставщика    VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    Цена              REAL DEFAULT 0 CHECK (typeof(Цена) IN ('integer', 'real', 'null') AND abs(Цена) <= 1e30),
    Минимум           REAL DEFAULT 0 CHECK (typeof(Минимум) IN ('integer', 'real', 'null') AND abs(Минимум) <= 1e30),
    Максимум          REAL DEFAULT 0 CHECK (typeof(Максимум) IN ('integer', 'real', 'null') AND abs(Максимум) <= 1e30),
    Группа            VARCHAR(255) COLLATE RUNOCASE DEFAULT '',
    Количество        REAL DEFAULT 0 CHECK (typeof(Количество) IN ('integer', 'real', 'null') AND abs(Количество) <= 1e30),
    Сумма             REAL DEFAULT 0 CHECK (typeof(Сумма) IN ('integer', 'real', 'null') AND abs(Сумма) <= 1e30),
    Ставка            REAL DEFAULT 0 CHECK (typeof(Ставка) IN ('integer', 'real', 'null') AND abs(Ставка) <= 1e30),
    Сумма_с_НДС       REAL DEFAULT 0 CHECK (typeof(Сумма_с_НДС) IN ('integer', 'real', 'null') AND abs(Сумма_с_НДС) <= 1e30),
    -- The product the user picked for the line; Null for a line that names none, which is then
    -- found by its six describing columns.
    IDТовара          INTEGER CHECK (typeof(IDТовара) IN ('integer', 'null'))
);

CREATE TABLE TempStructureOtpusk (
    ID          INTEGER PRIMARY KEY AUTOINCREMENT,
    IDТовара    INTEGER CHECK (typeof(IDТовара) IN ('integer', 'null')),
    Количество  REAL DEFAULT 0 CHECK (typeof(Количество) IN ('integer', 'real', 'null') AND abs(Количество) <= 1e30),
    Макс        REAL DEFAULT 0 CHECK (typeof(Макс) IN ('integer', 'real', 'null') AND abs(Макс) <= 1e30),
    Сумма       REAL DEFAULT 0 CHECK (typeof(Сумма) IN ('integer', 'real', 'null') AND abs(Сумма) <= 1e30),
    Ставка      REAL DEFAULT 0 CHECK (typeof(Ставка) IN ('integer', 'real', 'null') AND abs(Ставка) <= 1e30),
    Сумма_с_НДС REAL DEFAULT 0 CHECK (typeof(Сумма_с_НДС) IN ('integer', 'real', 'null') AND abs(Сумма_с_НДС) <= 1e30),
    -- The request line (StructureApplication's rowid) the line is issued against: one product may
    -- stand on several lines of a request, and each keeps what was issued on it.
    IDСтрокиЗаявки INTEGER CHECK (typeof(IDСтрокиЗаявки) IN ('integer', 'null'))
);

-- The rows a new warehouse needs: the program reads them without checking that they exist.
INSERT INTO Groups (NameGroup, IDName) VALUES ('Склад', 0);
INSERT INTO NDS (НДС) VALUES (18);
INSERT INTO Name (Цвет, Размеры) VALUES (1, 1);
INSERT INTO Owner DEFAULT VALUES;

-- Grid column widths in pixels: 1 main grid (10 columns), 2 document lines (10), 3 goods card (7),
-- 4 journal (13), 9 report builder (7). Unused columns keep the default.
INSERT INTO ColumnSize (ID, "0", "1", "2", "3", "4", "5", "6", "7", "8", "9")
    VALUES (1, 46, 182, 79, 52, 109, 47, 63, 65, 86, 78);
INSERT INTO ColumnSize (ID, "0", "1", "2", "3", "4", "5", "6", "7", "8", "9")
    VALUES (2, 160, 64, 52, 60, 55, 50, 78, 64, 45, 75);
INSERT INTO ColumnSize (ID, "0", "1", "2", "3", "4", "5", "6")
    VALUES (3, 46, 150, 64, 52, 60, 50, 78);
INSERT INTO ColumnSize (ID, "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12")
    VALUES (4, 40, 90, 80, 100, 90, 110, 110, 100, 100, 60, 200, 110, 60);
INSERT INTO ColumnSize (ID, "0", "1", "2", "3", "4", "5", "6")
    VALUES (9, 46, 182, 79, 80, 63, 100, 24);
