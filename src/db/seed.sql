-- Statutory Czech depreciation groups and rate tables.

insert into def_skupiny (sk_odpisu, skupina, rokyodpisu) values
  ('1', 1, 3), ('2', 2, 5), ('3', 3, 10), ('4', 4, 20), ('5', 5, 30), ('6', 6, 50);

-- Straight-line: first year, later years, increased input price (per cent).
insert into def_odpisr (skupina, prvnirok, dalsi, zvyseny_vstup) values
  (1, 20, 40, 33.3), (2, 11, 22.25, 20), (3, 5.5, 10.5, 10),
  (4, 2.15, 5.15, 5), (5, 1.4, 3.4, 3.4), (6, 1.02, 2.02, 2);

-- Accelerated: coefficients.
insert into def_odpisz (skupina, prvnirok, dalsi, zvyseny_vstup) values
  (1, 3, 4, 3), (2, 5, 6, 5), (3, 10, 11, 10),
  (4, 20, 21, 20), (5, 30, 31, 30), (6, 50, 51, 50);

-- Straight-line with the first year increased by 10, 15 and 20 per cent.
insert into def_odpis10 (skupina, prvnirok, dalsi, zvyseny_vstup) values
  (1, 30, 35, 33.3), (2, 21, 19.75, 20), (3, 15.4, 9.4, 10);
insert into def_odpis15 (skupina, prvnirok, dalsi, zvyseny_vstup) values
  (1, 35, 32.5, 33.3), (2, 26, 18.5, 20), (3, 19, 9, 10);
insert into def_odpis20 (skupina, prvnirok, dalsi, zvyseny_vstup) values
  (1, 40, 30, 33.3), (2, 31, 17.25, 20), (3, 24.4, 8.4, 10);
