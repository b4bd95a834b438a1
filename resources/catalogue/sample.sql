-- A small catalogue to look around in.
BEGIN;
INSERT INTO tblCategory (CategoryID, CategoryName) VALUES
    (1, 'Animals'), (2, 'Knights'), (3, 'Buildings'), (4, 'Vehicles'), (5, 'Plants');

INSERT INTO tblFigure (FigureID, CategoryID, FigureName, FigureType) VALUES
    (1, 1, 'Horse', 'Quadruped'),
    (2, 1, 'Eagle', 'Bird'),
    (3, 1, 'Dragon', 'Mythical'),
    (4, 1, 'Owl', NULL),
    (5, 2, 'Knight', 'Standing'),
    (6, 2, 'Mounted Knight', 'Rider'),
    (7, 2, 'Archer', 'Kneeling'),
    (8, 3, 'Castle Tower', 'Scenery'),
    (9, 3, 'Windmill', 'Scenery'),
    (10, 4, 'Cart', 'Wheeled');

INSERT INTO tblFigurePart (FigurePartID, FigureID, FigurePartName) VALUES
    (1, 1, 'Body'), (2, 1, 'Head'), (3, 1, 'Mane'), (4, 1, 'Tail'), (5, 1, 'Saddle'),
    (6, 2, 'Body'), (7, 2, 'Left wing'), (8, 2, 'Right wing'), (9, 2, 'Talons'),
    (10, 3, 'Body'), (11, 3, 'Wings'), (12, 3, 'Horns'), (13, 3, 'Tail'),
    (14, 5, 'Torso'), (15, 5, 'Helmet'), (16, 5, 'Shield'), (17, 5, 'Sword'), (18, 5, 'Hip'),
    (19, 6, 'Rider'), (20, 6, 'Horse'), (21, 6, 'Lance'), (22, 6, 'Banner'),
    (23, 7, 'Torso'), (24, 7, 'Bow'), (25, 7, 'Quiver'),
    (26, 8, 'Base'), (27, 8, 'Battlements'), (28, 8, 'Flag'),
    (29, 9, 'Tower'), (30, 9, 'Sails'),
    (31, 10, 'Bed'), (32, 10, 'Wheels'), (33, 10, 'Shaft');
COMMIT;
