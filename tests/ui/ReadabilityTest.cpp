// Selected and disabled texts are readable in every window: each pair of text colour and the
// background it is drawn on reaches a contrast ratio of at least 4.5:1 (relative luminance as in
// the sRGB definition), with the program's colours set up as the desktop program sets them.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>
#include <cmath>
#include <functional>
#include <memory>

#include "tests/common/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/AdministratorTool.h"
#include "ui/AlphaSearch.h"
#include "ui/ChapterSearch.h"
#include "ui/DrugNeopSearch.h"
#include "ui/InfoOf7Code.h"
#include "ui/KeywordSearch.h"
#include "ui/Main.h"
#include "ui/SelectCode.h"
#include "ui/UiStyle.h"
#include "ui/Waiting.h"

namespace {

double Luminance(const QColor& colour) {
    auto channel = [](double value) {
        value /= 255.0;
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.red()) + 0.7152 * channel(colour.green()) + 0.0722 * channel(colour.blue());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour a transparent widget shows through: the window colour of the nearest widget, itself
// or an ancestor, that paints its own background.
QColor BackgroundOf(const QWidget* widget, QPalette::ColorGroup group) {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget())
        if (w->autoFillBackground() || w->isWindow()) return w->palette().color(group, QPalette::Window);
    return widget->palette().color(group, QPalette::Window);
}

// Every pair of text and background colour the widgets of AWindow draw selected or disabled text
// with; failures are collected as readable lines.
QStringList UnreadablePairs(QWidget& window, const QString& name) {
    QStringList failures;
    auto check = [&](const QWidget* widget, const char* what, const QColor& text, const QColor& back) {
        const double ratio = Contrast(text, back);
        if (ratio < 4.5)
            failures << QStringLiteral("%1 %2 %3 (%4): %5 on %6 = %7")
                            .arg(name, QString::fromLatin1(widget->metaObject()->className()), widget->objectName(),
                                 QString::fromLatin1(what), text.name(), back.name())
                            .arg(ratio, 0, 'f', 2);
    };
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(&window);
    for (const QWidget* widget : widgets) {
        const QPalette& palette = widget->palette();
        if (qobject_cast<const QAbstractItemView*>(widget) != nullptr) {
            for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
                check(widget, group == QPalette::Active ? "selected" : "selected, list without focus",
                      palette.color(group, QPalette::HighlightedText), palette.color(group, QPalette::Highlight));
        }
        // Disabled texts: every button and check box, every editable box, and whatever is
        // disabled in the window as it opens.
        const auto* edit = qobject_cast<const QLineEdit*>(widget);
        const bool canBeDisabled = qobject_cast<const QAbstractButton*>(widget) != nullptr ||
                                   (edit != nullptr && !edit->isReadOnly()) || !widget->isEnabled();
        if (!canBeDisabled) continue;
        const QPalette::ColorGroup off = QPalette::Disabled;
        if (qobject_cast<const QPushButton*>(widget) != nullptr) {
            check(widget, "disabled", palette.color(off, QPalette::ButtonText), palette.color(off, QPalette::Button));
        } else if (qobject_cast<const QAbstractButton*>(widget) != nullptr || qobject_cast<const QLabel*>(widget) ||
                   qobject_cast<const QGroupBox*>(widget) != nullptr) {
            check(widget, "disabled", palette.color(off, QPalette::WindowText), BackgroundOf(widget, off));
        } else if (qobject_cast<const QLineEdit*>(widget) != nullptr ||
                   qobject_cast<const QAbstractItemView*>(widget) != nullptr ||
                   qobject_cast<const QPlainTextEdit*>(widget) != nullptr ||
                   qobject_cast<const QTextEdit*>(widget) != nullptr) {
            check(widget, "disabled", palette.color(off, QPalette::Text), palette.color(off, QPalette::Base));
        }
    }
    return failures;
}

}  // namespace

class ReadabilityTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        EnsureRealDataLoaded();
        ApplyReadableColours(*qApp);
    }

    void selectedAndDisabledTextsReachFourAndAHalfToOne() {
        TScopedDataFolders folders;
        CreateInfoOf7Code();
        const std::vector<std::pair<QString, std::function<std::unique_ptr<QWidget>()>>> windows = {
            {"launcher", [] { return std::make_unique<TfrmMain>(); }},
            {"tabular search", [] { return std::make_unique<TfrmKeyWordSearch>(); }},
            {"chapter browser", [] { return std::make_unique<TfrmChapterSearch>(); }},
            {"disease index",
             [] {
                 auto window = std::make_unique<TfrmAlphaSearch>();
                 window->FType = TDataSet::DiseaseIndex;
                 return window;
             }},
            {"drug table",
             [] {
                 auto window = std::make_unique<TfrmDrugNeopSearch>();
                 window->FType = TDataSet::DrugTable;
                 return window;
             }},
            {"select code", [] { return std::make_unique<TfrmSelectCode>(); }},
            {"waiting", [] { return std::make_unique<TfrmWaiting>(); }},
            {"administrator tool", [] { return std::make_unique<TfrmAdministratorTool>(); }},
        };
        QStringList failures;
        for (const auto& [name, make] : windows) {
            std::unique_ptr<QWidget> window = make();
            window->show();
            failures << UnreadablePairs(*window, name);
        }
        failures << UnreadablePairs(frmInfoOf7Code(), QStringLiteral("seven-character dialog"));
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(ReadabilityTest)
#include "ReadabilityTest.moc"
