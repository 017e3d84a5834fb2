-- A database without the info table but with two of the browser's tables already
-- present (a profile whose info table was dropped): every step runs again, and the
-- statements that collide fail without stopping the upgrade.
create table searchtext (searchtext varchar(256) PRIMARY KEY, created_at integer, updated_at integer);
insert into searchtext values ('kept text', 1600000000, 1600000000);
create table domain_type (domain varchar(128), type integer, created_at integer, updated_at integer, primary key(domain));
insert into domain_type (domain, type) values ('www.ccb.com', 2);
