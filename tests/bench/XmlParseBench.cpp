// Times parsing a generated skin of about 3 MB and one of about 5 KB with CXmlDocument
// against pugixml parsing the same bytes in place. Each side is timed with the copy it
// parses in: ours widened to UTF-16, pugixml's copy of the bytes. Run by hand under Wine:
// bench_xml_parse.exe [iterations]
#include <XmlDocument.h>

#include <pugixml.hpp>

#include <cstdlib>
#include <string>
#include <vector>

#include "BenchTiming.h"

namespace {

// A skin as the programs write them: fonts, styles and defaults first, then rows of
// named controls with image descriptions, entities and some Chinese text (UTF-8).
std::string MakeSkin(size_t bytes) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!-- generated skin -->\r\n"
        "<Window size=\"1200,770\" caption=\"0,0,0,40\" sizebox=\"4,4,4,4\" roundcorner=\"6,6\">\r\n"
        "  <Font id=\"0\" name=\"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91\" size=\"12\" default=\"true\"/>\r\n"
        "  <Font id=\"1\" name=\"Tahoma\" size=\"14\" bold=\"true\"/>\r\n"
        "  <Style name=\"card\" value=\"bkimage=&quot;file='card.png' corner='8,8,8,8'&quot; inset=&quot;8,8,8,8&quot;\"/>\r\n"
        "  <Default name=\"Button\" value=\"height=&quot;28&quot; textcolor=&quot;#FF333333&quot;\"/>\r\n"
        "  <VerticalLayout name=\"root\" bkcolor=\"#FFF4F1EA\" vscrollbar=\"true\">\r\n";
    for (int row = 0; xml.size() < bytes; ++row) {
        const std::string n = std::to_string(row);
        xml += "    <HorizontalLayout name=\"row" + n + "\" height=\"36\" padding=\"0,4,0,0\" childpadding=\"8\">\r\n"
               "      <Control name=\"icon" + n + "\" width=\"24\" height=\"24\" bkimage=\"file='icons.png' source='" +
               std::to_string(row % 8 * 24) + ",0," + std::to_string(row % 8 * 24 + 24) + ",24'\"/>\r\n"
               "      <Label name=\"title" + n + "\" width=\"220\" text=\"\xE8\xAE\xA2\xE5\x8D\x95 " + n +
               " &amp; \xE5\xAE\xA0\xE7\x89\xA9\xE7\x94\xA8\xE5\x93\x81\" font=\"1\" textcolor=\"#FF333333\"/>\r\n"
               "      <Button name=\"open" + n + "\" width=\"80\" text=\"Open &quot;" + n + "&quot;\" "
               "normalimage=\"file='btn.png' corner='4,4,4,4'\" hotimage=\"file='btn_hot.png' corner='4,4,4,4'\"/>\r\n"
               "      <Option name=\"pick" + n + "\" group=\"picks\" width=\"20\" selected=\"false\"/>\r\n"
               "    </HorizontalLayout>\r\n";
    }
    return xml + "  </VerticalLayout>\r\n</Window>\r\n";
}

double TimeOurs(const std::string& xml) {
    HiveUI::CXmlDocument document;
    const double start = Bench::NowMs();
    const bool ok = document.LoadFromMem(reinterpret_cast<const BYTE*>(xml.data()), static_cast<DWORD>(xml.size()));
    const double elapsed = Bench::NowMs() - start;
    if (!ok || !document.GetRoot().IsValid()) {
        fprintf(stderr, "CXmlDocument rejects the generated skin\n");
        exit(1);
    }
    return elapsed;
}

double TimePugixml(const std::string& xml, std::vector<char>& buffer) {
    pugi::xml_document document;
    const double start = Bench::NowMs();
    buffer.assign(xml.begin(), xml.end());
    const pugi::xml_parse_result result = document.load_buffer_inplace(buffer.data(), buffer.size());
    const double elapsed = Bench::NowMs() - start;
    if (!result) {
        fprintf(stderr, "pugixml rejects the generated skin: %s\n", result.description());
        exit(1);
    }
    return elapsed;
}

// The two parse in turn, so that both meet the same machine load; a small skin's times
// are given in microseconds.
void Compare(const char* what, size_t bytes, int iterations) {
    const std::string xml = MakeSkin(bytes);
    std::vector<char> buffer(xml.size());
    std::vector<double> ours, theirs;
    const bool small = bytes < 64 * 1024;
    for (int i = 0; i < iterations; ++i) {
        ours.push_back(TimeOurs(xml) * (small ? 1000 : 1));
        theirs.push_back(TimePugixml(xml, buffer) * (small ? 1000 : 1));
    }
    char label[64];
    snprintf(label, sizeof label, "%s (%u bytes)", what, static_cast<unsigned>(xml.size()));
    Bench::Report(label, ours, "pugixml copy + in place", theirs, small ? "us" : "ms");
}

}  // namespace

int main(int argc, char** argv) {
    const int iterations = argc > 1 ? std::max(1, atoi(argv[1])) : 30;
    Compare("parse 3 MB skin", 3 * 1024 * 1024, iterations);
    Compare("parse 5 KB skin", 5 * 1024, iterations * 200);
    return 0;
}
