#include "index/IndexLoader.h"

#include <charconv>
#include <exception>
#include <stdexcept>
#include <string_view>

#include "services/LoadStatus.h"
#include "services/Messages.h"
#include "services/Resources.h"
#include "services/TextUtil.h"

namespace {

constexpr const char* LoadFailMessage = "Load Alpha Search File Fail1!";

// The published files nest terms at most nine levels deep. Far deeper nesting is damaged data;
// refusing it keeps the recursive readers (and the recursive destruction of the term tree) off
// the end of the stack.
constexpr int32_t MaxNesting = 32;

void CheckNesting(int32_t depth) {
    if (depth > MaxNesting) throw std::runtime_error("elements nested too deeply");
}

bool StillLoading(const TLoadStatus& status) {
    return status.load() == TLoadState::Loading;
}

// Concatenated text of an element and its descendants, as the document holds it.
std::string ElementText(pugi::xml_node node, int32_t depth = 0) {
    CheckNesting(depth);
    std::string text;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        switch (child.type()) {
            case pugi::node_pcdata:
            case pugi::node_cdata:
                text += child.value();
                break;
            case pugi::node_element:
                text += ElementText(child, depth + 1);
                break;
            default:
                break;
        }
    }
    return text;
}

// Name of a node as a reader reports it: element names as they are, text nodes as "#text".
std::string NodeName(pugi::xml_node node) {
    switch (node.type()) {
        case pugi::node_pcdata:
            return "#text";
        case pugi::node_cdata:
            return "#cdata-section";
        default:
            return node.name();
    }
}

void ReportUnhandled(pugi::xml_node node) {
    const std::string name = NodeName(node);
    ShowMessage("Unhandled node type: " + name);
}

// The attribute, blanks around it aside, must be a decimal number (an optional sign, then digits).
int ParseColumn(pugi::xml_node cell) {
    const std::string trimmed = TrimBlanks(cell.attribute("col").value());
    const std::string_view text = trimmed;
    int column = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, column);
    if (text.empty() || error != std::errc() || end != last) {
        throw std::runtime_error("cell column is not a number: \"" + std::string(text) + "\"");
    }
    return column;
}

enum class TFileKind { Index, Table };

std::unique_ptr<TTerm> ReadTerm(pugi::xml_node node, TIndexNode* parent, int32_t level, const TLoadStatus& status,
                                TFileKind kind) {
    CheckNesting(level);
    auto term = std::make_unique<TTerm>(parent, level);
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (!StillLoading(status)) break;
        const std::string_view name = child.type() == pugi::node_element ? child.name() : std::string_view();
        if (name == "title") {
            term->FTitle = ComposeTitle(child);
        } else if (name == "see") {
            term->FSee = ElementText(child);
        } else if (name == "seeAlso") {
            term->FSeeAlso = ElementText(child);
        } else if (name == "manif") {
            term->FManifest = ElementText(child);
        } else if (name == "term") {
            term->FSubTermList.push_back(ReadTerm(child, term.get(), level + 1, status, kind));
        } else if (kind == TFileKind::Index && name == "code") {
            term->FCode = ElementText(child);
        } else if (kind == TFileKind::Index && name == "seecat") {
            term->FSeeCat = ElementText(child);
        } else if (kind == TFileKind::Index && name == "subcat") {
            term->FSubCat = ElementText(child);
        } else if (kind == TFileKind::Table && name == "cell") {
            const int column = ParseColumn(child);
            // The files hold only columns 2 to 7; any other cell is dropped.
            if (column >= TTerm::FirstCellColumn && column <= TTerm::LastCellColumn) {
                term->FCodesInCell[static_cast<std::size_t>(column - TTerm::FirstCellColumn)] = ElementText(child);
            }
        } else {
            ReportUnhandled(child);
        }
    }
    return term;
}

// Moves the status 1 -> to, leaving any other value (a cancel's -2) in place.
void LeaveLoading(TLoadStatus& status, TLoadState to) {
    TLoadState expected = TLoadState::Loading;
    status.compare_exchange_strong(expected, to);
}

// Fails the load: the message only when this loader still owned the status (a cancelled load
// stays -2 and says nothing, the program is closing).
void FailLoad(TLoadStatus& status) {
    TLoadState expected = TLoadState::Loading;
    if (status.compare_exchange_strong(expected, TLoadState::Failed)) ShowMessage(LoadFailMessage);
}

}  // namespace

const char* IndexResourceName(TDataSet ASet) {
    switch (ASet) {
        case TDataSet::DiseaseIndex:
            return "DIndex";
        case TDataSet::ExternalIndex:
            return "EIndex";
        case TDataSet::DrugTable:
            return "TableOfDrugs";
        case TDataSet::NeoplasmTable:
            return "TableOfNeoplasms";
        default:
            return nullptr;
    }
}

