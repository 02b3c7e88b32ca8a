#include "ui/UiStyle.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QStringList>
#include <QWidget>

#include "services/DataSets.h"
#include "startup/EditionInUse.h"
#include "startup/LoadedData.h"
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
    if (UserData().Settings.FullScreen == 1) flags |= Qt::WindowMaximizeButtonHint;
    window->setWindowFlags(flags);
    window->setWindowTitle(QString::fromStdString(EditionFacts().WindowTitle));
    window->resize(clientWidth, clientHeight);
    if (UserData().Settings.FullScreen == 1) {
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
