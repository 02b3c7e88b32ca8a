// The code text view of the Tabular Search window as the render library sees it: a read-only
// QTextEdit that receives one page at a time. Positions from the renderer count Unicode code
// points; the view maps them to Qt's UTF-16 positions.
#pragma once

#include <QTextEdit>
#include <vector>

#include "render/TextView.h"

class TQtTextView : public TTextView {
public:
    explicit TQtTextView(QTextEdit* AEdit);

    void BeginUpdate() override;
    void EndUpdate() override;
    void SetText(const std::u32string& AText) override;
    void SetColour(int AStart, int ALength, TRgbColour AColour) override;
    void AddUnderline(int AStart, int ALength) override;
    void SetSelection(int AStart, int ALength) override;

    // Empties the view.
    void Clear();
    // Pixel distance between the baselines of two lines (0: the font's own), so that exactly the
    // page's lines fill the view the page was measured for.
    void SetLineHeight(int APixels);
    // UTF-16 position of a code-point position of the current text, at most the document's end.
    int QtPosition(int ACodePointPosition) const;

private:
    QTextEdit* FEdit;
    std::vector<int> FOffsets;  // UTF-16 offset of each code point, plus one past the end
    int FDocumentEnd = 0;       // last UTF-16 position of the document (the text less its final line break)
    int FUpdateDepth = 0;
    int FLineHeight = 0;
};
