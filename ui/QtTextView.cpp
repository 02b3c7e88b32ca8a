#include "ui/QtTextView.h"

#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

TQtTextView::TQtTextView(QTextEdit* AEdit) : FEdit(AEdit) {
    FOffsets.push_back(0);
}

void TQtTextView::BeginUpdate() {
    if (FUpdateDepth++ == 0) FEdit->setUpdatesEnabled(false);
}

void TQtTextView::EndUpdate() {
    if (FUpdateDepth > 0 && --FUpdateDepth == 0) FEdit->setUpdatesEnabled(true);
}

void TQtTextView::SetText(const std::u32string& AText) {
    FOffsets.clear();
    FOffsets.reserve(AText.size() + 1);
    int offset = 0;
    for (char32_t c : AText) {
        FOffsets.push_back(offset);
        offset += c > 0xFFFF ? 2 : 1;
    }
    FOffsets.push_back(offset);
    // Every line of a page ends in a line break; the last one would open an empty block under the
    // last line, which lets Ctrl+End or a drag scroll the page away from its first line.
    std::size_t length = AText.size();
    if (length > 0 && AText[length - 1] == U'\n') --length;
    FDocumentEnd = FOffsets[length];
    FEdit->setPlainText(QString::fromUcs4(AText.data(), static_cast<qsizetype>(length)));
    // The new text takes over the character format at the old caret (an underlined code at the
    // top of the last page would underline the whole new page): start every page from the view's
    // plain default format, on which the colouring then works range by range.
    QTextCursor all(FEdit->document());
    all.select(QTextCursor::Document);
    all.setCharFormat(QTextCharFormat());
    FEdit->setCurrentCharFormat(QTextCharFormat());
    if (FLineHeight > 0) {
        QTextBlockFormat format;
        format.setLineHeight(FLineHeight, QTextBlockFormat::FixedHeight);
        all.mergeBlockFormat(format);
    }
}

void TQtTextView::SetLineHeight(int APixels) {
    FLineHeight = APixels;
}

int TQtTextView::QtPosition(int ACodePointPosition) const {
    if (ACodePointPosition <= 0) return 0;
    if (ACodePointPosition >= static_cast<int>(FOffsets.size())) return FDocumentEnd;
    return std::min(FOffsets[static_cast<std::size_t>(ACodePointPosition)], FDocumentEnd);
}

static QTextCursor RangeCursor(QTextEdit* edit, int start, int end) {
    QTextCursor cursor(edit->document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    return cursor;
}

void TQtTextView::SetColour(int AStart, int ALength, TRgbColour AColour) {
    if (ALength <= 0) return;
    QTextCharFormat format;
    format.setForeground(QColor(static_cast<int>((AColour >> 16) & 0xFF), static_cast<int>((AColour >> 8) & 0xFF),
                                static_cast<int>(AColour & 0xFF)));
    RangeCursor(FEdit, QtPosition(AStart), QtPosition(AStart + ALength)).mergeCharFormat(format);
}

void TQtTextView::AddUnderline(int AStart, int ALength) {
    if (ALength <= 0) return;
    QTextCharFormat format;
    format.setFontUnderline(true);
    RangeCursor(FEdit, QtPosition(AStart), QtPosition(AStart + ALength)).mergeCharFormat(format);
}

void TQtTextView::SetSelection(int AStart, int ALength) {
    FEdit->setTextCursor(RangeCursor(FEdit, QtPosition(AStart), QtPosition(AStart + ALength)));
}

void TQtTextView::Clear() {
    FOffsets.assign(1, 0);
    FDocumentEnd = 0;
    FEdit->clear();
    FEdit->setCurrentCharFormat(QTextCharFormat());
}