std::string ComposeTitle(pugi::xml_node ATitle) {
    std::string title;
    for (pugi::xml_node child = ATitle.first_child(); child; child = child.next_sibling()) {
        switch (child.type()) {
            case pugi::node_pcdata:
            case pugi::node_cdata:
                title += child.value();
                break;
            case pugi::node_element:
                if (std::string_view(child.name()) == "nemod") {
                    title += ' ';
                    title += ElementText(child);
                    title += ' ';
                }
                break;
            default:
                break;
        }
    }
    return title;
}

std::unique_ptr<TTerm> ReadIndexTerm(pugi::xml_node ANode, TIndexNode* AParent, int32_t ALevel,
                                     const TLoadStatus& AStatus) {
    return ReadTerm(ANode, AParent, ALevel, AStatus, TFileKind::Index);
}

std::unique_ptr<TTerm> ReadTableTerm(pugi::xml_node ANode, TIndexNode* AParent, int32_t ALevel,
                                     const TLoadStatus& AStatus) {
    return ReadTerm(ANode, AParent, ALevel, AStatus, TFileKind::Table);
}

TLoadState LoadIndexFromStream(std::istream& source, TDataSet ASet, TAlphaLetterList& ALetters, TLoadStatus& AStatus,
                               std::string* AVersion) {
    try {
        // Start-up normally set 1 already; a status that is neither 0 nor 1 (a cancel) is kept,
        // and then the container is not touched: it is no longer this loader's to write.
        TLoadState expected = TLoadState::NotStarted;
        AStatus.compare_exchange_strong(expected, TLoadState::Loading);
        if (!StillLoading(AStatus)) return AStatus.load();
        ALetters.clear();
        if (AVersion != nullptr) AVersion->clear();
        if (IndexResourceName(ASet) == nullptr) throw std::invalid_argument("not an alphabetic data set");
        const bool table = IsTableDataSet(ASet);

        pugi::xml_document document;
        const pugi::xml_parse_result parsed = document.load(source, pugi::parse_default, pugi::encoding_auto);
        if (auto* resource = dynamic_cast<TResourceStream*>(&source); resource && resource->Buffer().Failed()) {
            throw std::runtime_error("damaged resource: " + resource->Buffer().Error());
        }
        if (!parsed) throw std::runtime_error(std::string("XML: ") + parsed.description());
        const pugi::xml_node root = document.document_element();

        for (pugi::xml_node child = root.first_child(); child; child = child.next_sibling()) {
            if (!StillLoading(AStatus)) break;
            const std::string_view name = child.type() == pugi::node_element ? child.name() : std::string_view();
            if (name == "version" && AVersion != nullptr) *AVersion = ElementText(child);
            if (name != "letter") continue;

            ALetters.push_back(std::make_unique<TAlphaLetter>());
            TAlphaLetter* letter = ALetters.back().get();
            for (pugi::xml_node part = child.first_child(); part; part = part.next_sibling()) {
                if (!StillLoading(AStatus)) break;
                const std::string_view partName = part.type() == pugi::node_element ? part.name() : std::string_view();
                if (partName == "title") {
                    letter->FLetter = ElementText(part);
                } else if (partName == "mainTerm") {
                    letter->FMainTermList.push_back(table ? ReadTableTerm(part, letter, 0, AStatus)
                                                          : ReadIndexTerm(part, letter, 0, AStatus));
                }
            }
        }
        LeaveLoading(AStatus, TLoadState::Done);
    } catch (...) {
        // Whatever went wrong (damaged data, a bad column number, memory) the letters read so far stay.
        try {
            FailLoad(AStatus);
        } catch (...) {
            // The message could not be shown; the status already says what happened.
        }
    }
    return AStatus.load();
}

void LoadIndexFile(TIndexData& AData, TDataSet ASet, TLoadStatus& AStatus) {
    const char* resourceName = IndexResourceName(ASet);
    if (resourceName == nullptr) return;
    TLoadStatus* status = &AStatus;
    TAlphaLetterList* letters = &AData.LettersOf(ASet);
    try {
        std::unique_ptr<TResourceStream> stream = TakeResourceStream(resourceName);
        if (!stream) {
            // Not opened, or already taken by an earlier load in this run.
            TLoadState expected = TLoadState::NotStarted;
            status->compare_exchange_strong(expected, TLoadState::Loading);
            if (StillLoading(*status)) letters->clear();
            FailLoad(*status);
            return;
        }
        LoadIndexFromStream(*stream, ASet, *letters, *status,
                            ASet == TDataSet::DiseaseIndex ? &AData.DiseaseIndexEdition : nullptr);
    } catch (...) {
        try {
            FailLoad(*status);
        } catch (...) {
        }
    }
}
