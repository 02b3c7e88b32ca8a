#include "render/TextView.h"

#include <algorithm>

namespace {

// Clips a range to a text of ATextLength characters; returns false when nothing is left.
bool ClipRange(int ATextLength, int& AStart, int& AEnd) {
    AStart = std::max(AStart, 0);
    AEnd = std::min(AEnd, ATextLength);
    return AStart < AEnd;
}

}  // namespace

void TRecordingTextView::BeginUpdate() {
    ++FUpdateDepth;
    FCalls.push_back({TCall::kBegin});
}

void TRecordingTextView::EndUpdate() {
    --FUpdateDepth;
    FCalls.push_back({TCall::kEnd});
}

void TRecordingTextView::SetText(const std::u32string& AText) {
    FText = AText;
    FColours.assign(AText.size(), clBlackText);
    FUnderlined.assign(AText.size(), false);
    FCalls.push_back({TCall::kText, 0, static_cast<int>(AText.size())});
}

void TRecordingTextView::SetColour(int AStart, int ALength, TRgbColour AColour) {
    FCalls.push_back({TCall::kColour, AStart, ALength, AColour});
    int start = AStart;
    int end = AStart + ALength;
    if (!ClipRange(static_cast<int>(FText.size()), start, end)) return;
    std::fill(FColours.begin() + start, FColours.begin() + end, AColour);
}

void TRecordingTextView::AddUnderline(int AStart, int ALength) {
    FCalls.push_back({TCall::kUnderline, AStart, ALength});
    int start = AStart;
    int end = AStart + ALength;
    if (!ClipRange(static_cast<int>(FText.size()), start, end)) return;
    std::fill(FUnderlined.begin() + start, FUnderlined.begin() + end, true);
}

void TRecordingTextView::SetSelection(int AStart, int ALength) {
    FCalls.push_back({TCall::kSelection, AStart, ALength});
    FSelectionStart = AStart;
    FSelectionLength = ALength;
}
