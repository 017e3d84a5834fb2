-- A profile written by a browser at data version 3: steps 1 to 3 applied, with some
-- of the user's own rows that the later steps must keep.
create table info (key varchar(128), value varchar(256));
insert into info (key, value) values ('data_version', '3'),('search_engine', 'sogou'),('exit_clean', '1');
insert into info (key, value) values ('domainlist_latesttime', '1500000000'),('domainlist_enable', '1');
create table searchtext (searchtext varchar(256) PRIMARY KEY, created_at integer, updated_at integer);
insert into searchtext values ('old search', 1500000000, 1500000000);
create table searchengine (name varchar(256) PRIMARY KEY, prefix varchar(256), suffix varchar(256), title varchar(256), miniico varchar(256), normalico varchar(256));
insert into searchengine values ('baidu', 'https://www.baidu.com/s?wd=', '', 'Baidu', 'Toolbar\baidu_22px.png', 'Dialog\baidu_50px.png');
insert into searchengine values ('sogou', 'https://www.sogou.com/web?query=', '', 'Sogou', 'Toolbar\sogou_22px.png', 'Dialog\sogou_50px.png');
create table favority (id integer PRIMARY KEY AUTOINCREMENT, url varchar(256), title varchar(256), icon varchar(256), icondata blob, parent_id integer, is_folder integer, created_at integer, updated_at integer);
create table download (fileurl text PRIMARY KEY, filename text, filepath text, icon text, icondata blob, received integer, total integer, status integer, created_at integer, updated_at integer);
create table picture (id varchar(256) PRIMARY KEY, url varchar(256), filebin blob, created_at integer);
create table domainpic (url varchar(256) PRIMARY KEY, id varchar(256), created_at integer);
create table domain_type (domain varchar(128), type integer, created_at integer, updated_at integer, primary key(domain));
insert into domain_type (domain, type) values ('www.icbc.com.cn', 2),('mybank.icbc.com.cn', 2),('www.ccb.com', 2),('ibsbjstar.ccb.com.cn', 2),('www.abchina.com', 2),('perbank.abchina.com', 2),('www.boc.cn', 2),('ebsnew.boc.cn', 2),('www.bankcomm.com', 2),('pbank.95559.com.cn', 2);
create table nodelist (nodeid varchar(256), ip varchar(64), country_id varchar(256), country varchar(256), area varchar(256), port varchar(64), status varchar(64), created_at integer, updated_at integer, primary key(nodeid));
create table history (id integer PRIMARY KEY AUTOINCREMENT, url varchar(1024), realurl varchar(1024), is_map integer, title varchar(256), icon varchar(256), icondata blob, parent_id integer, created_at integer, updated_at integer);
insert into history (url, realurl, is_map, created_at) values ('http://example.com/', 'http://example.com/', 0, 1500000000);
create table domainlist (id varchar(128) PRIMARY KEY, source_id varchar(128), source_status varchar(32), source_url varchar(256), source_domain varchar(256), target_id varchar(128), target_status varchar(32), target_url varchar(256), target_domain varchar(256));
insert into domainlist values ('7', '70', '1', 'c2l0ZQ==', 'aG9zdA==', '71', '1', 'bWlycm9y', 'bWlycm9yaG9zdA==');
