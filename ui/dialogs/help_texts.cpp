#include "ui/dialogs/help_texts.h"

#include <initializer_list>

namespace dvx {

namespace {

std::string joinLines(std::initializer_list<const char*> lines) {
  std::string out;
  bool first = true;
  for (const char* line : lines) {
    if (!first) out += "\r\n";
    out += line;
    first = false;
  }
  return out;
}

// Page 4, part by part. The suffix table: suffix "|" WHOIS host, "|NONE" when
// the registry runs no server, "|WEB|" and an address when it offers only a
// web form.
const char* const kWhoisHeading[] = {
    "以下是网上搜集的whois服务器地址，手工查询域名信息方法如下：",
    "",
    "（1）连接whois服务器的43端口 ",
    "",
    "（2）发送域名，最后要加回车符，whois服务器就会返回域名的注册信息。",
    "",
};

const char* const kCommonSuffixes[] = {
    ".com whois.verisign-grs.com 43端口",
    ".net whois.verisign-grs.com 43端口",
    ".org whois.pir.org 43端口",
    ".cn whois.cnnic.cn 43端口",
    ".com.cn whois.cnnic.cn 43端口",
    ".net.cn whois.cnnic.cn 43端口",
    ".org.cn whois.cnnic.cn 43端口",
    ".info whois.afilias.net 43端口",
    ".biz whois.biz 43端口",
    ".cc ccwhois.verisign-grs.com 43端口",
    ".tv tvwhois.verisign-grs.com 43端口",
    ".ws whois.website.ws 43端口",
    ".mobi whois.dotmobiregistry.net 43端口",
    ".name whois.nic.name 43端口",
    ".asia whois.nic.asia 43端口",
    ".me whois.nic.me 43端口",
    ".co whois.nic.co 43端口",
    ".us whois.nic.us 43端口",
    ".hk whois.hkirc.hk 43端口",
    ".tw whois.twnic.net.tw 43端口",
    ".in whois.registry.in 43端口",
    ".eu whois.eu 43端口",
    ".de whois.denic.de 43端口",
};

const char kTwoStepNote[] =
    "说明：com、net和ws域名的注册局whois服务器只保存简要信息。第一次查询后，请在返回结果中查找“Whois Server”或“Registrar Whois”一行，再向该行给出的注册商whois服务器（同样是43端口）发送一次域名，才能得到注册人、管理联系人和技术联系人等详细信息。";

const char* const kSuffixTable[] = {
    "ac|whois.nic.ac", "ad|NONE", "ae|whois.aeda.net.ae", "ag|whois.nic.ag", "ai|whois.nic.ai",
    "al|NONE", "ao|NONE", "aq|NONE", "ar|WEB|http://www.nic.ar/", "at|whois.nic.at",
    "au|whois.auda.org.au", "az|WEB|http://www.whois.az/", "ba|WEB|http://www.nic.ba/", "bb|NONE",
    "bd|WEB|http://www.registry.com.bd/", "be|whois.dns.be", "bf|NONE", "bg|whois.register.bg",
    "bh|NONE", "bm|WEB|http://www.bermudanic.bm/", "br|whois.registro.br", "bs|NONE", "bt|NONE",
    "bv|NONE", "by|whois.cctld.by", "ca|whois.cira.ca", "cc|ccwhois.verisign-grs.com", "cf|NONE",
    "cg|NONE", "ch|whois.nic.ch", "ck|NONE", "cl|whois.nic.cl", "cm|NONE", "cn|whois.cnnic.cn",
    "co|whois.nic.co", "cu|WEB|http://www.nic.cu/", "cv|NONE", "cy|WEB|http://www.nic.cy/",
    "cz|whois.nic.cz", "de|whois.denic.de", "dj|NONE", "dk|whois.dk-hostmaster.dk",
    "do|WEB|http://www.nic.do/", "ee|whois.tld.ee", "eg|NONE", "er|NONE",
    "es|WEB|http://www.nic.es/", "et|NONE", "eu|whois.eu", "fi|whois.fi",
    "fj|WEB|http://domains.fj/", "fk|NONE", "fr|whois.nic.fr", "ga|NONE", "gb|NONE", "gf|NONE",
    "gh|WEB|http://www.nic.gh/", "gm|NONE", "gn|NONE", "gp|NONE", "gq|NONE",
    "gr|WEB|http://grweb.ics.forth.gr/", "gt|WEB|http://www.gt/", "gu|NONE", "gw|NONE",
    "hk|whois.hkirc.hk", "hr|whois.dns.hr", "hu|whois.nic.hu", "id|whois.id", "ie|whois.weare.ie",
    "il|whois.isoc.org.il", "im|whois.nic.im", "in|whois.registry.in", "io|whois.nic.io", "iq|NONE",
    "is|whois.isnic.is", "it|whois.nic.it", "jm|NONE", "jo|NONE", "jp|whois.jprs.jp", "kh|NONE",
    "km|NONE", "kp|NONE", "kr|whois.kr", "kw|NONE", "ky|NONE", "lb|WEB|http://www.aub.edu.lb/lbdr/",
    "li|whois.nic.li", "lr|NONE", "ls|NONE", "lt|whois.domreg.lt", "lu|whois.dns.lu",
    "lv|whois.nic.lv", "mc|NONE", "me|whois.nic.me", "mh|NONE", "ml|NONE", "mm|NONE",
    "mo|whois.monic.mo", "mp|NONE", "mq|NONE", "mr|NONE", "mt|WEB|http://www.nic.org.mt/",
    "mv|NONE", "mw|NONE", "mx|whois.mx", "my|whois.mynic.my", "mz|NONE", "ne|NONE",
    "ni|WEB|http://www.nic.ni/", "nl|whois.domain-registry.nl", "no|whois.norid.no", "np|NONE",
    "nr|NONE", "nz|whois.srs.net.nz", "om|NONE", "pa|WEB|http://www.nic.pa/", "pf|NONE", "pg|NONE",
    "ph|WEB|http://www.dot.ph/", "pk|WEB|http://www.pknic.net.pk/", "pl|whois.dns.pl", "pn|NONE",
    "ps|NONE", "pt|whois.dns.pt", "ro|whois.rotld.ro", "rs|whois.rnids.rs", "ru|whois.tcinet.ru",
    "rw|NONE", "sd|NONE", "se|whois.iis.se", "sg|whois.sgnic.sg", "si|whois.register.si",
    "sk|whois.sk-nic.sk", "sl|NONE", "sr|NONE", "st|whois.nic.st", "su|whois.tcinet.ru", "sy|NONE",
    "sz|NONE", "td|NONE", "th|whois.thnic.co.th", "tj|NONE", "tk|whois.dot.tk", "tm|whois.nic.tm",
    "tr|whois.nic.tr", "tv|tvwhois.verisign-grs.com", "tw|whois.twnic.net.tw", "ua|whois.ua",
    "uk|whois.nic.uk", "us|whois.nic.us", "va|NONE", "vc|whois2.afilias-grs.net", "ve|whois.nic.ve",
    "vn|WEB|http://www.vnnic.vn/", "ye|NONE", "za|WEB|http://www.zadna.org.za/", "zm|NONE",
    "zw|NONE", "aero|whois.aero", "asia|whois.nic.asia", "biz|whois.biz", "cat|whois.nic.cat",
    "coop|whois.nic.coop", "info|whois.afilias.net", "jobs|jobswhois.verisign-grs.com",
    "mobi|whois.dotmobiregistry.net", "museum|whois.museum", "name|whois.nic.name",
    "pro|whois.registrypro.pro", "tel|whois.nic.tel", "travel|whois.nic.travel",
};

const char kClosingLine[] =
    "以上没有列出的后缀，请到IANA的WHOIS服务（whois.iana.org，网页 http://www.iana.org/whois）查询该后缀的whois服务器。";

}  // namespace

const std::array<const char*, kHelpTabCount> kHelpTabTitles = {
    "软件使用方法", "域名到期删除知识", "域名管理入口大全", "Whois服务器大全"};

const std::array<const char*, kUsageSectionCount> kUsageHeadings = {
    "软件使用方法及作用", "重新查询单个域名的注册信息", "修改单个域名信息"};

const char kUsageNote[] = "百度关键词:指可以通过多少个不同关键词数从百度搜索到您网站";

std::string usageSectionText(int section) {
  switch (section) {
    case 0:
      return joinLines({
          "",
          "[1]单个或批量添加要管理的域名",
          "",
          "[2]软件为您查询各域名的注册时间以及过期时间等信息,方便您管理和提醒您及时续费",
          "",
          "",
      });
    case 1:
      return joinLines({
          "",
          "[1]在列表内选中要重新查询的单个域名",
          "",
          "[2]点下面的'重查选中'按钮,将重新获取域名的注册信息",
          "",
          "",
      });
    case 2:
      return joinLines({
          "",
          "[1]在列表内选中要修改的单个域名,并双击",
          "",
          "[2]在弹出的修改对话框内修改域名信息",
          "",
      });
    default: return std::string();
  }
}

std::string expiryKnowledgeText() {
  return joinLines({
      "国际域名：",
      "",
      "(1) 到期当天暂停解析，如果在72小时未续费，则修改域名DNS指向广告页面（停放）。38天内，可以续费。续费后，系统自动恢复原来的DNS，刷新时间大概是24－48小时。",
      "",
      "(2) 39-70天，域名处于赎回期（Redemption），此期间域名无法管理，需手工赎回！ ",
      "",
      "(3) 75天，域名被彻底删除，可以重新注册。",
      "",
      "",
      "国内域名：",
      "",
      "(1) 到期当天暂停解析，如果在72小时未续费，则修改域名DNS指向广告页面（停放）。35天内，可以续费。 ",
      "",
      "(2) 过期后36－48天，将进入13天的高价赎回期，此期间域名无法管理。",
      "",
      "(3) 过期后48天后仍未续费的，域名将随时被删除。 ",
      "",
      "日期来源：WHOIS页面没有给出注册或过期日期（显示“找不到”）时，软件会向该域名注册局的RDAP服务查询，按UTC日期显示，.cn、.jp等没有RDAP服务的后缀仍显示“找不到”。",
  });
}

const std::array<ProviderLink, kProviderLinkCount> kProviderLinks = {{
    {"万网", "http://www.net.cn/user/domainlogin.asp"},
    {"新网", "http://www.xinnet.com/domain/dnsmanage/login.html"},
    {"新网互联", "http://www.dns.com.cn/"},
    {"商务中国", "http://www.bizcn.com/domain/"},
    {"DNSPod", "https://www.dnspod.cn/"},
}};

std::string whoisReferenceText() {
  // Parts and table entries are separated by empty lines.
  std::string out;
  for (const char* line : kWhoisHeading) out.append(line).append("\r\n");
  for (const char* line : kCommonSuffixes) out.append(line).append("\r\n");
  out.append("\r\n").append(kTwoStepNote).append("\r\n\r\n");
  for (const char* line : kSuffixTable) out.append(line).append("\r\n\r\n");
  out.append(kClosingLine);
  return out;
}

}  // namespace dvx
