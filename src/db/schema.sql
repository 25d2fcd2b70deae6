-- Permanent tables of the asset register. Load into an existing, empty database
-- `kelvo`. Every not-null column has a default, because the program creates cards
-- and depreciation rows naming one column or none and relies on the rest.
-- `odpisy` is created as older databases have it: the program adds zh_d,
-- korun_op, korun_or, opravka_up and zh_p itself at its first start.

create table karta (
  id int not null auto_increment,
  pora_cislo varchar(12) not null default '',
  cislokarty varchar(12) not null default '',
  nazev varchar(30) not null default '',
  dodavatel varchar(30) not null default '',
  dat_zhod date null,
  dokl_zhod varchar(12) not null default '',
  koruny decimal(12,2) not null default 0,
  cena decimal(12,2) not null default 0,
  datum_za date null,
  dokl_za varchar(12) not null default '',
  do_pouziti date null,
  datum_vy date null,
  dokl_vy varchar(12) not null default '',
  vyrazen varchar(1) not null default 'N',
  misto varchar(20) not null default '',
  sk_odpisu varchar(12) not null default '',
  zp_odpisu varchar(20) not null default '',
  poznamka varchar(100) not null default '',
  opravky decimal(12,2) not null default 0,
  skupina int not null default 0,
  rokyodpisu int not null default 0,
  prvnirok decimal(12,4) not null default 0,
  dalsi decimal(12,4) not null default 0,
  zvyseny_vstup decimal(12,4) not null default 0,
  primary key (id),
  key karta_cislokarty (cislokarty),
  key karta_pora_cislo (pora_cislo)
) engine=InnoDB;

create table odpisy (
  id int not null auto_increment,
  id_karta int not null default 0,
  rok varchar(4) not null default '',
  koef_o varchar(5) not null default '',
  procento_o decimal(12,4) not null default 0,
  korun_o decimal(12,2) not null default 0,
  korun_do decimal(12,2) not null default 0,
  zh decimal(12,2) not null default 0,
  opravka_u decimal(12,2) null,
  opravka_d decimal(12,2) null,
  odepsano varchar(1) not null default 'N',
  datum_odpisu datetime null,
  pora_cislo varchar(12) not null default '',
  cislokarty varchar(12) not null default '',
  nazev varchar(30) not null default '',
  dodavatel varchar(30) not null default '',
  dat_zhod date null,
  dokl_zhod varchar(12) not null default '',
  koruny decimal(12,2) not null default 0,
  cena decimal(12,2) not null default 0,
  datum_za date null,
  dokl_za varchar(12) not null default '',
  do_pouziti date null,
  datum_vy date null,
  dokl_vy varchar(12) not null default '',
  misto varchar(30) not null default '',
  sk_odpisu varchar(20) not null default '',
  zp_odpisu varchar(20) not null default '',
  skupina int not null default 0,
  prvnirok decimal(12,4) not null default 0,
  dalsi decimal(12,4) not null default 0,
  rokyodpisu int not null default 0,
  zvyseny_vstup decimal(12,4) not null default 0,
  opravky decimal(12,2) not null default 0,
  primary key (id),
  key odpisy_id_karta (id_karta),
  key odpisy_rok (rok),
  key odpisy_cislokarty (cislokarty)
) engine=InnoDB;

create table def_skupiny (
  id int not null auto_increment,
  sk_odpisu varchar(12) not null default '',
  skupina int not null default 0,
  rokyodpisu int not null default 0,
  primary key (id)
) engine=InnoDB;

create table def_odpisr (
  id int not null auto_increment,
  skupina int not null default 0,
  prvnirok decimal(12,4) not null default 0,
  dalsi decimal(12,4) not null default 0,
  zvyseny_vstup decimal(12,4) not null default 0,
  primary key (id)
) engine=InnoDB;

create table def_odpisz like def_odpisr;
create table def_odpis10 like def_odpisr;
create table def_odpis15 like def_odpisr;
create table def_odpis20 like def_odpisr;
