#include "tests/common/SyntheticEdition.h"

#include <zip.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <stdexcept>

#include "admin/DataPipeline.h"

namespace {

// Replaces the one occurrence of AOld; a change that finds nothing to change is a broken list.
void ReplaceOnce(std::string& AText, const std::string& AOld, const std::string& ANew) {
    const std::size_t at = AText.find(AOld);
    if (at == std::string::npos || AText.find(AOld, at + 1) != std::string::npos)
        throw std::runtime_error("synthetic edition: \"" + AOld + "\" is not there exactly once");
    AText.replace(at, AOld.size(), ANew);
}

// The extent of the "diag" element named ACode: from its "<diag>" to the end of its "</diag>".
std::pair<std::size_t, std::size_t> DiagExtent(const std::string& AText, const std::string& ACode) {
    const std::size_t name = AText.find("<name>" + ACode + "</name>");
    if (name == std::string::npos) throw std::runtime_error("synthetic edition: no diag " + ACode);
    const std::size_t start = AText.rfind("<diag>", name);
    int depth = 0;
    std::size_t at = start;
    for (;;) {
        const std::size_t open = AText.find("<diag>", at + 1);
        const std::size_t close = AText.find("</diag>", at + 1);
        if (open < close) {
            ++depth;
            at = open;
        } else if (depth-- > 0) {
            at = close;
        } else {
            return {start, close + 7};
        }
    }
}

// Removes the diag element of ACode with the indentation and line end before it.
void DeleteDiag(std::string& AText, const std::string& ACode) {
    auto [start, end] = DiagExtent(AText, ACode);
    start = AText.rfind('\n', start);
    if (start > 0 && AText[start - 1] == '\r') --start;
    AText.erase(start, end - start);
}

std::string OrderLine(const std::string& ACode, char AFlag, const std::string& ATitle) {
    char line[512];
    std::snprintf(line, sizeof line, "00000 %-7s %c %-60.60s %s\r\n", ACode.c_str(), AFlag, ATitle.c_str(),
                  ATitle.c_str());
    return line;
}

// The order file's line of ACode (without dot), with its line end.
std::pair<std::size_t, std::size_t> OrderLineExtent(const std::string& AText, const std::string& ACode) {
    std::string key = " " + ACode;
    key.resize(9, ' ');
    for (std::size_t at = AText.find(key); at != std::string::npos; at = AText.find(key, at + 1)) {
        if (at >= 5 && (at == 5 || AText[at - 6] == '\n')) return {at - 5, AText.find('\n', at) + 1};
    }
    throw std::runtime_error("synthetic edition: no order line " + ACode);
}

void RenumberOrder(std::string& AText) {
    std::size_t number = 0;
    for (std::size_t at = 0; at < AText.size(); at = AText.find('\n', at) + 1) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%05zu", ++number);
        AText.replace(at, 5, digits);
        if (AText.find('\n', at) == std::string::npos) break;
    }
}

std::string Tabular2022(std::string text) {
    ReplaceOnce(text, "<version>2021</version>", "<version>2022</version>");
    DeleteDiag(text, "A00.1");
    DeleteDiag(text, "A65");
    ReplaceOnce(text, "<desc>Cholera, unspecified</desc>", "<desc>Cholera, unspecified type</desc>");
    ReplaceOnce(text, "<desc>Typhoid fever, unspecified</desc>", "<desc>Typhoid fever, unspecified site</desc>");
    const std::string eol = "\r\n";
    ReplaceOnce(text, "<desc>Cough</desc>",
                "<desc>Cough</desc>" + eol + "        <diag>" + eol + "          <name>R05.1</name>" + eol +
                    "          <desc>Acute cough</desc>" + eol + "        </diag>" + eol + "        <diag>" + eol +
                    "          <name>R05.9</name>" + eol + "          <desc>Cough, unspecified</desc>" + eol +
                    "        </diag>");
    const auto [u07Start, u07End] = DiagExtent(text, "U07");
    const std::string u10 =
        eol + "      <diag>" + eol + "        <name>U10</name>" + eol + "        <desc>Quorvalitis</desc>" + eol +
        "        <diag>" + eol + "          <name>U10.1</name>" + eol + "          <desc>Acute quorvalitis</desc>" +
        eol + "          <sevenChrNote>" + eol +
        "            <note>The appropriate 7th character is to be added to each code from subcategory U10.1</note>" +
        eol + "          </sevenChrNote>" + eol + "          <sevenChrDef>" + eol +
        "            <extension char=\"A\">initial encounter</extension>" + eol +
        "            <extension char=\"D\">subsequent encounter</extension>" + eol +
        "            <extension char=\"S\">sequela</extension>" + eol + "          </sevenChrDef>" + eol +
        "          <diag>" + eol + "            <name>U10.11</name>" + eol +
        "            <desc>Acute quorvalitis, right side</desc>" + eol + "          </diag>" + eol +
        "          <diag>" + eol + "            <name>U10.12</name>" + eol +
        "            <desc>Acute quorvalitis, left side</desc>" + eol + "          </diag>" + eol + "        </diag>" +
        eol + "        <diag>" + eol + "          <name>U10.9</name>" + eol +
        "          <desc>Quorvalitis, unspecified</desc>" + eol + "        </diag>" + eol + "      </diag>";
    text.insert(u07End, u10);
    return text;
}

