#include "model/TabularLoader.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <pugixml.hpp>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "services/CsvReader.h"
#include "services/Messages.h"
#include "services/Resources.h"

namespace {

constexpr const char* FailMessage = "Load Tabular File Fail1!";

// The code tree has five levels; anything nested far deeper is damaged data, and refusing it keeps
// the recursive walk (and the model's recursive destruction) off the end of the stack.
constexpr int MaxCodeLevel = 32;

// Raised by the walk when it reaches the point where a damaged document stopped parsing.
class TDocumentDamaged : public std::runtime_error {
public:
    TDocumentDamaged() : std::runtime_error("damaged Tabular List document") {}
};

bool IsText(const pugi::xml_node& node) {
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// The name a DOM would give the node in a report: the element name, or "#text" and friends.
std::string NodeName(const pugi::xml_node& node) {
    switch (node.type()) {
        case pugi::node_pcdata:
            return "#text";
        case pugi::node_cdata:
            return "#cdata-section";
        case pugi::node_comment:
            return "#comment";
        default:
            return node.name();
    }
}

bool NameIs(const pugi::xml_node& node, const char* name) {
    return std::strcmp(node.name(), name) == 0;
}

// All text below a node (its own value for a text node), comments excluded.
std::string NodeText(const pugi::xml_node& node) {
    if (IsText(node)) return node.value();
    pugi::xml_node current = node.first_child();
    // Nearly every element holds exactly one text child: take it without the walk.
    if (current && !current.next_sibling() && IsText(current)) return current.value();
    std::string text;
    while (current) {
        if (IsText(current)) text += current.value();
        if (current.first_child()) {
            current = current.first_child();
            continue;
        }
        while (current != node && !current.next_sibling()) current = current.parent();
        if (current == node) break;
        current = current.next_sibling();
    }
    return text;
}

// Integer conversion as the data promises it: optional leading blanks, an optional sign, digits and
// nothing else. Anything else is a conversion error that fails the load.
int ToInteger(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || last != end) {
        std::string message(text);
        message += " is not a valid integer value";
        throw std::runtime_error(message);
    }
    return value;
}

// Which note lists a parent element may hold.
enum class TNoteParent { Chapter, Section, Code };

// A new, empty note list for a note element name allowed under the given parent, or null.
std::unique_ptr<TNoteBase> NewNoteList(const pugi::xml_node& element, TNoteParent parent) {
    const char* name = element.name();
    const auto is = [name](const char* candidate) { return std::strcmp(name, candidate) == 0; };
    if (is("notes")) return std::make_unique<TNotes>();
    if (is("includes")) return std::make_unique<TIncludes>();
    if (is("useAdditionalCode")) return std::make_unique<TUseAdditionalCode>();
    if (is("excludes1")) return std::make_unique<TExcludes1>();
    if (is("excludes2")) return std::make_unique<TExcludes2>();
    if (parent == TNoteParent::Chapter) return nullptr;
    if (is("inclusionTerm")) return std::make_unique<TInclusionTerm>();
    if (is("codeFirst")) return std::make_unique<TCodeFirst>();
    if (is("codeAlso")) return std::make_unique<TCodeAlso>();
    if (parent == TNoteParent::Section) return nullptr;
    if (is("sevenChrNote")) return std::make_unique<TSevenCharNote>();
    return nullptr;
}

// Appends the texts of the element's "note" children.
void ReadNotes(const pugi::xml_node& element, TStringList& notes) {
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && NameIs(child, "note")) notes.push_back(NodeText(child));
    }
}

// The first child element, skipping text and comments.
pugi::xml_node FirstChildElement(const pugi::xml_node& node) {
    pugi::xml_node child = node.first_child();
    while (child && child.type() != pugi::node_element) child = child.next_sibling();
    return child;
}

pugi::xml_node NextSiblingElement(const pugi::xml_node& node) {
    pugi::xml_node sibling = node.next_sibling();
    while (sibling && sibling.type() != pugi::node_element) sibling = sibling.next_sibling();
    return sibling;
}

class TTabularReader {
public:
    TTabularReader(TLoadStatus& status, std::vector<pugi::xml_node> openPath)
        : FStatus(status), FOpenPath(std::move(openPath)) {}

