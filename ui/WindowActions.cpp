#include "ui/WindowActions.h"

#include <QAction>
#include <QWidget>

QList<QKeySequence> KeySequencesOf(const TWindowKey& AKey) {
    QList<QKeySequence> sequences;
    for (const QString& part : QString::fromUtf8(AKey.Keys).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QKeySequence sequence(part.trimmed(), QKeySequence::PortableText);
        if (!sequence.isEmpty()) sequences.append(sequence);
    }
    return sequences;
}

QHash<QString, QAction*> AddWindowActions(QWidget* AWindow, std::span<const TWindowKey> ATable) {
    QHash<QString, QAction*> actions;
    for (const TWindowKey& key : ATable) {
        auto* action = new QAction(AWindow);
        const QString name = QString::fromUtf8(key.Name);
        action->setObjectName(name);
        action->setShortcuts(KeySequencesOf(key));
        action->setShortcutContext(Qt::WindowShortcut);
        action->setToolTip(QString::fromUtf8(key.Help));
        action->setStatusTip(QString::fromUtf8(key.Help));
        AWindow->addAction(action);
        actions.insert(name, action);
    }
    return actions;
}
