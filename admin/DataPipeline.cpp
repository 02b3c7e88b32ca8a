#include "admin/DataPipeline.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <future>
#include <pugixml.hpp>
#include <sstream>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "admin/ExceptionRules.h"
#include "admin/KeywordGenerator.h"
#include "admin/OrderFile.h"
#include "admin/Statistics.h"
#include "index/IndexLoader.h"
#include "model/TabularLoader.h"
#include "services/DataSets.h"
#include "services/FileUtil.h"

std::string ReadDataFile(const std::string& fileName) {
    if (fileName.size() > 3 && fileName.compare(fileName.size() - 3, 3, ".gz") == 0) {
        gzFile file = gzopen(fileName.c_str(), "rb");
        if (!file) throw std::runtime_error("cannot open " + fileName);
        std::string text;
        std::vector<char> chunk(1 << 16);
        int got = 0;
        bool tooLarge = false;
        while ((got = gzread(file, chunk.data(), static_cast<unsigned>(chunk.size()))) > 0) {
            tooLarge = text.size() + static_cast<std::size_t>(got) > MaxDataFileBytes;
            if (tooLarge) break;
            text.append(chunk.data(), got);
        }
        const bool failed = got < 0;
        gzclose(file);
        if (tooLarge)
            throw std::runtime_error("cannot read " + fileName + ": " +
                                     FileReadProblem(TFileRead::TooLarge, MaxDataFileBytes));
        if (failed) throw std::runtime_error("cannot read " + fileName);
        return text;
    }
    std::string bytes;
    const TFileRead read = ReadRegularFile(fileName, bytes, MaxDataFileBytes);
    if (read == TFileRead::Missing) throw std::runtime_error("cannot open " + fileName);
    if (read != TFileRead::Read)
        throw std::runtime_error("cannot read " + fileName + ": " + FileReadProblem(read, MaxDataFileBytes));
    return bytes;
}

void WriteDataFile(const std::string& fileName, std::string_view bytes) {
    if (!ReplaceFileContents(fileName, bytes)) throw std::runtime_error("cannot write " + fileName);
}

std::string CompressBytes(std::string_view bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string packed(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                  static_cast<uLong>(bytes.size()), Z_BEST_COMPRESSION) != Z_OK) {
        throw std::runtime_error("zlib could not compress the data");
    }
    packed.resize(size);
    return packed;
}

void CompressFile(const std::string& sourceFile, const std::string& targetFile) {
    WriteDataFile(targetFile, CompressBytes(ReadDataFile(sourceFile)));
}

int ZipResourceFiles(const std::string& ADir) {
    const std::pair<const char*, const char*> files[] = {
        {DIndexFileBase, ".xml"},  {EIndexFileBase, ".xml"},  {DrugFileBase, ".xml"},   {NeoplasmFileBase, ".xml"},
        {TabularFileBase, ".xml"}, {KeywordFileBase, ".txt"}, {PluralFileBase, ".txt"}, {ShortDescFileBase, ".txt"},
    };
    const std::string folder = ADir.empty() || ADir.back() == '/' ? ADir : ADir + "/";
    int written = 0;
    for (const auto& [base, extension] : files) {
        try {
            CompressFile(folder + base + extension, folder + base + ".dzip");
            ++written;
        } catch (const std::runtime_error&) {
            // Administrator files that cannot be read or written are passed over.
        }
    }
    return written;
}

std::set<std::string> ListedCodesOfOrderFile(std::string_view orderText) {
    std::set<std::string> codes;
    ForEachLine(orderText, [&](std::string_view line) {
        TOrderFileEntry entry;
        if (ParseOrderFileLine(line, entry) && entry.Flag == '1') codes.insert(std::move(entry.Code));
    });
    return codes;
}

namespace {

// A Tabular List text loaded by the program's own loader into a model of the caller's, apart from
// the program's shared one.
void LoadPrivateTabular(const std::string& text, TChapterList& chapters) {
    TIntroduction introduction;
    TLoadStatus status;
    std::istringstream source(text);
    if (LoadTabularFromStream(source, chapters, introduction, status) != TLoadState::Done) {
        throw std::runtime_error("the Tabular List does not load");
    }
}

// The "diag" elements that carry a "sevenChrDef", by the text of their "name".
void CollectDefinitionOwners(pugi::xml_node parent, std::unordered_map<std::string, pugi::xml_node>& owners) {
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) continue;
        if (std::string_view(child.name()) == "diag" && child.child("sevenChrDef")) {
            owners.emplace(child.child("name").text().get(), child);
        }
        CollectDefinitionOwners(child, owners);
    }
}

// Offset just past the attributes of the start tag whose name begins at nameOffset: the position
// of its ">" or "/>". Quoted attribute values are skipped whole.
std::size_t EndOfAttributes(const std::string& text, std::size_t nameOffset) {
    for (std::size_t at = nameOffset; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '>' || c == '/') return at;
        if (c == '"' || c == '\'') {
            at = text.find(c, at + 1);
            if (at == std::string::npos) break;
        }
    }
    throw std::runtime_error("unterminated start tag at offset " + std::to_string(nameOffset));
}

