// The few operations the page renderer needs from a read-only rich-text view. Positions and
// lengths count characters (Unicode code points) from the start of the text; a line break counts
// as one. A view whose own positions differ (UTF-16 units) maps them itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A colour as 0xRRGGBB.
using TRgbColour = std::uint32_t;

inline constexpr TRgbColour clDarkGrey = 0x404040;   // base colour of a page
inline constexpr TRgbColour clBlackText = 0x000000;  // code lines, headings, inclusion terms
inline constexpr TRgbColour clHeaderCodeRed = 0xFF0000;
inline constexpr TRgbColour clSevenCharBlue = 0x0000FF;
inline constexpr TRgbColour clFinalCodeGreen = 0x008000;
inline constexpr TRgbColour clTypeWordPurple = 0x800080;
inline constexpr TRgbColour clKeywordFuchsia = 0xFF00FF;

class TTextView {
public:
    virtual ~TTextView() = default;

    // Suspend / resume repainting around a whole render.
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    // Replaces the whole text (lines separated by LF).
    virtual void SetText(const std::u32string& AText) = 0;
    // Sets the text colour of a range; later calls overwrite earlier ones.
    virtual void SetColour(int AStart, int ALength, TRgbColour AColour) = 0;
    // Adds underline to a range, keeping its colour.
    virtual void AddUnderline(int AStart, int ALength) = 0;
    // Places the selection (length 0: just the caret).
    virtual void SetSelection(int AStart, int ALength) = 0;
};

// A view that records every call, for tests and the command-line front. It also keeps the
// resulting per-character colour and underline state so a test can ask "what colour is this".
class TRecordingTextView : public TTextView {
public:
    struct TCall {
        enum TKind { kBegin, kEnd, kText, kColour, kUnderline, kSelection } Kind = kBegin;
        int Start = 0;
        int Length = 0;
        TRgbColour Colour = 0;
    };

    void BeginUpdate() override;
    void EndUpdate() override;
    void SetText(const std::u32string& AText) override;
    void SetColour(int AStart, int ALength, TRgbColour AColour) override;
    void AddUnderline(int AStart, int ALength) override;
    void SetSelection(int AStart, int ALength) override;

    std::u32string FText;
    std::vector<TCall> FCalls;
    std::vector<TRgbColour> FColours;  // one per character of FText
    std::vector<bool> FUnderlined;     // one per character of FText
    int FUpdateDepth = 0;              // BeginUpdate minus EndUpdate
    int FSelectionStart = -1;
    int FSelectionLength = -1;
};
