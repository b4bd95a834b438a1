-- The catalogue: categories, the figures filed under them, and each figure's parts.
-- Identifiers are given by the program (largest plus one); names compare and sort without regard to case.
CREATE TABLE tblCategory (
    CategoryID   INTEGER NOT NULL PRIMARY KEY,
    CategoryName TEXT COLLATE NOCASE
);

CREATE TABLE tblFigure (
    FigureID   INTEGER NOT NULL PRIMARY KEY,
    CategoryID INTEGER NOT NULL,
    FigureName TEXT COLLATE NOCASE,
    FigureType TEXT COLLATE NOCASE
);
CREATE INDEX idxFigureCategoryName ON tblFigure (CategoryID, FigureName);

-- The two identifier columns come first: everything after them is the part's data, carried by position.
CREATE TABLE tblFigurePart (
    FigurePartID   INTEGER NOT NULL PRIMARY KEY,
    FigureID       INTEGER NOT NULL,
    FigurePartName TEXT COLLATE NOCASE
);
CREATE INDEX idxFigurePartFigure ON tblFigurePart (FigureID);
