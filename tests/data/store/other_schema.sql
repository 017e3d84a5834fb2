-- A database of some other program: an info table with other columns, and tables
-- of the browser's names with other layouts. Nothing in it may be lost.
create table info (name text, content text);
insert into info values ('owner', 'someone else');
create table searchengine (id integer primary key, label text);
insert into searchengine (label) values ('not ours');
create table domain_type (domain varchar(128) primary key, type integer);
insert into domain_type values ('www.icbc.com.cn', 5);