    void ReadDocument(const pugi::xml_node& root, TChapterList& chapters, TIntroduction& introduction) {
        for (pugi::xml_node child = root.first_child(); child; child = child.next_sibling()) {
            if (!Running()) return;
            if (child.type() == pugi::node_element && NameIs(child, "chapter")) {
                // The chapter joins the list before its content, so a stopped or failed load keeps
                // it; in a damaged document its content is read up to the damage.
                chapters.push_back(std::make_unique<TChapter>());
                ReadChapter(child, *chapters.back());
                continue;
            }
            CheckReadable(child);
            if (child.type() == pugi::node_element && NameIs(child, "introduction")) {
                ReadIntroduction(child, introduction);
            }
        }
    }

private:
    bool Running() const { return FStatus.load() == TLoadState::Loading; }

    // In a document that failed to parse, the elements still open at the damage (the last child
    // at each depth) are incomplete: reaching one is where a reader of the text would have failed.
    void CheckReadable(const pugi::xml_node& node) const {
        if (FOpenPath.empty()) return;
        for (const auto& open : FOpenPath) {
            if (open == node) throw TDocumentDamaged();
        }
    }

    void ReadIntroduction(const pugi::xml_node& element, TIntroduction& introduction) {
        for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
            if (!Running()) return;
            CheckReadable(child);
            if (child.type() != pugi::node_element || !NameIs(child, "introSection")) continue;
            const std::string_view type = child.attribute("type").value();
            if (type == "title" || type == "subtitle") {
                pugi::xml_node first = child.first_child();
                while (first && first.type() == pugi::node_comment) first = first.next_sibling();
                if (first) (type == "title" ? introduction.FTitle : introduction.FSubTitle) = NodeText(first);
            } else if (type == "instruction") {
                auto instruction = std::make_unique<TInstruction>();
                for (pugi::xml_node part = child.first_child(); part; part = part.next_sibling()) {
                    if (part.type() != pugi::node_element) continue;
                    if (NameIs(part, "title")) {
                        instruction->FTypeWord = NodeText(part);
                    } else if (NameIs(part, "instruction")) {
                        ReadNotes(part, instruction->FNoteList);
                    }
                }
                introduction.FInstructionList.push_back(std::move(instruction));
            }
        }
    }

    void ReadChapter(const pugi::xml_node& element, TChapter& chapter) {
        for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
            if (!Running()) return;
            CheckReadable(child);
            if (child.type() == pugi::node_element) {
                if (NameIs(child, "section")) {
                    chapter.FSubList.push_back(ReadSection(child, chapter));
                    continue;
                }
                if (NameIs(child, "desc")) {
                    chapter.SetInfoByString(NodeText(child));
                    continue;
                }
                if (NameIs(child, "name") || NameIs(child, "sectionIndex")) continue;
                if (auto notes = NewNoteList(child, TNoteParent::Chapter)) {
                    ReadNotes(child, notes->FNoteList);
                    chapter.FInfo.FItemList.push_back(std::move(notes));
                    continue;
                }
            }
            ShowMessage("Undealed chapter node: " + NodeName(child));
        }
    }

    std::unique_ptr<TSubChapter> ReadSection(const pugi::xml_node& element, TChapter& chapter) {
        auto section = std::make_unique<TSubChapter>(&chapter);
        for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
            if (!Running()) break;
            CheckReadable(child);
            if (child.type() == pugi::node_element) {
                if (NameIs(child, "diag")) {
                    section->FCodeList.push_back(ReadCodeNode(child, section.get(), nullptr, 0));
                    continue;
                }
                if (NameIs(child, "desc")) {
                    section->SetInfoByString(NodeText(child));
                    continue;
                }
                if (auto notes = NewNoteList(child, TNoteParent::Section)) {
                    ReadNotes(child, notes->FNoteList);
                    section->FInfo.FItemList.push_back(std::move(notes));
                    continue;
                }
            }
            ShowMessage("Undealed subchapter node: " + NodeName(child));
        }
        return section;
    }

    std::unique_ptr<TCodeInfo> ReadCodeNode(const pugi::xml_node& element, TSubChapter* ASubChapter, TCodeInfo* AParent,
                                            int ALevel) {
        if (ALevel > MaxCodeLevel) throw std::runtime_error("code nodes nested too deeply");
        auto node = std::make_unique<TCodeInfo>(ASubChapter, AParent, ALevel);
        if (const pugi::xml_attribute placeholder = element.attribute("placeholder")) {
            node->FPlaceHolder = AsciiLowerEquals(placeholder.value(), "true");
        }
        for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
            if (!Running()) break;
            CheckReadable(child);
            if (child.type() == pugi::node_element) {
                if (NameIs(child, "name")) {
                    node->FCode = NodeText(child);
                    continue;
                }
                if (NameIs(child, "desc")) {
                    node->FDesc = NodeText(child);
                    continue;
                }
                if (NameIs(child, "diag")) {
                    node->FSubCodeList.push_back(ReadCodeNode(child, ASubChapter, node.get(), ALevel + 1));
                    continue;
                }
                if (NameIs(child, "sevenChrDef")) {
                    node->FItemList.push_back(ReadSevenCharDef(child));
                    continue;
                }
                if (NameIs(child, "visualImpairment")) {
                    node->FItemList.push_back(ReadVisualImpairment(child));
                    continue;
                }
                if (auto notes = NewNoteList(child, TNoteParent::Code)) {
                    ReadNotes(child, notes->FNoteList);
                    node->FItemList.push_back(std::move(notes));
                    continue;
                }
            }
            ShowMessage("Undealed code node: " + NodeName(child));
        }
        return node;
    }

    static bool AsciiLowerEquals(std::string_view text, std::string_view lower) {
        if (text.size() != lower.size()) return false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            char c = text[i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != lower[i]) return false;
        }
        return true;
    }

    static std::unique_ptr<TSevenCharDef> ReadSevenCharDef(const pugi::xml_node& element) {
        auto definition = std::make_unique<TSevenCharDef>();
        for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element || !NameIs(child, "extension")) continue;
            auto character = std::make_unique<TCharDef>();
            character->FChar = child.attribute("char").value();
            character->FDesc = NodeText(child);
            if (const pugi::xml_attribute exception = child.attribute("exception")) {
                character->SetException(exception.value());
            }
            definition->FDefList.push_back(std::move(character));
        }
        return definition;
    }

    static std::unique_ptr<TVisualImpairment> ReadVisualImpairment(const pugi::xml_node& element) {
        auto table = std::make_unique<TVisualImpairment>();
        for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element || !NameIs(child, "visCategory")) continue;
            if (auto category = ReadVisCategory(child)) table->FVisCategoryList.push_back(std::move(category));
        }
        return table;
    }

    // A numbered category row; null for the heading row (its first child is "heading").
    static std::unique_ptr<TVisCategory> ReadVisCategory(const pugi::xml_node& element) {
        const pugi::xml_node first = FirstChildElement(element);
        if (!first || !NameIs(first, "value")) return nullptr;
        auto category = std::make_unique<TVisCategory>();
        category->FValue = ToInteger(NodeText(first));
        std::size_t slot = 0;
        // The model has three range slots; further ranges are dropped.
        for (pugi::xml_node sibling = NextSiblingElement(first);
             sibling && NameIs(sibling, "visRange") && slot < category->VisRanges.size();
             sibling = NextSiblingElement(sibling)) {
            auto range = std::make_unique<TVisRange>();
            for (pugi::xml_node part = sibling.first_child(); part; part = part.next_sibling()) {
                if (part.type() != pugi::node_element) continue;
                // The value sits in the first child element; without one the value stays empty.
                if (NameIs(part, "visMax")) {
                    if (const pugi::xml_node value = FirstChildElement(part)) range->FVisMax = NodeText(value);
                } else if (NameIs(part, "visMin")) {
                    if (const pugi::xml_node value = FirstChildElement(part)) range->FVisMin = NodeText(value);
                }
            }
            category->VisRanges[slot++] = std::move(range);
        }
        return category;
    }

    TLoadStatus& FStatus;
    std::vector<pugi::xml_node> FOpenPath;
};