// The element "tag" whose name starts at nameOffset in the source, as written.
std::string RawElement(const std::string& text, std::ptrdiff_t nameOffset, std::string_view tag) {
    if (nameOffset < 1) throw std::runtime_error("no source offset for a " + std::string(tag) + " element");
    const auto start = static_cast<std::size_t>(nameOffset) - 1;  // the "<" before the name
    const std::string closing = "</" + std::string(tag) + ">";
    const std::size_t end = text.find(closing, start);
    if (end == std::string::npos) throw std::runtime_error("unterminated " + std::string(tag) + " element");
    return text.substr(start, end + closing.size() - start);
}

pugi::xml_node FindDiag(pugi::xml_node parent, std::string_view code) {
    for (pugi::xml_node diag : parent.children("diag")) {
        const std::string_view name = diag.child("name").text().get();
        if (name == code) return diag;
        if (code.starts_with(name)) {
            if (pugi::xml_node found = FindDiag(diag, code)) return found;
        }
    }
    return {};
}

// A "sevenChrDef" of the leaf's own, placed right after its "desc": the owner's extensions the
// order file lists for the leaf, copied as they are written.
std::pair<std::size_t, std::string> LeafDefinitionInsertion(
    const std::string& text, const std::unordered_map<std::string, pugi::xml_node>& owners,
    const TLeafDefinition& leaf) {
    const auto owner = owners.find(leaf.OwnerCode);
    if (owner == owners.end()) throw std::runtime_error("no seventh-character definition found for " + leaf.OwnerCode);
    const pugi::xml_node diag = FindDiag(owner->second, leaf.LeafCode);
    const pugi::xml_node desc = diag.child("desc");
    if (!desc) throw std::runtime_error("no description element found for " + leaf.LeafCode);
    const std::string descText = RawElement(text, desc.offset_debug(), "desc");
    std::vector<pugi::xml_node> extensions;
    for (pugi::xml_node extension : owner->second.child("sevenChrDef").children("extension"))
        extensions.push_back(extension);
    std::string definition = "<sevenChrDef>";
    for (const std::size_t index : leaf.CharIndexes) {
        if (index >= extensions.size()) throw std::runtime_error("a seventh character of " + leaf.OwnerCode);
        definition += RawElement(text, extensions[index].offset_debug(), "extension");
    }
    definition += "</sevenChrDef>";
    return {static_cast<std::size_t>(desc.offset_debug()) - 1 + descText.size(), definition};
}

}  // namespace

std::string AddExceptionAttributes(const std::string& tabularText, std::string_view orderText,
                                   TExceptionReport* AReport) {
    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        document.load_buffer(tabularText.data(), tabularText.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed)
        throw std::runtime_error(std::string("the Tabular List is not well-formed XML: ") + parsed.description());
    std::unordered_map<std::string, pugi::xml_node> owners;
    CollectDefinitionOwners(document, owners);
    for (const auto& [code, owner] : owners) {
        for (pugi::xml_node extension : owner.child("sevenChrDef").children("extension")) {
            if (extension.attribute("exception")) {
                throw std::runtime_error("the seventh-character definition of " + code +
                                         " already carries exception rules; start from the published file");
            }
        }
    }

    // The private model: the published text as the program's loader reads it.
    TChapterList chapters;
    LoadPrivateTabular(tabularText, chapters);
    const std::vector<TDerivedException> derived =
        DeriveTabularExceptions(chapters, ListedCodesOfOrderFile(orderText), AReport);

    std::vector<std::pair<std::size_t, std::string>> insertions;
    for (const auto& exception : derived) {
        const auto owner = owners.find(exception.OwnerCode);
        if (owner == owners.end()) {
            throw std::runtime_error("no seventh-character definition element found for " + exception.OwnerCode);
        }
        pugi::xml_node extension = owner->second.child("sevenChrDef").child("extension");
        for (std::size_t i = 0; i < exception.CharIndex && extension; ++i)
            extension = extension.next_sibling("extension");
        if (!extension || exception.Char != extension.attribute("char").value()) {
            throw std::runtime_error("the seventh character \"" + exception.Char + "\" of " + exception.OwnerCode +
                                     " is not where the model has it");
        }
        const std::ptrdiff_t nameOffset = extension.offset_debug();
        if (nameOffset < 0) throw std::runtime_error("no source offset for an extension of " + exception.OwnerCode);
        insertions.emplace_back(EndOfAttributes(tabularText, static_cast<std::size_t>(nameOffset)),
                                " exception=\"" + exception.Rules + "\"");
    }
    if (AReport != nullptr) {
        for (const TLeafDefinition& leaf : AReport->LeafDefinitions)
            insertions.push_back(LeafDefinitionInsertion(tabularText, owners, leaf));
    }
    std::sort(insertions.begin(), insertions.end());

    std::string output;
    output.reserve(tabularText.size() + insertions.size() * 24);
    std::size_t copied = 0;
    for (const auto& [offset, attribute] : insertions) {
        output.append(tabularText, copied, offset - copied);
        output += attribute;
        copied = offset;
    }
    output.append(tabularText, copied, std::string::npos);
    return output;
}

