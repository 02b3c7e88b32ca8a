#include "ui/WindowActions.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
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

bool TriggerWindowAction(const QWidget& AWindow, const QKeyEvent& AKey) {
    const QKeySequence pressed(AKey.keyCombination());
    for (QAction* action : AWindow.actions())
        if (action->isEnabled() && action->shortcuts().contains(pressed)) {
            action->trigger();
            return true;
        }
    return false;
}

void AddMenuItems(QMenu* AMenu, const QHash<QString, QAction*>& AActions, std::span<const TMenuItem> AItems) {
    for (const TMenuItem& item : AItems) {
        if (item.Name == nullptr) {
            AMenu->addSeparator();
            continue;
        }
        QAction* action = AActions.value(QLatin1String(item.Name));
        action->setText(QString::fromLatin1(item.Caption));
        // The caption already names the key.
        action->setShortcutVisibleInContextMenu(false);
        AMenu->addAction(action);
    }
}