struct TFreeDeleter {
    void operator()(char* data) const { std::free(data); }
};

// The whole stream in one malloc'd block. Growing it with realloc lets large blocks be remapped
// instead of copied, and nothing is zero-filled; the document is parsed in place from it.
struct TTextBlock {
    std::unique_ptr<char, TFreeDeleter> data;
    std::size_t size = 0;
};

TTextBlock ReadAll(std::istream& source) {
    TTextBlock block;
    std::streambuf* buffer = source.rdbuf();
    if (!buffer) return block;
    constexpr std::size_t chunk = 256 * 1024;
    std::size_t capacity = 0;
    for (;;) {
        if (capacity < block.size + chunk) {
            const std::size_t grown = std::max(capacity * 2, block.size + chunk);
            void* moved = std::realloc(block.data.get(), grown);
            if (!moved) throw std::bad_alloc();
            (void)block.data.release();
            block.data.reset(static_cast<char*>(moved));
            capacity = grown;
        }
        const std::streamsize got = buffer->sgetn(block.data.get() + block.size, static_cast<std::streamsize>(chunk));
        if (got <= 0) break;
        block.size += static_cast<std::size_t>(got);
    }
    return block;
}

// The last child at each depth: the elements a failed parse left open.
std::vector<pugi::xml_node> OpenPath(const pugi::xml_document& document) {
    std::vector<pugi::xml_node> path;
    for (pugi::xml_node node = document.last_child(); node; node = node.last_child()) path.push_back(node);
    return path;
}