void WriteTabularWithExceptions(const std::string& tabularFile, const std::string& orderFile,
                                const std::string& outputFile) {
    const std::string tabularText = ReadDataFile(tabularFile);
    const std::string orderText = ReadDataFile(orderFile);
    WriteDataFile(outputFile, AddExceptionAttributes(tabularText, orderText));
}

namespace {

// A published file is kept gzipped in the data folder; a plain copy is accepted too.
std::string PublishedFile(const std::string& dataDir, const std::string& fileName) {
    std::string packed = dataDir + "/" + fileName + ".gz";
    if (std::filesystem::exists(packed)) return packed;
    return dataDir + "/" + fileName;
}

// The disease index is whichever edition the data folder holds; there must be exactly one.
std::string DiseaseIndexFile(const std::string& dataDir) {
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dataDir, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("icd10cm_index_", 0) == 0 && (name.ends_with(".xml") || name.ends_with(".xml.gz"))) {
            found.push_back(entry.path().string());
        }
    }
    if (error) throw std::runtime_error("cannot list " + dataDir + ": " + error.message());
    if (found.size() != 1) {
        throw std::runtime_error(dataDir + " must hold exactly one icd10cm_index_*.xml(.gz), found " +
                                 std::to_string(found.size()));
    }
    return found.front();
}

TAlphaLetterList LoadIndexText(const std::string& text, TDataSet indexType, const std::string& what) {
    std::istringstream source(text);
    TAlphaLetterList letters;
    TLoadStatus status{TLoadState::NotStarted};
    if (LoadIndexFromStream(source, indexType, letters, status) != TLoadState::Done) {
        throw std::runtime_error("the index " + what + " does not load");
    }
    return letters;
}

}  // namespace

TDerivedDataSets DeriveDataSets(const TPipelineInputs& AInputs, TExceptionReport* AReport) {
    auto diseaseIndex = std::async(std::launch::async, LoadIndexText, std::cref(AInputs.DiseaseIndexText),
                                   TDataSet::DiseaseIndex, "to diseases");
    auto externalIndex = std::async(std::launch::async, LoadIndexText, std::cref(AInputs.ExternalIndexText),
                                    TDataSet::ExternalIndex, "of external causes");
    TDerivedDataSets derived;
    TOrderFileOutputs outputs;
    StatisticsOrderFileText(AInputs.OrderText, outputs);
    derived.ShortCodes = std::move(outputs.ShortCodes);
    derived.TabularText = AddExceptionAttributes(AInputs.TabularText, AInputs.OrderText, AReport);
    TChapterList chapters;
    LoadPrivateTabular(derived.TabularText, chapters);
    const TAlphaLetterList diseaseLetters = diseaseIndex.get();
    const TAlphaLetterList externalLetters = externalIndex.get();
    TKeywordSources sources;
    sources.DiseaseIndex = &diseaseLetters;
    sources.ExternalIndex = &externalLetters;
    sources.StopWords = ParseStopWords(AInputs.StopWordsText);
    sources.Abbreviations = ParseAbbreviations(AInputs.AbbreviationsText);
    derived.CodeKeywords = GenerateCodeKeywordsText(chapters, sources);
    return derived;
}

const std::vector<std::string>& DerivedDataFileNames() {
    static const std::vector<std::string> names = {std::string(ShortDescFileBase) + ".txt",
                                                   std::string(KeywordFileBase) + ".txt"};
    return names;
}

void RegenerateDerivedFiles(const std::string& dataDir, const std::string& outputDir) {
    TPipelineInputs inputs;
    inputs.OrderText = ReadDataFile(PublishedFile(dataDir, "icd10cm_order_2021.txt"));
    inputs.TabularText = ReadDataFile(PublishedFile(dataDir, "icd10cm_tabular_2021.xml"));
    inputs.DiseaseIndexText = ReadDataFile(DiseaseIndexFile(dataDir));
    inputs.ExternalIndexText = ReadDataFile(PublishedFile(dataDir, "icd10cm_eindex_2021.xml"));
    inputs.StopWordsText = ReadDataFile(dataDir + "/" + KeywordStopWordsFileName);
    inputs.AbbreviationsText = ReadDataFile(dataDir + "/" + KeywordAbbreviationsFileName);
    const TDerivedDataSets derived = DeriveDataSets(inputs);
    WriteDataFile(outputDir + "/" + ShortDescFileBase + ".txt", derived.ShortCodes);
    WriteDataFile(outputDir + "/" + KeywordFileBase + ".txt", derived.CodeKeywords);
}
