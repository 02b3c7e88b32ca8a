#include "ui/UiStyle.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QPushButton>
#include <QStringList>
#include <QWidget>
#include <algorithm>

#include "services/DataSets.h"
#include "userdata/Config.h"

namespace {

QStringList FamiliesFor(const QString& family) {
    QStringList families{family};
    if (family == QStringLiteral("Tahoma"))
        families << QStringLiteral("Liberation Sans") << QStringLiteral("DejaVu Sans");
    else if (family == QStringLiteral("Courier New"))
        families << QStringLiteral("Liberation Mono") << QStringLiteral("DejaVu Sans Mono");
    else if (family == QStringLiteral("SimSun") || family == QString::fromUtf8("宋体"))
        families << QStringLiteral("SimSun") << QStringLiteral("Liberation Sans") << QStringLiteral("DejaVu Sans");
    return families;
}

}  // namespace

QFont DesignFont(const QString& family, int pixelSize, bool bold, bool italic) {
    QFont font;
    const QStringList wanted = FamiliesFor(family);
    // Pick the first family present so QFontInfo reports it; keep the whole list for glyph fallback.
    QString chosen = wanted.front();
    const QStringList installed = QFontDatabase::families();
    for (const QString& candidate : wanted) {
        if (installed.contains(candidate, Qt::CaseInsensitive)) {
            chosen = candidate;
            break;
        }
    }
    font.setFamily(chosen);
    font.setFamilies(QStringList{chosen} + wanted);
    if (wanted.front().contains(QStringLiteral("Courier")) || chosen.contains(QStringLiteral("Mono")))
        font.setStyleHint(QFont::Monospace);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QFont TahomaFont(int pixelSize, bool bold, bool italic) {
    return DesignFont(QStringLiteral("Tahoma"), pixelSize, bold, italic);
}

QFont CourierFont(int pixelSize, bool bold) {
    return DesignFont(QStringLiteral("Courier New"), pixelSize, bold);
}

QString ResolvedFamily(const QFont& font) {
    return QFontInfo(font).family();
}

void SetUpSearchWindowFrame(QWidget* window, int clientWidth, int clientHeight, bool sizeable) {
    Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                            Qt::WindowCloseButtonHint;
    if (FullScreen == 1) flags |= Qt::WindowMaximizeButtonHint;
    window->setWindowFlags(flags);
    window->setWindowTitle(QString::fromUtf8(WindowTitle));
    window->resize(clientWidth, clientHeight);
    if (FullScreen == 1) {
        window->setWindowState(Qt::WindowMaximized);
    } else if (!sizeable) {
        window->setFixedSize(clientWidth, clientHeight);
    }
}

bool IsTypedCharacter(const QKeyEvent& AEvent) {
    if (AEvent.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const QString text = AEvent.text();
    return !text.isEmpty() && text.front().isPrint();
}

void ApplyReadableColours(QApplication& AApplication) {
    QPalette palette = QApplication::palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, SelectionBackground);
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, DisabledText);
    AApplication.setPalette(palette);
}

int CaptionWidth(const QWidget& AControl) {
    // A push button's size hint has the style's minimum button width in it; its caption needs
    // only the text inside the button's frame.
    if (const auto* button = qobject_cast<const QPushButton*>(&AControl); button != nullptr && button->icon().isNull())
        return button->fontMetrics().horizontalAdvance(button->text()) + 2;
    return AControl.sizeHint().width();
}

int PlaceControlRow(const std::vector<std::pair<QWidget*, QRect>>& AControls, int APanelWidth, int ADesignedHeight) {
    if (AControls.empty()) return ADesignedHeight;
    bool designedFits = true;
    for (const auto& [control, rect] : AControls)
        if (control->isVisibleTo(control->parentWidget()) &&
            (rect.right() >= APanelWidth || CaptionWidth(*control) > rect.width()))
            designedFits = false;
    if (designedFits) {
        for (const auto& [control, rect] : AControls) control->setGeometry(rect);
        return ADesignedHeight;
    }
    constexpr int Gap = 4;
    const QRect& first = AControls.front().second;
    // Too narrow for the designed widths but wide enough for every caption with a little room:
    // one row still, each control giving up the same share of its spare width.
    {
        constexpr int CaptionRoom = 12;
        const int left = std::max(0, first.left());
        std::vector<int> least;
        std::vector<int> most;
        int widest = 0;
        int needed = 0;
        bool oneRow = true;
        for (const auto& [control, rect] : AControls) {
            const int caption = CaptionWidth(*control);
            least.push_back(std::min(std::max(rect.width(), caption), caption + CaptionRoom));
            most.push_back(std::max(rect.width(), least.back()));
            if (!control->isVisibleTo(control->parentWidget())) continue;
            widest += most.back() + Gap;
            needed += least.back() + Gap;
            oneRow = oneRow && rect.top() == first.top();
        }
        const int room = APanelWidth - 2 * left + Gap;
        if (oneRow && needed <= room) {
            const double share = widest > needed ? std::min(1.0, double(room - needed) / double(widest - needed)) : 1.0;
            int x = left;
            for (std::size_t i = 0; i < AControls.size(); ++i) {
                const auto& [control, rect] = AControls[i];
                if (!control->isVisibleTo(control->parentWidget())) continue;
                const int width = least[i] + static_cast<int>((most[i] - least[i]) * share);
                control->setGeometry(x, rect.top(), width, rect.height());
                x += width + Gap;
            }
            return ADesignedHeight;
        }
    }
    const int left = std::max(0, first.left());
    const int top = std::max(0, first.top());
    int rowHeight = 0;
    for (const auto& [control, rect] : AControls) rowHeight = std::max(rowHeight, rect.height());
    int x = left;
    int y = top;
    for (const auto& [control, rect] : AControls) {
        if (!control->isVisibleTo(control->parentWidget())) continue;
        const int width = std::min(std::max(rect.width(), CaptionWidth(*control)), std::max(1, APanelWidth - 2 * left));
        if (x > left && x + width > APanelWidth - left) {
            x = left;
            y += rowHeight + Gap;
        }
        control->setGeometry(x, y + (rowHeight - rect.height()) / 2, width, rect.height());
        x += width + Gap;
    }
    const int bottomMargin = std::max(0, ADesignedHeight - top - rowHeight);
    return y + rowHeight + bottomMargin;
}
