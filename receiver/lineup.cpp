// Lineup files and the built-in demo lineup (see lineup.h).
#include "receiver/lineup.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "receiver/latin1_fold.h"

namespace rx {

namespace {
std::string trim(const std::string &s) {
    size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos)
        return "";
    size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

bool parseNumber(const std::string &s, int &out) {
    if (s.empty())
        return false;
    char *end = nullptr;
    errno = 0;
    long v = std::strtol(s.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < 0 || v > 65535)
        return false;
    out = static_cast<int>(v);
    return true;
}
}  // namespace

bool parseLineup(const std::string &text, const std::string &source, std::vector<sim::Channel> &out,
                 std::string &error) {
    std::vector<sim::Channel> channels;
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        std::string t = trim(line);
        if (t.empty() || t[0] == '#')
            continue;
        std::vector<std::string> f;
        size_t start = 0;
        for (;;) {
            size_t bar = t.find('|', start);
            f.push_back(trim(t.substr(start, bar == std::string::npos ? std::string::npos : bar - start)));
            if (bar == std::string::npos)
                break;
            start = bar + 1;
        }
        std::string where = source + ":" + std::to_string(lineNo) + ": ";
        if (f.size() != 5 && f.size() != 6) {
            error = where + "expected TV|name|service id|logical number|transponder[|XMLTV id], found " +
                    std::to_string(f.size()) + " fields";
            return false;
        }
        sim::Channel c;
        if (f[0] == "TV" || f[0] == "tv")
            c.type = sim::kTv;
        else if (f[0] == "RA" || f[0] == "ra")
            c.type = sim::kRadio;
        else {
            error = where + "the type is \"" + f[0] + "\", expected TV or RA";
            return false;
        }
        c.name = foldToLatin1(f[1], false);   // as the guide's names are
        if (c.name.empty()) {
            error = where + "the channel has no name";
            return false;
        }
        if (!parseNumber(f[2], c.serviceId) || !parseNumber(f[3], c.lcn) || !parseNumber(f[4], c.transponder)) {
            error = where + "service id, logical number and transponder must be numbers 0..65535";
            return false;
        }
        if (f.size() == 6)
            c.xmltvId = f[5];
        channels.push_back(c);
    }
    out = std::move(channels);
    return true;
}

bool readLineupFile(const std::string &path, std::vector<sim::Channel> &out, std::string &error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot read the lineup file";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return parseLineup(text.str(), path, out, error);
}

const std::string &demoLineupText() {
    static const std::string text = R"(# The demo lineup: what a receiver in a border region with a big dish might find.
# type|name|service id|logical number|transponder|XMLTV id
# Transponder 1: ARD
TV|Das Erste HD|10301|1|1|Das.Erste.de
TV|tagesschau24 HD|10375|2|1|tagesschau24.de
TV|ONE HD|10376|3|1|ONE.de
TV|ARD-alpha HD|10377|4|1|ARD-alpha.de
# Transponder 2: ZDF
TV|ZDF HD|11110|5|2|ZDF.de
TV|ZDFneo HD|11130|6|2|ZDFneo.de
TV|3sat HD|11150|7|2|3sat.de
TV|KiKA HD|11160|8|2|KiKA.de
# Transponder 3: RTL group
TV|RTL Television|12003|9|3|RTL.de
TV|VOX|12060|10|3|VOX.de
TV|RTLZWEI|12020|11|3|RTL.II.de
TV|SUPER RTL|12040|12|3|SUPER.RTL.de
TV|n-tv|12090|13|3|n-tv.de
# Transponder 4: ProSiebenSat.1
TV|SAT.1|17500|14|4|SAT.1.de
TV|ProSieben|17501|15|4|ProSieben.de
TV|kabel eins|17502|16|4|kabel.eins.de
TV|sixx|17503|17|4|sixx.de
TV|ProSieben MAXX|17504|18|4|ProSieben.MAXX.de
# Transponder 5: the regional programmes
TV|NDR FS NDS HD|28226|19|5|NDR.de
TV|WDR HD Köln|28325|20|5|WDR.de
TV|BR Fernsehen Süd HD|28110|21|5|BR.de
TV|SWR BW HD|28113|22|5|SWR/SR.de
TV|hr-fernsehen HD|28108|23|5|HR.de
# Transponder 6: Austria
TV|ORF1 HD|4911|24|6|ORF.eins.de
TV|ORF2W HD|4912|25|6|ORF.2.de
TV|ORF III HD|4913|26|6|ORF.III.de
TV|ServusTV HD Österreich|4914|27|6|Servus.TV.de
TV|PULS 4 HD|4915|28|6|PULS.4.de
TV|ATV HD|4916|29|6|ATV.de
# Transponder 7: Finland
TV|Yle TV1 HD|17|30|7|Yle.TV1.fi
TV|Yle TV2 HD|18|31|7|Yle.TV2.fi
TV|Yle Teema & Fem HD|19|32|7|Yle.Teema.Fem.fi
TV|MTV3 HD|257|33|7|MTV3.fi
TV|Nelonen HD|513|34|7|Nelonen.fi
TV|Sub HD|258|35|7|Sub.fi
# Transponder 8: United Kingdom
TV|BBC One HD|17472|36|8
TV|BBC Two HD|17536|37|8
TV|ITV1 HD|8385|38|8
TV|Channel 4 HD|8384|39|8
TV|Channel 5 HD|8500|40|8
# Transponder 9: radio, Germany
RA|Bayern 3|28403|101|9
RA|Deutschlandfunk|28012|102|9
RA|SWR3|28427|103|9
RA|NDR 2|28437|104|9
RA|1LIVE|28475|105|9
# Transponder 10: radio, Austria, Finland and the UK
RA|Hitradio Ö3|13113|106|10
RA|FM4|13114|107|10
RA|Yle Radio Suomi|33|108|10
RA|Yle Radio 1|34|109|10
RA|BBC Radio 2|6423|110|10
)";
    return text;
}

std::vector<sim::Channel> demoLineup() {
    std::vector<sim::Channel> lineup;
    std::string error;
    parseLineup(demoLineupText(), "demo lineup", lineup, error);
    return lineup;
}

}  // namespace rx