// Ends a failed load: -1 unless a cancel got there first; the user sees the failure only then.
void Fail(TLoadStatus& status) {
    TLoadState expected = TLoadState::Loading;
    if (status.compare_exchange_strong(expected, TLoadState::Failed)) {
        try {
            ShowMessage(FailMessage);
        } catch (...) {
            // Nothing may leave the loader; the status already tells the failure.
        }
    }
}

}  // namespace

namespace {

// An "exception" attribute lists rules "position:character" separated by ";" or blanks.
constexpr TFieldRules ExceptionRuleList{';', true};
constexpr TFieldRules ExceptionRuleParts{':', true};

}  // namespace

void TCharDef::SetException(const std::string& AExceptionDesc) {
    for (const std::string& item : SplitFields(AExceptionDesc, ExceptionRuleList)) {
        if (item.size() <= 2) continue;
        const std::vector<std::string> parts = SplitFields(item, ExceptionRuleParts);
        if (parts.size() != 2) continue;
        const int position = ToInteger(parts[0]);
        std::string_view value = parts[1];
        while (!value.empty() && static_cast<unsigned char>(value.front()) <= ' ') value.remove_prefix(1);
        while (!value.empty() && static_cast<unsigned char>(value.back()) <= ' ') value.remove_suffix(1);
        // Only code positions 4 to 6 can hold a rule's character; a code character is one ASCII byte.
        if (position > 3 && position < 7 && value.size() == 1) {
            auto rule = std::make_unique<TCharDefExcption>();
            rule->FCodePos = position;
            rule->FCodeVal = value.front();
            FDefExceptionList.push_back(std::move(rule));
        }
    }
}

TLoadState LoadTabularFromStream(std::istream& source, TChapterList& chapters, TIntroduction& introduction,
                                 TLoadStatus& status) {
    // The start-up normally sets 1 before the thread runs; a cancel (-2) or an earlier end stays.
    TLoadState expected = TLoadState::NotStarted;
    status.compare_exchange_strong(expected, TLoadState::Loading);
    if (status.load() != TLoadState::Loading) return status.load();

    try {
        chapters.clear();
        introduction = TIntroduction();

        // Declared before the document, which points into it, so it is freed after the document.
        const TTextBlock text = ReadAll(source);
        bool damaged = source.bad();
        if (const auto* inflater = dynamic_cast<const TInflateStreamBuf*>(source.rdbuf())) {
            damaged = damaged || inflater->Failed();
        }
        pugi::xml_document document;
        const pugi::xml_parse_result parsed = document.load_buffer_inplace(
            text.data.get(), text.size, pugi::parse_default | pugi::parse_comments, pugi::encoding_auto);
        damaged = damaged || !parsed;

        const pugi::xml_node root = document.document_element();
        if (!root || !NameIs(root, "ICD10CM.tabular")) {
            Fail(status);
            return status.load();
        }
        // A damaged document is read up to the damage, as a reader of the text would have read it.
        TTabularReader reader(status, parsed ? std::vector<pugi::xml_node>() : OpenPath(document));
        reader.ReadDocument(root, chapters, introduction);
        if (damaged) Fail(status);
    } catch (...) {
        Fail(status);
    }
    expected = TLoadState::Loading;
    status.compare_exchange_strong(expected, TLoadState::Done);
    return status.load();
}

TLoadState LoadTabularFromStream(std::istream& source, TTabularData& tabular, TLoadStatus& status) {
    tabular.LoadCount.fetch_add(1);
    return LoadTabularFromStream(source, tabular.Chapters, tabular.Introduction, status);
}

void LoadTabularFile(TTabularData& ATabular, TLoadStatus& AStatus) {
    try {
        std::unique_ptr<TResourceStream> stream = TakeResourceStream("Tabular");
        if (!stream) {
            for (TLoadState expected : {TLoadState::NotStarted, TLoadState::Loading}) {
                if (AStatus.compare_exchange_strong(expected, TLoadState::Failed)) {
                    ShowMessage(FailMessage);
                    break;
                }
            }
            return;
        }
        LoadTabularFromStream(*stream, ATabular, AStatus);
    } catch (...) {
        // The loader thread must not end with an exception; the status already says what happened.
    }
}