std::string Order2022(std::string text) {
    const auto erase = [&](const std::string& code) {
        const auto [start, end] = OrderLineExtent(text, code);
        text.erase(start, end - start);
    };
    const auto replace = [&](const std::string& code, const std::string& lines) {
        const auto [start, end] = OrderLineExtent(text, code);
        text.replace(start, end - start, lines);
    };
    erase("A001");
    erase("A65");
    replace("A009", OrderLine("A009", '1', "Cholera, unspecified type"));
    replace("A0100", OrderLine("A0100", '1', "Typhoid fever, unspecified site"));
    replace("R05", OrderLine("R05", '0', "Cough") + OrderLine("R051", '1', "Acute cough") +
                       OrderLine("R059", '1', "Cough, unspecified"));
    const auto [u071Start, u071End] = OrderLineExtent(text, "U071");
    text.insert(u071End, OrderLine("U10", '0', "Quorvalitis") + OrderLine("U101", '0', "Acute quorvalitis") +
                             OrderLine("U1011", '0', "Acute quorvalitis, right side") +
                             OrderLine("U1011XA", '1', "Acute quorvalitis, right side, initial encounter") +
                             OrderLine("U1011XD", '1', "Acute quorvalitis, right side, subsequent encounter") +
                             OrderLine("U1011XS", '1', "Acute quorvalitis, right side, sequela") +
                             OrderLine("U1012", '0', "Acute quorvalitis, left side") +
                             OrderLine("U1012XA", '1', "Acute quorvalitis, left side, initial encounter") +
                             OrderLine("U1012XD", '1', "Acute quorvalitis, left side, subsequent encounter") +
                             OrderLine("U109", '1', "Quorvalitis, unspecified"));
    RenumberOrder(text);
    return text;
}

// Inserts AEntry before the end of letter Q of an index or table.
void AddToLetterQ(std::string& AText, const std::string& AEntry) {
    const std::size_t letterR = AText.find("<title>R</title>");
    const std::size_t end = AText.rfind("</letter>", letterR);
    const std::size_t lineStart = AText.rfind('\n', end) + 1;
    AText.insert(lineStart, AEntry);
}

}  // namespace

std::vector<TReleaseFile> Published2021Files(const std::filesystem::path& ADataDir) {
    std::vector<TReleaseFile> files;
    for (const char* name : {"icd10cm_tabular_2021.xml", "icd10cm_index_2017.xml", "icd10cm_eindex_2021.xml",
                             "icd10cm_drug_2021.xml", "icd10cm_neoplasm_2021.xml", "icd10cm_order_2021.txt"}) {
        files.push_back({name, ReadDataFile((ADataDir / (std::string(name) + ".gz")).string())});
    }
    return files;
}

std::vector<TReleaseFile> Synthetic2022Files(const std::filesystem::path& ADataDir) {
    std::vector<TReleaseFile> files = Published2021Files(ADataDir);
    for (auto& file : files) {
        file.Name = std::regex_replace(file.Name, std::regex("_20(21|17)\\."), "_2022.");
        if (file.Name.starts_with("icd10cm_tabular")) {
            file.Text = Tabular2022(std::move(file.Text));
        } else if (file.Name.starts_with("icd10cm_order")) {
            file.Text = Order2022(std::move(file.Text));
        } else {
            const std::string year = file.Name.starts_with("icd10cm_index_") ? "2017" : "2021";
            ReplaceOnce(file.Text, "<version>" + year + "</version>", "<version>2022</version>");
        }
        const std::string eol = file.Text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
        if (file.Name.starts_with("icd10cm_index_")) {
            AddToLetterQ(file.Text, "    <mainTerm>" + eol + "      <title>Quorvalitis</title>" + eol +
                                        "      <code>U10.9</code>" + eol + "    </mainTerm>" + eol);
        } else if (file.Name.starts_with("icd10cm_drug_")) {
            std::string row = "    <mainTerm>" + eol + "      <title>Quovirasol</title>" + eol;
            for (int column = 2; column <= 7; ++column)
                row += "      <cell col=\"" + std::to_string(column) + "\">T50.99" + std::to_string(column - 1) +
                       "</cell>" + eol;
            AddToLetterQ(file.Text, row + "    </mainTerm>" + eol);
        }
    }
    return files;
}

void WriteReleaseFiles(const std::filesystem::path& AFolder, const std::vector<TReleaseFile>& AFiles) {
    std::filesystem::create_directories(AFolder);
    for (const auto& file : AFiles) std::ofstream(AFolder / file.Name, std::ios::binary) << file.Text;
}

void WriteReleaseZip(const std::filesystem::path& AZipFile, const std::vector<TReleaseFile>& AFiles) {
    int error = 0;
    zip_t* archive = zip_open(AZipFile.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr) throw std::runtime_error("cannot create " + AZipFile.string());
    for (const auto& file : AFiles) {
        zip_source_t* source = zip_source_buffer(archive, file.Text.data(), file.Text.size(), 0);
        if (source == nullptr || zip_file_add(archive, file.Name.c_str(), source, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            throw std::runtime_error("cannot add " + file.Name + " to " + AZipFile.string());
        }
    }
    if (zip_close(archive) != 0) throw std::runtime_error("cannot write " + AZipFile.string());
}
