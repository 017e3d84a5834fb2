#include "store/seed_hosts.h"

namespace tarvo {

// Web and online-banking hosts of five large commercial banks: ICBC, CCB, ABC, BOC, BoCom.
const std::array<std::string_view, 10> kLargeBankHosts = {
    "www.icbc.com.cn", "mybank.icbc.com.cn", "www.ccb.com", "ibsbjstar.ccb.com.cn", "www.abchina.com",
    "perbank.abchina.com", "www.boc.cn", "ebsnew.boc.cn", "www.bankcomm.com", "pbank.95559.com.cn",
};

// China Merchants Bank.
const std::array<std::string_view, 5> kMerchantsBankHosts = {
    "www.cmbchina.com", "cmbchina.com", "pbsz.ebank.cmbchina.com", "personalbank.cmbchina.com",
    "cc.cmbchina.com",
};

// Web, online-banking, card and service hosts of 17 banks (ICBC, CCB, ABC, BOC, BoCom,
// PSBC, CITIC, CEB, Hua Xia, Minsheng, CGB, Ping An, SPDB, CIB, Zheshang, Bohai, Hengfeng)
// and the central bank's credit-reference service.
const std::array<std::string_view, 346> kBankServiceHosts = {
    "icbc.com.cn", "corporbank.icbc.com.cn", "b2c.icbc.com.cn", "epass.icbc.com.cn", "vip.icbc.com.cn",
    "m.icbc.com.cn", "mall.icbc.com.cn", "gold.icbc.com.cn", "creditcard.icbc.com.cn", "wap.icbc.com.cn",
    "icbc.com", "www.icbc.com", "mims.icbc.com.cn", "open.icbc.com.cn", "ebank.icbc.com.cn",
    "cardmall.icbc.com.cn", "fund.icbc.com.cn", "elife.icbc.com.cn", "mybank1.icbc.com.cn",
    "mybank3.icbc.com.cn", "ccb.com", "ccb.com.cn", "www.ccb.com.cn", "ibsbjstar.ccb.com", "ebank.ccb.com",
    "creditcard.ccb.com", "m.ccb.com", "b2b.ccb.com", "e.ccb.com", "fund.ccb.com", "gold.ccb.com",
    "jf.ccb.com", "buy.ccb.com", "epay.ccb.com", "ibsbjstar2.ccb.com.cn", "e3.ccb.com", "mall.ccb.com",
    "group.ccb.com", "life.ccb.com", "wap.ccb.com", "abchina.com", "abchina.com.cn", "www.abchina.com.cn",
    "corporbank.abchina.com", "mybank.abchina.com", "ebank.abchina.com", "easyabc.95599.cn", "www.95599.cn",
    "95599.cn", "card.abchina.com", "m.abchina.com", "e.abchina.com", "fund.abchina.com", "gold.abchina.com",
    "mall.abchina.com", "wap.abchina.com", "pay.abchina.com", "bank.abchina.com", "perbank.abchina.com.cn",
    "corporbank.abchina.com.cn", "boc.cn", "bankofchina.com", "www.bankofchina.com", "ebs.boc.cn",
    "ebsnew.bankofchina.com", "ebank.boc.cn", "ccs.boc.cn", "mbs.boc.cn", "sp.boc.cn", "srh.bankofchina.com",
    "corporate.boc.cn", "bocnet.boc.cn", "m.boc.cn", "wap.boc.cn", "mall.boc.cn", "card.boc.cn",
    "fund.boc.cn", "gold.boc.cn", "pay.boc.cn", "e.boc.cn", "bankcomm.com", "bankcomm.cn", "www.bankcomm.cn",
    "pbank.bankcomm.com", "ebank.bankcomm.com", "creditcard.bankcomm.com", "www.95559.com.cn", "95559.com.cn",
    "m.bankcomm.com", "wap.bankcomm.com", "e.bankcomm.com", "fund.bankcomm.com", "gold.bankcomm.com",
    "mall.bankcomm.com", "pay.bankcomm.com", "corp.bankcomm.com", "cbank.bankcomm.com", "life.bankcomm.com",
    "ebank.95559.com.cn", "creditcard.95559.com.cn", "www.psbc.com", "psbc.com", "pbank.psbc.com",
    "ebank.psbc.com", "corpebank.psbc.com", "creditcard.psbc.com", "m.psbc.com", "wap.psbc.com", "e.psbc.com",
    "mall.psbc.com", "fund.psbc.com", "gold.psbc.com", "pay.psbc.com", "card.psbc.com",
    "www.chinapost.com.cn", "chinapost.com.cn", "life.psbc.com", "open.psbc.com", "corp.psbc.com",
    "bank.psbc.com", "www.citicbank.com", "citicbank.com", "e.bank.ecitic.com", "bank.ecitic.com",
    "www.ecitic.com", "ecitic.com", "creditcard.ecitic.com", "corp.bank.ecitic.com", "i.bank.ecitic.com",
    "m.citicbank.com", "mall.citicbank.com", "wap.citicbank.com", "fund.citicbank.com", "gold.citicbank.com",
    "pay.citicbank.com", "card.citicbank.com", "ebank.citicbank.com", "open.citicbank.com",
    "life.citicbank.com", "e.citicbank.com", "www.cebbank.com", "cebbank.com", "ebank.cebbank.com",
    "xyk.cebbank.com", "www.cebbank.com.cn", "cebbank.com.cn", "m.cebbank.com", "e.cebbank.com",
    "mall.cebbank.com", "wap.cebbank.com", "fund.cebbank.com", "gold.cebbank.com", "pay.cebbank.com",
    "card.cebbank.com", "corp.cebbank.com", "open.cebbank.com", "life.cebbank.com", "bank.cebbank.com",
    "ebank.cebbank.com.cn", "xyk.cebbank.com.cn", "www.hxb.com.cn", "hxb.com.cn", "sbank.hxb.com.cn",
    "ebank.hxb.com.cn", "creditcard.hxb.com.cn", "m.hxb.com.cn", "e.hxb.com.cn", "mall.hxb.com.cn",
    "wap.hxb.com.cn", "fund.hxb.com.cn", "gold.hxb.com.cn", "pay.hxb.com.cn", "card.hxb.com.cn",
    "corp.hxb.com.cn", "open.hxb.com.cn", "life.hxb.com.cn", "pbank.hxb.com.cn", "cbank.hxb.com.cn",
    "www.huaxiabank.com", "huaxiabank.com", "www.cmbc.com.cn", "cmbc.com.cn", "nper.cmbc.com.cn",
    "ebank.cmbc.com.cn", "creditcard.cmbc.com.cn", "m.cmbc.com.cn", "e.cmbc.com.cn", "mall.cmbc.com.cn",
    "wap.cmbc.com.cn", "fund.cmbc.com.cn", "gold.cmbc.com.cn", "pay.cmbc.com.cn", "card.cmbc.com.cn",
    "corp.cmbc.com.cn", "open.cmbc.com.cn", "life.cmbc.com.cn", "pbank.cmbc.com.cn", "cbank.cmbc.com.cn",
    "www.cmbc.com", "cmbc.com", "www.cgbchina.com.cn", "cgbchina.com.cn", "ebanks.cgbchina.com.cn",
    "ebank.cgbchina.com.cn", "card.cgbchina.com.cn", "m.cgbchina.com.cn", "e.cgbchina.com.cn",
    "mall.cgbchina.com.cn", "wap.cgbchina.com.cn", "fund.cgbchina.com.cn", "gold.cgbchina.com.cn",
    "pay.cgbchina.com.cn", "creditcard.cgbchina.com.cn", "corp.cgbchina.com.cn", "open.cgbchina.com.cn",
    "life.cgbchina.com.cn", "pbank.cgbchina.com.cn", "cbank.cgbchina.com.cn", "www.cgbchina.com",
    "cgbchina.com", "bank.pingan.com", "www.pingan.com", "pingan.com", "ebank.pingan.com",
    "creditcard.pingan.com", "m.pingan.com", "e.pingan.com", "mall.pingan.com", "wap.pingan.com",
    "fund.pingan.com", "gold.pingan.com", "pay.pingan.com", "card.pingan.com", "corp.pingan.com",
    "open.pingan.com", "life.pingan.com", "pbank.pingan.com", "cbank.pingan.com", "www.pingan.com.cn",
    "pingan.com.cn", "www.spdb.com.cn", "spdb.com.cn", "ebank.spdb.com.cn", "per.spdb.com.cn",
    "creditcard.spdb.com.cn", "m.spdb.com.cn", "e.spdb.com.cn", "mall.spdb.com.cn", "wap.spdb.com.cn",
    "fund.spdb.com.cn", "gold.spdb.com.cn", "pay.spdb.com.cn", "card.spdb.com.cn", "corp.spdb.com.cn",
    "open.spdb.com.cn", "life.spdb.com.cn", "pbank.spdb.com.cn", "cbank.spdb.com.cn", "www.spdbccc.com.cn",
    "spdbccc.com.cn", "www.cib.com.cn", "cib.com.cn", "personalbank.cib.com.cn", "corporatebank.cib.com.cn",
    "creditcard.cib.com.cn", "m.cib.com.cn", "e.cib.com.cn", "mall.cib.com.cn", "wap.cib.com.cn",
    "fund.cib.com.cn", "gold.cib.com.cn", "pay.cib.com.cn", "card.cib.com.cn", "corp.cib.com.cn",
    "open.cib.com.cn", "life.cib.com.cn", "pbank.cib.com.cn", "ebank.cib.com.cn", "www.cibfintech.com",
    "cibfintech.com", "www.czbank.com", "czbank.com", "perbank.czbank.com", "corbank.czbank.com",
    "ebank.czbank.com", "creditcard.czbank.com", "m.czbank.com", "e.czbank.com", "mall.czbank.com",
    "wap.czbank.com", "fund.czbank.com", "gold.czbank.com", "pay.czbank.com", "card.czbank.com",
    "corp.czbank.com", "open.czbank.com", "life.czbank.com", "pbank.czbank.com", "cbank.czbank.com",
    "www.czbank.com.cn", "www.cbhb.com.cn", "cbhb.com.cn", "ebank.cbhb.com.cn", "pbank.cbhb.com.cn",
    "cbank.cbhb.com.cn", "creditcard.cbhb.com.cn", "m.cbhb.com.cn", "e.cbhb.com.cn", "mall.cbhb.com.cn",
    "wap.cbhb.com.cn", "fund.cbhb.com.cn", "gold.cbhb.com.cn", "pay.cbhb.com.cn", "card.cbhb.com.cn",
    "corp.cbhb.com.cn", "open.cbhb.com.cn", "life.cbhb.com.cn", "per.cbhb.com.cn", "www.hfbank.com.cn",
    "hfbank.com.cn", "ebank.hfbank.com.cn", "pbank.hfbank.com.cn", "cbank.hfbank.com.cn",
    "creditcard.hfbank.com.cn", "m.hfbank.com.cn", "e.hfbank.com.cn", "mall.hfbank.com.cn",
    "wap.hfbank.com.cn", "fund.hfbank.com.cn", "gold.hfbank.com.cn", "pay.hfbank.com.cn",
    "card.hfbank.com.cn", "corp.hfbank.com.cn", "open.hfbank.com.cn", "life.hfbank.com.cn",
    "per.hfbank.com.cn", "www.pbccrc.org.cn", "pbccrc.org.cn", "ipcrs.pbccrc.org.cn", "www.pbc.gov.cn",
    "pbc.gov.cn", "ipcrs.pbc.gov.cn", "www.creditchina.gov.cn", "creditchina.gov.cn", "www.crcpbc.org.cn",
    "crcpbc.org.cn",
};

}  // namespace tarvo
