#include "QtTextView.h"

#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>

TQtTextView::TQtTextView(QTextEdit* AEdit) : FEdit(AEdit) { FOffsets.push_back(0); }

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
    // Plain text keeps the view's default format (font, grey colour); colouring then works on ranges.
    FEdit->setPlainText(QString::fromUcs4(AText.data(), static_cast<qsizetype>(AText.size())));
    if (FLineHeight > 0) {
        QTextCursor all(FEdit->document());
        all.select(QTextCursor::Document);
        QTextBlockFormat format;
        format.setLineHeight(FLineHeight, QTextBlockFormat::FixedHeight);
        all.mergeBlockFormat(format);
    }
}

void TQtTextView::SetLineHeight(int APixels) { FLineHeight = APixels; }

int TQtTextView::QtPosition(int ACodePointPosition) const {
    if (ACodePointPosition <= 0) return 0;
    if (ACodePointPosition >= static_cast<int>(FOffsets.size())) return FOffsets.back();
    return FOffsets[static_cast<std::size_t>(ACodePointPosition)];
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
    FEdit->clear();
}
